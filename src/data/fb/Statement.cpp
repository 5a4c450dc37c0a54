#include "data/fb/Statement.h"

#include "data/fb/Calls.h"

namespace zk::fb {

namespace {
bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

// Where a quoted text or a comment that starts at `i` ends (one past), or `i` when none starts.
qsizetype skipLiteral(const QString& sql, qsizetype i)
{
    const qsizetype n = sql.size();
    QChar c = sql[i];
    if (c == u'\'' || c == u'"') {
        for (qsizetype j = i + 1; j < n; ++j) {
            if (sql[j] != c)
                continue;
            if (j + 1 < n && sql[j + 1] == c)
                ++j; // doubled quote inside
            else
                return j + 1;
        }
        return n;
    }
    if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
        qsizetype end = sql.indexOf(u'\n', i);
        return end < 0 ? n : end;
    }
    if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
        qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
        return end < 0 ? n : end + 2;
    }
    return i;
}
} // namespace

ParsedSql parseNamedParameters(const QString& sql)
{
    ParsedSql parsed;
    parsed.positional.reserve(sql.size());
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n;) {
        qsizetype end = skipLiteral(sql, i);
        if (end > i) {
            parsed.positional += QStringView(sql).mid(i, end - i);
            i = end;
            continue;
        }
        if (sql[i] == u':' && i + 1 < n && isNameChar(sql[i + 1])) {
            qsizetype j = i + 1;
            while (j < n && isNameChar(sql[j]))
                ++j;
            parsed.names << sql.mid(i + 1, j - i - 1);
            parsed.positional += u'?';
            i = j;
            continue;
        }
        parsed.positional += sql[i++];
    }
    return parsed;
}

Statement::Statement(Transaction& transaction, QString sql)
    : attachment_(transaction.attachment()), generation_(attachment_.generation()), sql_(std::move(sql)),
      parsed_(parseNamedParameters(sql_))
{
    attachment_.run([&](auto* st) {
        handle_.reset(attachment_.handle()->prepare(st, transaction.handle(), 0,
                                                    parsed_.positional.toLocal8Bit().constData(), sqlDialect,
                                                    Firebird::IStatement::PREPARE_PREFETCH_METADATA));
        input_ = Layout(handle_->getInputMetadata(st));
        output_ = Layout(handle_->getOutputMetadata(st));
    });
}

Statement::~Statement()
{
    // A statement of a connection since lost is only let go: its server is not asked again.
    if (!handle_ || generation_ != attachment_.generation())
        return;
    try {
        attachment_.run([&](auto* st) { handle_->free(st); });
        handle_.forget();
    } catch (const Error&) {
        // the connection went meanwhile: releasing the reference is all that is left to do
    }
}

void Statement::tell(const Transaction& transaction, const Layout& layout, const std::byte* buffer) const
{
    StatementObserver* observer = attachment_.observer();
    if (!observer)
        return;
    NamedValues params;
    for (qsizetype i = 0; i < parsed_.names.size() && i < qsizetype(layout.columns().size()); ++i)
        params.emplace_back(parsed_.names[i], decode(layout.columns()[i], buffer));
    observer->statementSent(transaction.name(), sql_, params);
}

quint64 Statement::execute(Transaction& transaction, const Layout& layout, const std::byte* buffer)
{
    auto* running = transaction.handle();
    tell(transaction, layout, buffer);
    return attachment_.run([&](auto* st) {
        handle_->execute(st, running, layout.metadata(), const_cast<std::byte*>(buffer), nullptr, nullptr);
        return handle_->getAffectedRecords(st);
    });
}

std::unique_ptr<Cursor> Statement::open(Transaction& transaction, const Layout& layout, const std::byte* buffer,
                                        const Layout& rowLayout)
{
    auto* running = transaction.handle();
    tell(transaction, layout, buffer);
    return attachment_.run([&](auto* st) {
        auto* resultSet = handle_->openCursor(st, running, layout.metadata(), const_cast<std::byte*>(buffer),
                                              rowLayout.metadata(), 0);
        return std::make_unique<Cursor>(attachment_, resultSet, rowLayout);
    });
}

Statement::Bound Statement::bind(Transaction& transaction, const QVariantList& values)
{
    std::vector<std::optional<SqlType>> types(input_.columns().size());
    for (qsizetype i = 0; i < values.size() && i < qsizetype(types.size()); ++i)
        types[i] = sqlTypeFor(values[i]);
    Bound bound{input_.coerced(types), nullptr};
    bound.buffer = bound.layout.newBuffer();
    for (qsizetype i = 0; i < values.size() && i < qsizetype(types.size()); ++i) {
        const Column& column = bound.layout.columns()[i];
        if (column.type == SQL_BLOB && values[i].typeId() == QMetaType::QByteArray) {
            const sql::BlobId id = attachment_.writeBlob(transaction, values[i].toByteArray());
            std::memcpy(bound.buffer.get() + column.offset, &id, sizeof id);
            std::memset(bound.buffer.get() + column.nullOffset, 0, sizeof(ISC_SHORT));
        } else {
            encode(column, bound.buffer.get(), values[i]);
        }
    }
    return bound;
}

quint64 Statement::execute(Transaction& transaction, const QVariantList& values)
{
    Bound bound = bind(transaction, values);
    return execute(transaction, bound.layout, bound.buffer.get());
}

std::unique_ptr<Cursor> Statement::open(Transaction& transaction, const QVariantList& values)
{
    return open(transaction, values, output_);
}

std::unique_ptr<Cursor> Statement::open(Transaction& transaction, const QVariantList& values, const Layout& rowLayout)
{
    Bound bound = bind(transaction, values);
    return open(transaction, bound.layout, bound.buffer.get(), rowLayout);
}

Cursor::Cursor(Attachment& attachment, Firebird::IResultSet* resultSet, Layout rowLayout)
    : attachment_(attachment), generation_(attachment.generation()), resultSet_(resultSet), layout_(std::move(rowLayout))
{
}

Cursor::~Cursor()
{
    try {
        close();
    } catch (const Error&) {
        // the transaction has ended: the reference goes below
    }
}

bool Cursor::fetch(std::byte* row)
{
    if (!current())
        return false; // its connection is gone: no more rows will come
    return attachment_.run([&](auto* st) { return resultSet_->fetchNext(st, row) == Firebird::IStatus::RESULT_OK; });
}

std::optional<QVariantList> Cursor::next()
{
    auto row = layout_.newBuffer();
    if (!fetch(row.get()))
        return std::nullopt;
    QVariantList values;
    for (const Column& column : layout_.columns())
        values << decode(column, row.get());
    return values;
}

void Cursor::close()
{
    if (!resultSet_ || !current())
        return;
    attachment_.run([&](auto* st) { resultSet_->close(st); });
    resultSet_.forget();
}

} // namespace zk::fb
