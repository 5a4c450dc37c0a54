#include "data/fb/Message.h"

#include "base/Win1252.h"
#include "data/fb/Bytes.h"
#include "data/fb/FbClient.h"

#include <cstring>
#include <type_traits>

namespace zk::fb {

// The layers above know the client's types by the names of SqlTypes.h.
static_assert(sql::text == SQL_TEXT && sql::varying == SQL_VARYING && sql::smallint == SQL_SHORT &&
              sql::integer == SQL_LONG && sql::floatType == SQL_FLOAT && sql::doubleType == SQL_DOUBLE &&
              sql::dFloat == SQL_D_FLOAT && sql::timestamp == SQL_TIMESTAMP && sql::blob == SQL_BLOB &&
              sql::time == SQL_TYPE_TIME && sql::date == SQL_TYPE_DATE && sql::bigint == SQL_INT64);
static_assert(sizeof(sql::Smallint) == sizeof(ISC_SHORT) && sizeof(sql::Integer) == sizeof(ISC_LONG) &&
              sizeof(sql::Bigint) == sizeof(ISC_INT64) && sizeof(sql::Date) == sizeof(ISC_DATE) &&
              sizeof(sql::Time) == sizeof(ISC_TIME) && sizeof(sql::BlobId) == sizeof(ISC_QUAD));
static_assert(std::is_signed_v<sql::Date> == std::is_signed_v<ISC_DATE> &&
              std::is_signed_v<sql::Time> == std::is_signed_v<ISC_TIME>);

namespace {
constexpr ISC_DATE julianDayOfIscZero = 2400001; // 17 Nov 1858
constexpr qint64 timeUnitsPerMs = 10;

void releaseMetadata(Firebird::IMessageMetadata* m)
{
    if (m)
        m->release();
}
} // namespace

Layout::Layout(Firebird::IMessageMetadata* metadata) : metadata_(metadata, releaseMetadata)
{
    Status status;
    status.run([&](auto* st) {
        unsigned count = metadata->getCount(st);
        columns_.reserve(count);
        for (unsigned i = 0; i < count; ++i) {
            Column c;
            c.name = QString::fromLocal8Bit(metadata->getAlias(st, i));
            c.type = metadata->getType(st, i) & ~1u;
            c.subType = metadata->getSubType(st, i);
            c.scale = metadata->getScale(st, i);
            c.length = metadata->getLength(st, i);
            c.charSet = metadata->getCharSet(st, i);
            c.offset = metadata->getOffset(st, i);
            c.nullOffset = metadata->getNullOffset(st, i);
            columns_.push_back(std::move(c));
        }
        length_ = metadata->getMessageLength(st);
    });
}

Layout Layout::coerced(const std::vector<std::optional<SqlType>>& types) const
{
    Status status;
    return status.run([&](auto* st) {
        Ref<Firebird::IMetadataBuilder> builder(metadata_->getBuilder(st));
        for (unsigned i = 0; i < types.size() && i < columns_.size(); ++i) {
            if (!types[i])
                continue;
            const SqlType& t = *types[i];
            builder->setType(st, i, t.type | 1u);
            builder->setSubType(st, i, t.subType);
            builder->setLength(st, i, t.length);
            builder->setScale(st, i, t.scale);
            if (t.type == SQL_TEXT || t.type == SQL_VARYING || t.type == SQL_BLOB)
                builder->setCharSet(st, i, t.charSet);
        }
        return Layout(builder->getMetadata(st));
    });
}

std::unique_ptr<std::byte[]> Layout::newBuffer() const
{
    auto buffer = std::make_unique<std::byte[]>(length_);
    for (const Column& c : columns_)
        setNull(c, buffer.get(), true);
    return buffer;
}

sql::Date toIscDate(const QDate& date) { return static_cast<sql::Date>(date.toJulianDay() - julianDayOfIscZero); }
QDate fromIscDate(sql::Date value) { return QDate::fromJulianDay(value + julianDayOfIscZero); }
sql::Time toIscTime(const QTime& time) { return static_cast<sql::Time>(time.msecsSinceStartOfDay() * timeUnitsPerMs); }
QTime fromIscTime(sql::Time value) { return QTime::fromMSecsSinceStartOfDay(static_cast<int>(value / timeUnitsPerMs)); }

QVariant decode(const Column& c, const std::byte* buffer)
{
    if (isNull(c, buffer))
        return QVariant();
    const std::byte* p = buffer + c.offset;
    auto scaled = [&](qint64 raw) -> QVariant {
        if (c.scale == 0)
            return raw;
        double value = double(raw);
        for (int i = 0; i < -c.scale; ++i)
            value /= 10;
        return value;
    };
    switch (c.type) {
    case SQL_SHORT:
        return scaled(load<ISC_SHORT>(p));
    case SQL_LONG:
        return c.scale == 0 ? QVariant(load<ISC_LONG>(p)) : scaled(load<ISC_LONG>(p));
    case SQL_INT64:
        return scaled(load<ISC_INT64>(p));
    case SQL_FLOAT:
        return double(load<float>(p));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return load<double>(p);
    case SQL_TYPE_DATE:
        return fromIscDate(load<ISC_DATE>(p));
    case SQL_TYPE_TIME:
        return fromIscTime(load<ISC_TIME>(p));
    case SQL_TIMESTAMP:
        return QDateTime(fromIscDate(load<ISC_DATE>(p)), fromIscTime(load<ISC_TIME>(p + sizeof(ISC_DATE))));
    case SQL_TEXT:
        return zk::fromWin1252(reinterpret_cast<const char*>(p), c.length);
    case SQL_VARYING:
        return zk::fromWin1252(reinterpret_cast<const char*>(p) + 2, load<quint16>(p));
    case SQL_BLOB:
        return QStringLiteral("<blob>");
    default:
        return QStringLiteral("<type %1>").arg(c.type);
    }
}

std::optional<SqlType> sqlTypeFor(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
        return SqlType{SQL_LONG, 0, 0, sizeof(ISC_LONG), 0};
    case QMetaType::LongLong:
        return SqlType{SQL_INT64, 0, 0, sizeof(ISC_INT64), 0};
    case QMetaType::Double:
        return SqlType{SQL_DOUBLE, 0, 0, sizeof(double), 0};
    case QMetaType::QDate:
        return SqlType{SQL_TYPE_DATE, 0, 0, sizeof(ISC_DATE), 0};
    case QMetaType::QTime:
        return SqlType{SQL_TYPE_TIME, 0, 0, sizeof(ISC_TIME), 0};
    case QMetaType::QString:
        return SqlType{SQL_VARYING, 0, 0, static_cast<unsigned>(qMax<qsizetype>(1, value.toString().size())), 0};
    case QMetaType::QByteArray:
        return SqlType{SQL_BLOB, 0, 0, sizeof(ISC_QUAD), 0};
    default:
        return std::nullopt; // null: the parameter keeps its own type
    }
}

void encode(const Column& c, std::byte* buffer, const QVariant& value)
{
    setNull(c, buffer, value.isNull());
    if (value.isNull())
        return;
    std::byte* p = buffer + c.offset;
    switch (c.type) {
    case SQL_LONG:
        store<ISC_LONG>(p, value.toInt());
        break;
    case SQL_INT64:
        store<ISC_INT64>(p, value.toLongLong());
        break;
    case SQL_DOUBLE:
        store<double>(p, value.toDouble());
        break;
    case SQL_TYPE_DATE:
        store<ISC_DATE>(p, toIscDate(value.toDate()));
        break;
    case SQL_TYPE_TIME:
        store<ISC_TIME>(p, toIscTime(value.toTime()));
        break;
    case SQL_VARYING: {
        QByteArray bytes = zk::toWin1252OrThrow(value.toString(), QStringLiteral("O texto"));
        auto n = static_cast<quint16>(qMin<qsizetype>(bytes.size(), c.length));
        store<quint16>(p, n);
        std::memcpy(p + 2, bytes.constData(), n);
        break;
    }
    default:
        break; // blobs are written by the statement, which owns the transaction
    }
}

QString typeName(unsigned type, int scale)
{
    switch (type & ~1u) {
    case SQL_SHORT:
        return scale ? QStringLiteral("BCD") : QStringLiteral("SmallInt");
    case SQL_LONG:
        return scale ? QStringLiteral("BCD") : QStringLiteral("Integer");
    case SQL_INT64:
        return scale ? QStringLiteral("BCD") : QStringLiteral("LargeInt");
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return QStringLiteral("Float");
    case SQL_TEXT:
        return QStringLiteral("FixedChar");
    case SQL_VARYING:
        return QStringLiteral("String");
    case SQL_TYPE_DATE:
        return QStringLiteral("Date");
    case SQL_TYPE_TIME:
        return QStringLiteral("Time");
    case SQL_TIMESTAMP:
        return QStringLiteral("DateTime");
    case SQL_BLOB:
        return QStringLiteral("Blob");
    default:
        return QStringLiteral("Unknown");
    }
}

} // namespace zk::fb
