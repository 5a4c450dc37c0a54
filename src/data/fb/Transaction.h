#pragma once
// A transaction of the connection: read committed, no waiting on locks. Started on demand;
// the system only ever commits while retaining it.

#include "data/fb/Attachment.h"

namespace zk::fb {

class Transaction {
public:
    // What a read meets in a row another transaction is still writing.
    enum class Uncommitted {
        ReadsLastCommitted, // its newest committed version: every transaction that writes
        Conflicts, // a lock conflict at once; the transaction only reads: a reader that must
                   // never pass over a change before it is committed
    };
    Transaction(Attachment& attachment, QString name, Uncommitted uncommitted = Uncommitted::ReadsLastCommitted);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    const QString& name() const { return name_; }
    Attachment& attachment() const { return attachment_; }
    bool active() const { return static_cast<bool>(handle_); }

    void start();
    // Starts it unless it is running already.
    void ensureStarted()
    {
        if (!active())
            start();
    }
    void commitRetaining();
    void commit();
    // Undoes the work since the last commit and keeps the transaction open.
    void rollbackRetaining();
    // The running transaction; raises "Transaction is not active" otherwise.
    Firebird::ITransaction* handle() const;
    // How many times its work so far was settled, committed or undone: work done since the
    // last time is not yet the server's for good.
    quint64 settled() const { return settled_; }

private:
    friend class Attachment;
    // The connection is gone, and the transaction with it on the server.
    void abandon();
    void committed(bool retaining);

    Attachment& attachment_;
    QString name_;
    Uncommitted uncommitted_;
    Ref<Firebird::ITransaction> handle_;
    quint64 settled_ = 0;
};

} // namespace zk::fb
