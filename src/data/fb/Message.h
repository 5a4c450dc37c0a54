#pragma once
// A message of the client API: the layout of a statement's parameters or result columns
// (its metadata) and one buffer laid out by it.

#include "data/fb/Ref.h"
#include "data/fb/SqlTypes.h"

#include <QDate>
#include <QTime>
#include <QVariant>

#include <cstddef>
#include <memory>
#include <vector>

namespace zk::fb {

// What one column of a message holds and where.
struct Column {
    QString name; // the column's alias, as the result names it
    unsigned type = 0; // sql::integer, sql::varying, ... without the nullable bit
    int subType = 0;
    int scale = 0;
    unsigned length = 0; // bytes of the value (without the length word of a VARCHAR)
    unsigned charSet = 0;
    unsigned offset = 0;
    unsigned nullOffset = 0;
};

// The type part of a column, for coercing a message to the types the caller keeps.
struct SqlType {
    unsigned type = 0;
    int subType = 0;
    int scale = 0;
    unsigned length = 0;
    unsigned charSet = 0;

    static SqlType of(const Column& c) { return {c.type, c.subType, c.scale, c.length, c.charSet}; }
};

// The layout of a message, read once from its metadata.
class Layout {
public:
    Layout() = default;
    // Takes over one reference to the metadata.
    explicit Layout(Firebird::IMessageMetadata* metadata);

    // The same columns with some types replaced (nullopt keeps a column's own type).
    Layout coerced(const std::vector<std::optional<SqlType>>& types) const;

    const std::vector<Column>& columns() const { return columns_; }
    unsigned messageLength() const { return length_; }
    Firebird::IMessageMetadata* metadata() const { return metadata_.get(); }
    bool empty() const { return !metadata_; }
    // A buffer of this layout with every column null; aligned for any value type.
    std::unique_ptr<std::byte[]> newBuffer() const;

private:
    std::shared_ptr<Firebird::IMessageMetadata> metadata_;
    std::vector<Column> columns_;
    unsigned length_ = 0;
};

// Dates and times of the client (days since 17 Nov 1858; ten-thousandths of a second).
sql::Date toIscDate(const QDate& date);
QDate fromIscDate(sql::Date value);
sql::Time toIscTime(const QTime& time);
QTime fromIscTime(sql::Time value);

// One column of a buffer, as a value the caller can read (for observers and tests).
// Text arrives as Windows-1252 and is converted; a blob is shown by its length.
QVariant decode(const Column& column, const std::byte* buffer);

// Writes a plain value into a column whose type was chosen for it by sqlTypeFor().
void encode(const Column& column, std::byte* buffer, const QVariant& value);
std::optional<SqlType> sqlTypeFor(const QVariant& value);

// The type's name as the record-set errors write it ("Integer", "String", ...).
QString typeName(unsigned type, int scale);

} // namespace zk::fb
