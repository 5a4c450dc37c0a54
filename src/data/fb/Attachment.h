#pragma once
// The one connection to a database: user name and password only, SQL dialect 3.

#include "FbClient.h"
#include "Observer.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zk::fb {

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

    void connect();
    void ensureConnected();
    void disconnect();
    bool connected() const { return static_cast<bool>(handle_); }
    // Changes at every connection, so prepared statements of an earlier one are not reused.
    int generation() const { return generation_; }
    Firebird::IAttachment* handle() const;

    // Blobs in the given transaction.
    QByteArray readBlob(Firebird::ITransaction* transaction, ISC_QUAD id) const;
    ISC_QUAD writeBlob(Firebird::ITransaction* transaction, const QByteArray& bytes) const;

    void setObserver(StatementObserver* observer) { observer_ = observer; }
    StatementObserver* observer() const { return observer_; }

private:
    QString databaseName_;
    QStringList params_;
    Ref<Firebird::IAttachment> handle_;
    int generation_ = 0;
    StatementObserver* observer_ = nullptr;
};

inline constexpr unsigned sqlDialect = 3;

} // namespace zk::fb
