#pragma once
// Records what a connection sends, in order: statements with their parameters, and commits.

#include "data/fb/Attachment.h"
#include "data/fb/Observer.h"

#include <QStringList>

#include <functional>

struct SentStatement {
    QString transaction;
    QString sql;
    zk::fb::NamedValues params;
    bool commit = false;
    bool retaining = false;

    QVariant param(const QString& name) const
    {
        for (const auto& [n, v] : params)
            if (n == name)
                return v;
        return QStringLiteral("<absent>");
    }
};

class StatementLog : public zk::fb::StatementObserver {
public:
    // Unattached: handed to whoever creates the connection.
    StatementLog() = default;
    explicit StatementLog(zk::fb::Attachment& attachment) : attachment_(&attachment) { attachment.setObserver(this); }
    ~StatementLog() override
    {
        if (attachment_)
            attachment_->setObserver(nullptr);
    }
    StatementLog(const StatementLog&) = delete;
    StatementLog& operator=(const StatementLog&) = delete;

    void statementSent(const QString& transaction, const QString& sql, const zk::fb::NamedValues& params) override
    {
        record({transaction, sql, params});
    }
    void committing(const QString& transaction) override
    {
        if (const auto hook = onCommitting) // a copy: the hook may clear itself
            hook(transaction);
    }
    void committed(const QString& transaction, bool retaining) override
    {
        record({transaction, QString(), {}, true, retaining});
    }
    // Runs just before a commit is asked for.
    std::function<void(const QString&)> onCommitting;

    // Runs at each entry, as it happens: a statement just before it is sent, a commit just
    // after it is done. A test acts there as another terminal would at that very moment.
    std::function<void(const SentStatement&)> onEntry;

    // Runs `act` once: just before the first statement that starts with `sql` is sent, or, when
    // `sql` is empty, just before `commitOf` is committed (a network that fails at that step).
    void onceBefore(const QString& sql, const QString& commitOf, std::function<void()> act)
    {
        auto fire = [this, act = std::move(act)] {
            onEntry = nullptr;
            onCommitting = nullptr;
            act();
        };
        if (!sql.isEmpty())
            onEntry = [sql, fire](const SentStatement& e) {
                if (!e.commit && e.sql.startsWith(sql))
                    fire();
            };
        else
            onCommitting = [commitOf, fire](const QString& transaction) {
                if (transaction == commitOf)
                    fire();
            };
    }

    // One line per entry: the statement's first line, or "COMMIT RETAINING <transaction>".
    QStringList summary() const
    {
        QStringList lines;
        for (const auto& e : entries)
            lines << (e.commit ? QStringLiteral("%1 %2").arg(e.retaining ? "COMMIT RETAINING" : "COMMIT", e.transaction)
                               : e.sql.section(QStringLiteral("\r\n"), 0, 0));
        return lines;
    }
    // The statements (not commits) whose text starts with the prefix.
    std::vector<SentStatement> starting(const QString& prefix) const
    {
        std::vector<SentStatement> found;
        for (const auto& e : entries)
            if (!e.commit && e.sql.startsWith(prefix, Qt::CaseInsensitive))
                found.push_back(e);
        return found;
    }
    void clear() { entries.clear(); }

    std::vector<SentStatement> entries;

private:
    void record(SentStatement entry)
    {
        entries.push_back(entry);
        // Copies of both: the hook may add entries, or replace or clear itself.
        if (const auto hook = onEntry)
            hook(entry);
    }

    zk::fb::Attachment* attachment_ = nullptr;
};
