#pragma once
// Sees, in order, every statement a connection sends and every commit (tests only;
// the system itself logs nothing).

#include <QString>
#include <QVariant>

#include <utility>
#include <vector>

namespace zk::fb {

using NamedValues = std::vector<std::pair<QString, QVariant>>;

class StatementObserver {
public:
    virtual ~StatementObserver() = default;
    virtual void statementSent(const QString& transaction, const QString& sql, const NamedValues& params) = 0;
    // Just before a commit is asked for, and once it has succeeded.
    virtual void committing(const QString& /*transaction*/) {}
    virtual void committed(const QString& transaction, bool retaining) = 0;
};

} // namespace zk::fb
