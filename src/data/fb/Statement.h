#pragma once
// A prepared statement with named parameters (":NAME", turned into "?" outside quotes
// and comments), and the cursor of an open select.

#include "data/fb/Message.h"
#include "data/fb/Transaction.h"

#include <QStringList>
#include <QVariant>

#include <optional>

namespace zk::fb {

// The statement text the server receives and the parameter names in order.
struct ParsedSql {
    QString positional;
    QStringList names;
};
ParsedSql parseNamedParameters(const QString& sql);

class Cursor;

class Statement {
public:
    // Prepared at once on the attachment of the transaction.
    Statement(Transaction& transaction, QString sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    const QString& sql() const { return sql_; }
    const QStringList& parameterNames() const { return parsed_.names; }
    const Layout& inputLayout() const { return input_; }
    const Layout& outputLayout() const { return output_; }

    // Runs with parameters laid out by `layout` (a coerced input layout) in `buffer`;
    // returns the number of rows it changed.
    quint64 execute(Transaction& transaction, const Layout& layout, const std::byte* buffer);
    // Opens the select; rows arrive laid out by `rowLayout` (a coerced output layout).
    std::unique_ptr<Cursor> open(Transaction& transaction, const Layout& layout, const std::byte* buffer,
                                 const Layout& rowLayout);

    // Plain values in parameter order, for the data module's own queries and for tests;
    // a QByteArray is written as a blob.
    quint64 execute(Transaction& transaction, const QVariantList& values = {});
    std::unique_ptr<Cursor> open(Transaction& transaction, const QVariantList& values = {});
    // The same, rows laid out by `rowLayout` (a coerced output layout).
    std::unique_ptr<Cursor> open(Transaction& transaction, const QVariantList& values, const Layout& rowLayout);

private:
    struct Bound {
        Layout layout;
        std::unique_ptr<std::byte[]> buffer;
    };
    Bound bind(Transaction& transaction, const QVariantList& values);
    void tell(const Transaction& transaction, const Layout& layout, const std::byte* buffer) const;

    Attachment& attachment_;
    int generation_; // of the connection it was prepared on
    QString sql_;
    ParsedSql parsed_;
    Ref<Firebird::IStatement> handle_;
    Layout input_;
    Layout output_;
};

class Cursor {
public:
    Cursor(Attachment& attachment, Firebird::IResultSet* resultSet, Layout rowLayout);
    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    const Layout& layout() const { return layout_; }
    // Fetches the next row into `row` (messageLength() bytes); false at the end, and once the
    // connection it was opened on is gone.
    bool fetch(std::byte* row);
    // The next row, each column decoded; nothing at the end.
    std::optional<QVariantList> next();
    void close();

private:
    bool current() const { return generation_ == attachment_.generation(); }

    Attachment& attachment_;
    int generation_;
    Ref<Firebird::IResultSet> resultSet_;
    Layout layout_;
};

} // namespace zk::fb
