#pragma once
// A transaction of the connection: read committed, newest committed version, no waiting
// on locks. Started on demand; the system only ever commits while retaining it.

#include "Attachment.h"

namespace zk::fb {

class Transaction {
public:
    Transaction(Attachment& attachment, QString name);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    const QString& name() const { return name_; }
    Attachment& attachment() const { return attachment_; }
    bool active() const { return static_cast<bool>(handle_); }

    void start();
    void commitRetaining();
    void commit();
    // The running transaction; raises "Transaction is not active" otherwise.
    Firebird::ITransaction* handle() const;

private:
    Attachment& attachment_;
    QString name_;
    Ref<Firebird::ITransaction> handle_;
};

} // namespace zk::fb
