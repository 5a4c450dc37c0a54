#pragma once
// The one connection to a database: user name and password only, SQL dialect 3. When a call
// finds the connection gone (the network, or the server went away) the connection drops
// everything it held without a word to the server, and the next connect() starts afresh.

#include "FbClient.h"
#include "Observer.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace zk::fb {

class Transaction;

// What the waiter reads, before the client's own text, when the connection is gone.
QString connectionLostText(const QString& clientText);

class Attachment {
public:
    Attachment() = default;
    ~Attachment();
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;

    // The database name as the client reads it: a path, or host:path, or host/port:path.
    void setDatabaseName(const QString& name) { databaseName_ = name; }
    const QString& databaseName() const { return databaseName_; }
    // Connection parameters as "name=value" lines; user_name and password are understood.
    QStringList& params() { return params_; }

    // A connection that fails after an earlier one was lost fails as a lost connection does.
    void connect();
    void ensureConnected();
    void disconnect();
    bool connected() const { return static_cast<bool>(handle_); }
    // Changes at every connection, so prepared statements of an earlier one are not reused.
    int generation() const { return generation_; }
    Firebird::IAttachment* handle() const;

    // Runs one call of the client on this connection. A failure that means the connection is
    // gone drops the connection (see onLost) and is raised with connectionLostText.
    template <class Call>
    decltype(auto) run(Call&& call);

    // Called once each time the connection is found gone, its handles already dropped.
    std::function<void()> onLost;
    // Called after every connection made, the first and each one after a loss.
    std::function<void()> onConnected;
    // The connection's number on the server (MON$ATTACHMENT_ID).
    qint64 serverId() const { return serverId_; }
    // The server's number (MON$ATTACHMENT_ID) of each connection lost since the last call:
    // the server may not have noticed yet, and still hold their uncommitted work.
    std::vector<qint64> takeLostConnectionIds();

    // Blobs in the given transaction.
    QByteArray readBlob(Firebird::ITransaction* transaction, ISC_QUAD id);
    ISC_QUAD writeBlob(Firebird::ITransaction* transaction, const QByteArray& bytes);

    void setObserver(StatementObserver* observer) { observer_ = observer; }
    StatementObserver* observer() const { return observer_; }

private:
    friend class Transaction;
    void enrol(Transaction* transaction) { transactions_.push_back(transaction); }
    void withdraw(Transaction* transaction) { std::erase(transactions_, transaction); }
    void lose();
    qint64 askServerId();

    QString databaseName_;
    QStringList params_;
    Ref<Firebird::IAttachment> handle_;
    int generation_ = 0;
    bool everConnected_ = false;
    qint64 serverId_ = 0;
    std::vector<qint64> lostIds_;
    std::vector<int> sockets_; // opened by this connection (none on the embedded engine)
    std::vector<Transaction*> transactions_;
    StatementObserver* observer_ = nullptr;
};

inline constexpr unsigned sqlDialect = 3;

template <class Call>
decltype(auto) Attachment::run(Call&& call)
{
    Status status;
    try {
        return call(&status);
    } catch (const Firebird::FbException& e) {
        DatabaseError error = errorOf(e.getStatus());
        if (!error.connectionLost())
            throw error;
        lose();
        throw DatabaseError(connectionLostText(error.text()), error.cause(), error.codes());
    }
}

} // namespace zk::fb
