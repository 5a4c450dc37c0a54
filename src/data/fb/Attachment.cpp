#include "Attachment.h"

#include "Win1252.h"

namespace zk::fb {

namespace {
struct XpbBuilder {
    explicit XpbBuilder(Firebird::IXpbBuilder* b) : builder(b) {}
    ~XpbBuilder() { builder->dispose(); }
    Firebird::IXpbBuilder* builder;
};
} // namespace

Attachment::~Attachment()
{
    try {
        disconnect();
    } catch (const Error&) {
        // the connection goes with the process anyway
    }
}

void Attachment::connect()
{
    Status status;
    status.run([&](auto* st) {
        XpbBuilder dpb(Client::instance().util()->getXpbBuilder(st, Firebird::IXpbBuilder::DPB, nullptr, 0));
        for (const QString& param : std::as_const(params_)) {
            QString name = param.section(u'=', 0, 0).trimmed().toLower();
            // Passwords are Windows-1252 text, like everything the settings file holds.
            QByteArray value = zk::toWin1252(param.section(u'=', 1)).value_or(QByteArray());
            if (name == u"user_name")
                dpb.builder->insertString(st, isc_dpb_user_name, value.constData());
            else if (name == u"password")
                dpb.builder->insertString(st, isc_dpb_password, value.constData());
        }
        handle_.reset(Client::instance().provider()->attachDatabase(st, databaseName_.toLocal8Bit().constData(),
                                                                    dpb.builder->getBufferLength(st),
                                                                    dpb.builder->getBuffer(st)));
    });
    ++generation_;
}

void Attachment::ensureConnected()
{
    if (!connected())
        connect();
}

void Attachment::disconnect()
{
    if (!handle_)
        return;
    Status status;
    status.run([&](auto* st) {
        handle_->detach(st);
        handle_.forget();
    });
}

Firebird::IAttachment* Attachment::handle() const
{
    if (!handle_)
        throw DatabaseError(QStringLiteral("Database not connected"));
    return handle_.get();
}

QByteArray Attachment::readBlob(Firebird::ITransaction* transaction, ISC_QUAD id) const
{
    Status status;
    return status.run([&](auto* st) {
        QByteArray bytes;
        Ref<Firebird::IBlob> blob(handle()->openBlob(st, transaction, &id, 0, nullptr));
        char segment[32768];
        for (;;) {
            unsigned got = 0;
            int result = blob->getSegment(st, sizeof segment, segment, &got);
            if (result != Firebird::IStatus::RESULT_OK && result != Firebird::IStatus::RESULT_SEGMENT)
                break;
            bytes.append(segment, got);
        }
        blob->close(st);
        blob.forget();
        return bytes;
    });
}

ISC_QUAD Attachment::writeBlob(Firebird::ITransaction* transaction, const QByteArray& bytes) const
{
    Status status;
    return status.run([&](auto* st) {
        ISC_QUAD id{};
        Ref<Firebird::IBlob> blob(handle()->createBlob(st, transaction, &id, 0, nullptr));
        constexpr qsizetype segment = 32768;
        for (qsizetype at = 0; at < bytes.size(); at += segment)
            blob->putSegment(st, static_cast<unsigned>(qMin(segment, bytes.size() - at)), bytes.constData() + at);
        blob->close(st);
        blob.forget();
        return id;
    });
}

} // namespace zk::fb
