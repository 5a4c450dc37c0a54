#pragma once
// One field of a record set: typed reading and writing of the active row's value.
// An empty field reads as 0, the empty text or an invalid date; it binds SQL NULL.

#include "data/dataset/FieldDef.h"

#include "data/fb/Message.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTime>
#include <QVariant>

namespace zk {

class Query;

class Field {
public:
    Field(Query& query, const FieldDef& def, int index);

    const QString& name() const { return name_; }
    FieldType type() const { return def_.type; }
    int size() const { return def_.size; }
    bool required() const { return def_.required; }
    DisplayFormat display() const { return def_.display; }
    int index() const { return index_; }

    bool isNull() const;
    int asInteger() const;
    double asFloat() const;
    QString asString() const;
    QDate asDate() const;
    QTime asTime() const;
    QByteArray asBlob() const;
    QVariant value() const; // null, or the value in its own type
    QString displayText() const;

    void setInteger(int value);
    void setFloat(double value);
    void setString(const QString& value); // cut to the field's size
    void setDate(const QDate& value);
    void setTime(const QTime& value);
    void setBlob(const QByteArray& value);
    void clear();
    // Another field's value, an empty one included, converted to this field's type.
    void assign(const Field& source);
    // A typed text, as an editing grid hands it over: converted by the field's type;
    // the empty text empties the field.
    void setText(const QString& text);

    bool equals(const QVariant& value) const;

    // The name of the field's type in errors ("Integer", "String", ...).
    static QString typeName(FieldType type);
    // The column type the field keeps its values in, for a column of the result.
    // nullopt when the column cannot hold the field.
    static std::optional<fb::SqlType> storageFor(FieldType type, const fb::Column& column);

private:
    friend class Query;
    const std::byte* data() const;
    std::byte* dataForWrite();
    void markSet(bool null);

    Query& query_;
    FieldDef def_;
    QString name_;
    int index_;
    int blobOrdinal_ = -1;
    const fb::Column* column_ = nullptr; // in the open result's row layout
};

} // namespace zk
