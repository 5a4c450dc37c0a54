#include "data/dataset/UpdateSql.h"

namespace zk {

namespace {
constexpr qsizetype wrapWidth = 78;

// "  (A, B, C)" with the items carried on to lines indented under the parenthesis.
QStringList wrappedList(const QStringList& items)
{
    QStringList lines;
    QString line = QStringLiteral("  (");
    for (qsizetype i = 0; i < items.size(); ++i) {
        QString item = items[i] + (i + 1 < items.size() ? QStringLiteral(",") : QStringLiteral(")"));
        if (line.size() > 3 && line.size() + 1 + item.size() > wrapWidth) {
            lines << line;
            line = QStringLiteral("   ");
        } else if (line.size() > 3) {
            line += u' ';
        }
        line += item;
    }
    lines << line;
    return lines;
}
} // namespace

UpdateSql::UpdateSql(QStringList modify, QStringList insert, QStringList del, QStringList refresh,
                     QStringList insertedKeys)
    : statements_{std::move(modify), std::move(insert), std::move(del)}, refresh_(std::move(refresh)),
      insertedKeys_(std::move(insertedKeys))
{
}

UpdateSql UpdateSql::derive(const QString& table, const QString& key, FieldDefs fields)
{
    QStringList columns, params, assignments, selected, sameValues;
    for (const FieldDef& f : fields) {
        QString column = QString::fromLatin1(f.name);
        columns << column;
        params << u':' + column;
        assignments << QStringLiteral("  %1 = :%1,").arg(column);
        selected << QStringLiteral("  %1,").arg(column);
        if (column != key && f.type != FieldType::Blob)
            sameValues << QStringLiteral("  and %1 is not distinct from :%1").arg(column);
    }
    assignments.back().chop(1);
    selected.back().chop(1);

    QStringList modify{QStringLiteral("update ") + table, QStringLiteral("set")};
    modify << assignments << QStringLiteral("where") << QStringLiteral("  %1 = :OLD_%1").arg(key);

    QStringList insert{QStringLiteral("insert into ") + table};
    insert << wrappedList(columns) << QStringLiteral("values") << wrappedList(params);

    QStringList del{QStringLiteral("delete from ") + table, QStringLiteral("where"),
                    QStringLiteral("  %1 = :OLD_%1").arg(key)};

    QStringList refresh{QStringLiteral("Select ")};
    refresh << selected << QStringLiteral("from %1 ").arg(table) << QStringLiteral("where")
            << QStringLiteral("  %1 = :%1").arg(key);

    // Every row version a transaction writes carries its number, so rows inserted (or locked)
    // by other transactions never answer.
    QStringList insertedKeys{QStringLiteral("select %1 from %2").arg(key, table),
                             QStringLiteral("where RDB$RECORD_VERSION = CURRENT_TRANSACTION")};
    insertedKeys << sameValues << QStringLiteral("order by %1").arg(key);

    return UpdateSql(modify, insert, del, refresh, insertedKeys);
}

QString UpdateSql::text(Kind kind) const { return statements_[kind].join(QStringLiteral("\r\n")); }

QString UpdateSql::refreshText() const { return refresh_.join(QStringLiteral("\r\n")); }

QString UpdateSql::insertedKeysText() const { return insertedKeys_.join(QStringLiteral("\r\n")); }

} // namespace zk
