#pragma once
// The one connection to a database: user name and password only, SQL dialect 3. When a call
// finds the connection gone (the network, or the server went away) the connection drops
// everything it held without a word to the server, and the next connect() starts afresh.

#include "base/Erros.h"
#include "data/fb/Observer.h"
#include "data/fb/Ref.h"
#include "data/fb/SqlTypes.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <vector>

namespace zk::fb {

class Transaction;

// What the waiter reads, before the client's own text, when the connection is gone.
QString connectionLostText(const QString& clientText);
// The client's text for a call cut at its deadline.
QString noAnswerText(std::chrono::milliseconds deadline);

// Loads the client library now, if no connection has yet; raises ClientLibraryError when it
// cannot be loaded.
void loadClient();
// Whether the client library was loaded already in this process.
bool clientLoaded();

class Attachment {
public:
    Attachment();
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
    // Creates the database named (character set WIN1252, dialect 3) and connects to it.
    void create();
    void ensureConnected();
    void disconnect();
    bool connected() const { return static_cast<bool>(handle_); }
    // Changes at every connection, so prepared statements of an earlier one are not reused.
    int generation() const { return generation_; }
    Firebird::IAttachment* handle() const;

    // How long one call into the client may take (attaching included) before the connection
    // is taken for lost: no statement of this program comes near it on a working network.
    static constexpr std::chrono::milliseconds defaultDeadline{5000};
    void setDeadline(std::chrono::milliseconds deadline) { deadline_ = deadline; }
    std::chrono::milliseconds deadline() const { return deadline_; }
    // A connection kept by a thread of its own (the event channel's): its connecting never
    // holds up the waiter's, which may cut it short.
    void setBackground(bool background) { background_ = background; }

    // Runs one call of the client on this connection, within the deadline. A failure that
    // means the connection is gone, or a call cut at its deadline, drops the connection (see
    // onLost) and is raised with connectionLostText. Defined in Calls.h, for data/fb's sources.
    template <class Call>
    decltype(auto) run(Call&& call);
    // The same for a call that opens sockets of this connection (the first request for events).
    template <class Call>
    decltype(auto) runOpening(Call&& call);

    // Called once each time the connection is found gone, its handles already dropped.
    std::function<void()> onLost;
    // Called after every connection made, the first and each one after a loss.
    std::function<void()> onConnected;
    // The connection's number on the server (MON$ATTACHMENT_ID).
    qint64 serverId() const { return serverId_; }
    // The server's number (MON$ATTACHMENT_ID) of each connection lost and not yet ended: the
    // server may not have noticed yet, and still hold their uncommitted work and locks. One
    // is forgotten only once it is known ended.
    const std::vector<qint64>& lostConnectionIds() const { return lostIds_; }
    void lostConnectionEnded(qint64 id) { std::erase(lostIds_, id); }

    // Blobs in the given transaction.
    QByteArray readBlob(Transaction& transaction, sql::BlobId id);
    sql::BlobId writeBlob(Transaction& transaction, const QByteArray& bytes);

    void setObserver(StatementObserver* observer) { observer_ = observer; }
    StatementObserver* observer() const { return observer_; }

private:
    friend class Transaction;
    void enrol(Transaction* transaction) { transactions_.push_back(transaction); }
    void withdraw(Transaction* transaction) { std::erase(transactions_, transaction); }
    enum class Opening { Attach, Create };
    void open(Opening opening);
    void lose();
    // What a failed call raises: a lost connection (the connection dropped first) or the error.
    DatabaseError failed(const DatabaseError& error, bool expired);
    // Sockets this connection opened: cut with it, and limited by its deadline.
    void keep(const std::vector<int>& sockets);
    qint64 askServerId();

    QString databaseName_;
    QStringList params_;
    Ref<Firebird::IAttachment> handle_;
    int generation_ = 0;
    bool everConnected_ = false;
    qint64 serverId_ = 0;
    std::vector<qint64> lostIds_;
    std::vector<int> sockets_; // opened by this connection (none on the embedded engine)
    std::chrono::milliseconds deadline_ = defaultDeadline;
    bool background_ = false;
    std::vector<Transaction*> transactions_;
    StatementObserver* observer_ = nullptr;
};

inline constexpr unsigned sqlDialect = 3;

} // namespace zk::fb
