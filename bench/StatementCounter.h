#pragma once
// Counts what a connection sends, for the benchmark reports.

#include "data/fb/Observer.h"

#include <QStringList>

struct StatementCounter : zk::fb::StatementObserver {
    int statements = 0;
    int commits = 0;
    QStringList firstLines;

    void statementSent(const QString&, const QString& sql, const zk::fb::NamedValues&) override
    {
        ++statements;
        firstLines << sql.section(QStringLiteral("\r\n"), 0, 0);
    }
    void committed(const QString&, bool) override { ++commits; }
    void reset() { *this = StatementCounter(); }
};
