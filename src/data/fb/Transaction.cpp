#include "data/fb/Transaction.h"

#include "data/fb/Calls.h"

namespace zk::fb {

Transaction::Transaction(Attachment& attachment, QString name, Uncommitted uncommitted)
    : attachment_(attachment), name_(std::move(name)), uncommitted_(uncommitted)
{
    attachment_.enrol(this);
}

Transaction::~Transaction() { attachment_.withdraw(this); }

void Transaction::abandon() { handle_.reset(); }

void Transaction::start()
{
    attachment_.run([&](auto* st) {
        auto* tpb = Client::instance().util()->getXpbBuilder(st, Firebird::IXpbBuilder::TPB, nullptr, 0);
        try {
            tpb->insertTag(st, isc_tpb_read_committed);
            if (uncommitted_ == Uncommitted::Conflicts) {
                tpb->insertTag(st, isc_tpb_no_rec_version);
                tpb->insertTag(st, isc_tpb_read);
            } else {
                tpb->insertTag(st, isc_tpb_rec_version);
            }
            tpb->insertTag(st, isc_tpb_nowait);
            handle_.reset(attachment_.handle()->startTransaction(st, tpb->getBufferLength(st), tpb->getBuffer(st)));
        } catch (...) {
            tpb->dispose();
            throw;
        }
        tpb->dispose();
    });
}

Firebird::ITransaction* Transaction::handle() const
{
    if (!handle_)
        throw Error(QStringLiteral("Transaction is not active"));
    return handle_.get();
}

void Transaction::commitRetaining()
{
    auto* running = handle();
    if (auto* observer = attachment_.observer())
        observer->committing(name_);
    attachment_.run([&](auto* st) { running->commitRetaining(st); });
    committed(true);
}

void Transaction::commit()
{
    auto* running = handle();
    if (auto* observer = attachment_.observer())
        observer->committing(name_);
    attachment_.run([&](auto* st) { running->commit(st); });
    handle_.forget();
    committed(false);
}

void Transaction::rollbackRetaining()
{
    auto* running = handle();
    attachment_.run([&](auto* st) { running->rollbackRetaining(st); });
    ++settled_;
}

void Transaction::committed(bool retaining)
{
    ++settled_;
    if (auto* observer = attachment_.observer())
        observer->committed(name_, retaining);
}

} // namespace zk::fb
