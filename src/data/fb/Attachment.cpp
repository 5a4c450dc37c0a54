#include "data/fb/Attachment.h"

#include "base/EndSignals.h"
#include "base/Win1252.h"
#include "data/fb/Calls.h"
#include "data/fb/Deadline.h"
#include "data/fb/Sockets.h"
#include "data/fb/Transaction.h"

#include <algorithm>

namespace zk::fb {

namespace {
struct XpbBuilder {
    explicit XpbBuilder(Firebird::IXpbBuilder* b) : builder(b) {}
    ~XpbBuilder() { builder->dispose(); }
    Firebird::IXpbBuilder* builder;
};

// A little-endian integer of an information buffer.
qint64 infoInteger(const unsigned char* p, int length)
{
    qint64 value = 0;
    for (int i = length - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}
} // namespace

QString noAnswerText(std::chrono::milliseconds deadline)
{
    const qint64 seconds = (deadline.count() + 999) / 1000;
    return seconds == 1 ? QStringLiteral("O servidor não respondeu em 1 segundo.")
                        : QStringLiteral("O servidor não respondeu em %1 segundos.").arg(seconds);
}

QString connectionLostText(const QString& clientText)
{
    const QString text = QStringLiteral("A conexão com o servidor foi perdida. Toque novamente para continuar.");
    return clientText.isEmpty() ? text : text + u'\n' + clientText;
}

void loadClient() { Client::instance(); }

bool clientLoaded() { return Client::loaded(); }

Attachment::Attachment() = default;

Attachment::~Attachment()
{
    try {
        disconnect();
    } catch (const Error&) {
        // the connection goes with the process anyway
    }
}

void Attachment::connect() { open(Opening::Attach); }

void Attachment::create() { open(Opening::Create); }

void Attachment::open(Opening opening)
{
    // A program asked to end does not wait for a server (a refused login alone takes seconds).
    if (EndSignals::requested())
        throw DatabaseError(QStringLiteral("O programa está encerrando: nenhuma conexão nova é feita."));
    bool expired = false;
    try {
        {
            // The client's own connect time-out, and the watchdog for the handshake after it.
            OpeningCall deadline(deadline_, background_ ? OpeningCall::Turn::Background : OpeningCall::Turn::Urgent);
            try {
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
                    dpb.builder->insertInt(st, isc_dpb_connect_timeout,
                                           static_cast<int>(std::max<qint64>(1, (deadline_.count() + 999) / 1000)));
                    if (opening == Opening::Create) {
                        dpb.builder->insertString(st, isc_dpb_set_db_charset, "WIN1252");
                        dpb.builder->insertInt(st, isc_dpb_sql_dialect, sqlDialect);
                    }
                    const QByteArray name = databaseName_.toLocal8Bit();
                    const unsigned length = dpb.builder->getBufferLength(st);
                    const unsigned char* buffer = dpb.builder->getBuffer(st);
                    auto* provider = Client::instance().provider();
                    handle_.reset(opening == Opening::Create
                                      ? provider->createDatabase(st, name.constData(), length, buffer)
                                      : provider->attachDatabase(st, name.constData(), length, buffer));
                });
            } catch (const DatabaseError&) {
                expired = deadline.expired();
                throw;
            }
            sockets_.clear();
            keep(deadline.opened());
        }
        EndSignals::reclaim(); // the client has just put handlers of its own
        serverId_ = askServerId();
    } catch (const DatabaseError& e) {
        handle_.reset();
        const DatabaseError error =
            expired ? DatabaseError(noAnswerText(deadline_), DatabaseError::Cause::ConnectionLost) : e;
        // After a loss the waiter is reconnecting: whatever stops it, the connection is still lost.
        if (everConnected_)
            throw DatabaseError(connectionLostText(error.text()), DatabaseError::Cause::ConnectionLost, error.codes());
        throw error;
    }
    everConnected_ = true;
    ++generation_;
    if (onConnected)
        onConnected();
}

// The connection's number on the server, asked of the attachment itself (no statement).
qint64 Attachment::askServerId()
{
    return run([&](auto* st) {
        const unsigned char items[] = {isc_info_attachment_id, isc_info_end};
        unsigned char buffer[32] = {};
        handle_->getInfo(st, sizeof items, items, sizeof buffer, buffer);
        if (buffer[0] != isc_info_attachment_id)
            return qint64(0);
        const int length = buffer[1] | (buffer[2] << 8);
        return length > 0 && length <= 8 ? infoInteger(buffer + 3, length) : qint64(0);
    });
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
    run([&](auto* st) {
        handle_->detach(st);
        handle_.forget();
    });
}

// Nothing more is asked of the server: a server that ended the connection itself may never
// answer on it again. Its socket is cut off first, so the client lets go of every handle on
// its own, as after a broken network.
void Attachment::lose()
{
    if (!handle_)
        return;
    lostIds_.push_back(serverId_);
    for (int socket : std::exchange(sockets_, {}))
        cutOff(socket);
    for (Transaction* transaction : transactions_)
        transaction->abandon();
    handle_.reset();
    ++generation_;
    if (onLost)
        onLost();
}

DatabaseError Attachment::failed(const DatabaseError& error, bool expired)
{
    if (!expired && !error.connectionLost())
        return error;
    lose();
    return DatabaseError(connectionLostText(expired ? noAnswerText(deadline_) : error.text()),
                         DatabaseError::Cause::ConnectionLost, error.codes());
}

void Attachment::keep(const std::vector<int>& sockets)
{
    for (int socket : sockets) {
        limitWaits(socket, deadline_);
        sockets_.push_back(socket);
    }
}

Firebird::IAttachment* Attachment::handle() const
{
    if (!handle_) {
        const QString notConnected = QStringLiteral("O programa não está conectado ao banco de dados.");
        if (everConnected_)
            throw DatabaseError(connectionLostText(notConnected), DatabaseError::Cause::ConnectionLost);
        throw DatabaseError(notConnected);
    }
    return handle_.get();
}

QByteArray Attachment::readBlob(Transaction& transaction, sql::BlobId id)
{
    ISC_QUAD quad{id.high, id.low};
    return run([&](auto* st) {
        QByteArray bytes;
        Ref<Firebird::IBlob> blob(handle()->openBlob(st, transaction.handle(), &quad, 0, nullptr));
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

sql::BlobId Attachment::writeBlob(Transaction& transaction, const QByteArray& bytes)
{
    return run([&](auto* st) {
        ISC_QUAD id{};
        Ref<Firebird::IBlob> blob(handle()->createBlob(st, transaction.handle(), &id, 0, nullptr));
        constexpr qsizetype segment = 32768;
        for (qsizetype at = 0; at < bytes.size(); at += segment)
            blob->putSegment(st, static_cast<unsigned>(qMin(segment, bytes.size() - at)), bytes.constData() + at);
        blob->close(st);
        blob.forget();
        return sql::BlobId{id.gds_quad_high, id.gds_quad_low};
    });
}

} // namespace zk::fb
