#pragma once
// A record set seen by Qt's item views: one row per record, one column per listed field.
// The record set stays the owner of the rows and of the current row; the model follows
// its signals and tells the view what changed.

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace zk {

class Field;
class Query;

class DbGridModel : public QAbstractTableModel {
public:
    // The marker a row shows in the indicator column (vertical header data of this role).
    enum class Indicator { None, Current, Editing, Inserting };
    static constexpr int IndicatorRole = Qt::UserRole + 1;

    DbGridModel(Query& query, const QStringList& fieldNames, QObject* parent = nullptr);

    Query& query() const { return query_; }
    Field& field(int column) const { return *fields_[column]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // Puts the row being typed in into edit mode (moving there first, which posts the row
    // being left).
    void beginEdit(int row);
    // Writes a typed text into the cell's field, converted by the field's type; the empty
    // text empties it. Raises what the field raises for a text it cannot hold.
    void setText(const QModelIndex& index, const QString& text);

private:
    void followRows();
    void followRecords();
    void focusRow(int row);

    Query& query_;
    std::vector<Field*> fields_;
    int rows_ = 0; // the rows the view knows of
};

} // namespace zk
