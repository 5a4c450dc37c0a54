#include "data/dataset/Field.h"

#include "base/Ufuncoes.h"
#include "base/Win1252.h"
#include "data/dataset/Formatos.h"
#include "data/dataset/Query.h"
#include "data/fb/Bytes.h"

#include <cmath>
#include <cstring>

namespace zk {

namespace {
using fb::load;
using fb::store;

double powerOfTen(int exponent)
{
    double p = 1;
    for (int i = 0; i < exponent; ++i)
        p *= 10;
    return p;
}

bool isExactNumeric(unsigned type) { return type == fb::sql::smallint || type == fb::sql::integer || type == fb::sql::bigint; }
} // namespace

Field::Field(Query& query, const FieldDef& def, int index)
    : query_(query), def_(def), name_(QString::fromLatin1(def.name)), index_(index)
{
}

QString Field::typeName(FieldType type)
{
    switch (type) {
    case FieldType::Integer:
        return QStringLiteral("Integer");
    case FieldType::SmallInt:
        return QStringLiteral("SmallInt");
    case FieldType::Float:
        return QStringLiteral("Float");
    case FieldType::String:
    case FieldType::FixedChar:
        return QStringLiteral("String");
    case FieldType::Date:
        return QStringLiteral("Date");
    case FieldType::Time:
        return QStringLiteral("Time");
    case FieldType::Bcd:
        return QStringLiteral("BCD");
    case FieldType::Blob:
        return QStringLiteral("Blob");
    }
    return {};
}

std::optional<fb::SqlType> Field::storageFor(FieldType type, const fb::Column& c)
{
    using fb::SqlType;
    switch (type) {
    case FieldType::Integer:
        if ((c.type == fb::sql::integer || c.type == fb::sql::smallint) && c.scale == 0)
            return SqlType{fb::sql::integer, 0, 0, sizeof(fb::sql::Integer), 0};
        break;
    case FieldType::SmallInt:
        if (c.type == fb::sql::smallint && c.scale == 0)
            return SqlType{fb::sql::smallint, 0, 0, sizeof(fb::sql::Smallint), 0};
        break;
    case FieldType::Float:
        // Money kept as NUMERIC by a back office reads as well as DOUBLE PRECISION.
        if (c.type == fb::sql::doubleType || c.type == fb::sql::floatType || c.type == fb::sql::dFloat ||
            (isExactNumeric(c.type) && c.scale < 0))
            return SqlType{fb::sql::doubleType, 0, 0, sizeof(double), 0};
        break;
    case FieldType::String:
    case FieldType::FixedChar:
        if (c.type == fb::sql::text || c.type == fb::sql::varying)
            return SqlType::of(c);
        break;
    case FieldType::Date:
        if (c.type == fb::sql::date)
            return SqlType{fb::sql::date, 0, 0, sizeof(fb::sql::Date), 0};
        break;
    case FieldType::Time:
        if (c.type == fb::sql::time)
            return SqlType{fb::sql::time, 0, 0, sizeof(fb::sql::Time), 0};
        break;
    case FieldType::Bcd:
        if (isExactNumeric(c.type))
            return SqlType{fb::sql::bigint, 0, c.scale, sizeof(fb::sql::Bigint), 0};
        break;
    case FieldType::Blob:
        if (c.type == fb::sql::blob)
            return SqlType::of(c);
        break;
    }
    return std::nullopt;
}

const std::byte* Field::data() const { return column_ ? query_.activeData() : nullptr; }

bool Field::isNull() const
{
    const std::byte* row = data();
    return !row || fb::isNull(*column_, row);
}

int Field::asInteger() const
{
    if (isNull())
        return 0;
    const std::byte* p = data() + column_->offset;
    switch (def_.type) {
    case FieldType::Integer:
        return load<fb::sql::Integer>(p);
    case FieldType::SmallInt:
        return load<fb::sql::Smallint>(p);
    case FieldType::Float:
    case FieldType::Bcd:
        return static_cast<int>(std::lround(asFloat()));
    default:
        return StrToInt(asString());
    }
}

double Field::asFloat() const
{
    if (isNull())
        return 0;
    const std::byte* p = data() + column_->offset;
    switch (def_.type) {
    case FieldType::Float:
        return load<double>(p);
    case FieldType::Bcd:
        return double(load<fb::sql::Bigint>(p)) / powerOfTen(-column_->scale);
    case FieldType::Integer:
    case FieldType::SmallInt:
        return asInteger();
    default:
        return asString().toDouble();
    }
}

QString Field::asString() const
{
    if (isNull())
        return {};
    const char* p = reinterpret_cast<const char*>(data() + column_->offset);
    switch (def_.type) {
    case FieldType::String:
    case FieldType::FixedChar: {
        if (column_->type == fb::sql::varying)
            return fromWin1252(p + 2, load<quint16>(data() + column_->offset));
        qsizetype n = column_->length;
        while (n > 0 && p[n - 1] == ' ')
            --n; // fixed-length text comes padded with blanks
        return fromWin1252(p, n);
    }
    case FieldType::Integer:
    case FieldType::SmallInt:
        return QString::number(asInteger());
    case FieldType::Float:
    case FieldType::Bcd:
        return generalText(asFloat());
    case FieldType::Date:
        return regionalLocale().toString(asDate(), QLocale::ShortFormat);
    case FieldType::Time:
        return regionalLocale().toString(asTime(), QLocale::LongFormat);
    case FieldType::Blob:
        return fromWin1252(asBlob());
    }
    return {};
}

QDate Field::asDate() const
{
    return isNull() || def_.type != FieldType::Date ? QDate() : fb::fromIscDate(load<fb::sql::Date>(data() + column_->offset));
}

QTime Field::asTime() const
{
    return isNull() || def_.type != FieldType::Time ? QTime() : fb::fromIscTime(load<fb::sql::Time>(data() + column_->offset));
}

QByteArray Field::asBlob() const
{
    if (isNull() || blobOrdinal_ < 0)
        return {};
    return query_.activeBlobs()[blobOrdinal_];
}

QVariant Field::value() const
{
    if (isNull())
        return {};
    switch (def_.type) {
    case FieldType::Integer:
    case FieldType::SmallInt:
        return asInteger();
    case FieldType::Float:
    case FieldType::Bcd:
        return asFloat();
    case FieldType::String:
    case FieldType::FixedChar:
        return asString();
    case FieldType::Date:
        return asDate();
    case FieldType::Time:
        return asTime();
    case FieldType::Blob:
        return asBlob();
    }
    return {};
}

QString Field::displayText() const
{
    if (isNull())
        return {};
    switch (def_.display) {
    case DisplayFormat::Currency:
        return currencyText(asFloat());
    case DisplayFormat::Price:
        return priceText(asFloat());
    case DisplayFormat::Plain:
        break;
    }
    return asString();
}

bool Field::equals(const QVariant& value) const
{
    if (isNull() || value.isNull())
        return false;
    switch (def_.type) {
    case FieldType::Integer:
    case FieldType::SmallInt:
        return asInteger() == value.toInt();
    case FieldType::Float:
    case FieldType::Bcd:
        return asFloat() == value.toDouble();
    case FieldType::Date:
        return asDate() == value.toDate();
    case FieldType::Time:
        return asTime() == value.toTime();
    default:
        return asString() == value.toString();
    }
}

std::byte* Field::dataForWrite()
{
    query_.requireEditing();
    return const_cast<std::byte*>(query_.activeData());
}

void Field::markSet(bool null)
{
    fb::setNull(*column_, const_cast<std::byte*>(query_.activeData()), null);
    query_.modified_ = true;
    emit query_.dataChanged();
}

void Field::setInteger(int value)
{
    std::byte* row = dataForWrite();
    switch (def_.type) {
    case FieldType::Integer:
        store<fb::sql::Integer>(row + column_->offset, value);
        break;
    case FieldType::SmallInt:
        store<fb::sql::Smallint>(row + column_->offset, static_cast<fb::sql::Smallint>(value));
        break;
    case FieldType::Float:
    case FieldType::Bcd:
        setFloat(value);
        return;
    default:
        setString(QString::number(value));
        return;
    }
    markSet(false);
}

void Field::setFloat(double value)
{
    std::byte* row = dataForWrite();
    switch (def_.type) {
    case FieldType::Float:
        store<double>(row + column_->offset, value);
        break;
    case FieldType::Bcd:
        store<fb::sql::Bigint>(row + column_->offset, std::llround(value * powerOfTen(-column_->scale)));
        break;
    case FieldType::Integer:
    case FieldType::SmallInt:
        setInteger(static_cast<int>(std::lround(value)));
        return;
    default:
        setString(generalText(value));
        return;
    }
    markSet(false);
}

void Field::setString(const QString& value)
{
    std::byte* row = dataForWrite();
    switch (def_.type) {
    case FieldType::String:
    case FieldType::FixedChar: {
        QByteArray bytes = toWin1252OrThrow(value, name_);
        qsizetype limit = column_->length;
        if (def_.size > 0)
            limit = qMin<qsizetype>(limit, def_.size);
        bytes.truncate(limit); // stored cut to the field's length
        char* p = reinterpret_cast<char*>(row + column_->offset);
        if (column_->type == fb::sql::varying) {
            store<quint16>(row + column_->offset, static_cast<quint16>(bytes.size()));
            std::memcpy(p + 2, bytes.constData(), bytes.size());
        } else {
            std::memset(p, ' ', column_->length);
            std::memcpy(p, bytes.constData(), bytes.size());
        }
        markSet(false);
        return;
    }
    case FieldType::Blob:
        setBlob(toWin1252OrThrow(value, name_));
        return;
    default:
        setText(value);
        return;
    }
}

void Field::setDate(const QDate& value)
{
    std::byte* row = dataForWrite();
    if (def_.type != FieldType::Date || !value.isValid())
        return clear();
    store<fb::sql::Date>(row + column_->offset, fb::toIscDate(value));
    markSet(false);
}

void Field::setTime(const QTime& value)
{
    std::byte* row = dataForWrite();
    if (def_.type != FieldType::Time || !value.isValid())
        return clear();
    store<fb::sql::Time>(row + column_->offset, fb::toIscTime(value));
    markSet(false);
}

void Field::setBlob(const QByteArray& value)
{
    dataForWrite();
    if (blobOrdinal_ < 0)
        return setString(fromWin1252(value));
    query_.activeBlobs()[blobOrdinal_] = value;
    markSet(false);
}

void Field::clear()
{
    dataForWrite();
    if (blobOrdinal_ >= 0)
        query_.activeBlobs()[blobOrdinal_].clear();
    markSet(true);
}

void Field::assign(const Field& source)
{
    if (source.isNull())
        return clear();
    switch (def_.type) {
    case FieldType::Integer:
    case FieldType::SmallInt:
        return setInteger(source.asInteger());
    case FieldType::Float:
    case FieldType::Bcd:
        return setFloat(source.asFloat());
    case FieldType::Date:
        return setDate(source.asDate());
    case FieldType::Time:
        return setTime(source.asTime());
    case FieldType::Blob:
        return setBlob(source.asBlob());
    default:
        return setString(source.asString());
    }
}

void Field::setText(const QString& text)
{
    if (text.isEmpty())
        return clear();
    switch (def_.type) {
    case FieldType::Integer:
    case FieldType::SmallInt: {
        int value = 0;
        if (!TryStrToInt(text, value))
            throw ConversionError(QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(text, name_));
        return setInteger(value);
    }
    case FieldType::Float:
    case FieldType::Bcd: {
        bool ok = false;
        double value = regionalLocale().toDouble(text, &ok);
        if (!ok)
            throw ConversionError(QStringLiteral("'%1' não é um número válido para o campo '%2'").arg(text, name_));
        return setFloat(value);
    }
    case FieldType::Date: {
        QDate value = regionalLocale().toDate(text, QLocale::ShortFormat);
        if (!value.isValid())
            throw ConversionError(QStringLiteral("'%1' não é uma data válida").arg(text));
        return setDate(value);
    }
    case FieldType::Time: {
        QTime value = regionalLocale().toTime(text, QLocale::ShortFormat);
        if (!value.isValid())
            throw ConversionError(QStringLiteral("'%1' não é uma hora válida").arg(text));
        return setTime(value);
    }
    default:
        return setString(text);
    }
}

} // namespace zk
