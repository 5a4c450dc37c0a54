#pragma once
// The four update statements of a record set: modify, insert and delete are sent when
// cached changes are applied; refresh serves an explicit refresh of one row. A derived set
// also knows how to find the key the server gave a row this transaction inserted.

#include "data/dataset/FieldDef.h"

#include <QString>
#include <QStringList>

namespace zk {

class UpdateSql {
public:
    enum Kind { Modify, Insert, Delete };

    UpdateSql() = default;
    UpdateSql(QStringList modify, QStringList insert, QStringList del, QStringList refresh,
              QStringList insertedKeys = {});
    // The statements over every column of the fields, keyed on one of them, written the
    // way the table's statements are laid out by hand.
    static UpdateSql derive(const QString& table, const QString& key, FieldDefs fields);

    // The statement text: its lines joined by CR LF.
    QString text(Kind kind) const;
    QString refreshText() const;
    // The keys of the rows written by the running transaction whose other columns hold the
    // values of a row as it was inserted (a table whose trigger replaces the key sent).
    // Empty when the set was not derived.
    QString insertedKeysText() const;
    const QStringList& lines(Kind kind) const { return statements_[kind]; }

private:
    QStringList statements_[3];
    QStringList refresh_;
    QStringList insertedKeys_;
};

} // namespace zk
