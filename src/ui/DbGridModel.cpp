#include "ui/DbGridModel.h"

#include "data/dataset/Query.h"

namespace zk {

namespace {
constexpr int fetchStep = 64; // rows read from the server each time the view scrolls to the end

bool isNumeric(FieldType type)
{
    return type == FieldType::Integer || type == FieldType::SmallInt || type == FieldType::Float || type == FieldType::Bcd;
}
} // namespace

DbGridModel::DbGridModel(Query& query, const QStringList& fieldNames, QObject* parent)
    : QAbstractTableModel(parent), query_(query)
{
    for (const QString& name : fieldNames)
        fields_.push_back(&query_.fieldByName(name));
    rows_ = query_.active() ? query_.recordCount() : 0;
    connect(&query_, &Query::dataChanged, this, &DbGridModel::followRecords);
    connect(&query_, &Query::currentChanged, this, &DbGridModel::followRows);
    connect(&query_, &Query::stateChanged, this, &DbGridModel::followRows);
}

int DbGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int DbGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(fields_.size()); }

QVariant DbGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_)
        return {};
    const Field& field = *fields_[index.column()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        Query::ShowRow row(query_, index.row());
        return role == Qt::DisplayRole ? field.displayText() : field.asString();
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (isNumeric(field.type()) ? Qt::AlignRight : Qt::AlignLeft));
    default:
        return {};
    }
}

QVariant DbGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal)
        return role == Qt::DisplayRole && section < columnCount() ? QVariant(fields_[section]->name()) : QVariant();
    if (role != IndicatorRole || section != query_.recNo())
        return {};
    switch (query_.state()) {
    case Query::State::Edit:
        return int(Indicator::Editing);
    case Query::State::Insert:
        return int(Indicator::Inserting);
    default:
        return int(Indicator::Current);
    }
}

Qt::ItemFlags DbGridModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable : Qt::NoItemFlags;
}

bool DbGridModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && query_.active() && !query_.allFetched();
}

void DbGridModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    {
        Query::ShowRow peek(query_, rows_ + fetchStep - 1); // looking at a row fetches every row up to it
    }
    followRows();
}

// Rows fetched at the end are announced as such, so the view keeps its place and its
// editor; any other change of the count (a new row, a removed one, a fresh read) starts
// the view over. A new row is the only growth while inserting.
void DbGridModel::followRows()
{
    const int now = query_.active() ? query_.recordCount() : 0;
    if (now > rows_ && query_.state() != Query::State::Insert) {
        beginInsertRows({}, rows_, now - 1);
        rows_ = now;
        endInsertRows();
    } else if (now != rows_) {
        beginResetModel();
        rows_ = now;
        endResetModel();
    }
    if (rows_ > 0)
        emit headerDataChanged(Qt::Vertical, 0, rows_ - 1);
}

void DbGridModel::followRecords()
{
    followRows();
    if (rows_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
}

void DbGridModel::focusRow(int row)
{
    if (query_.recNo() != row)
        query_.moveTo(row);
}

void DbGridModel::beginEdit(int row)
{
    focusRow(row);
    query_.edit();
}

void DbGridModel::setText(const QModelIndex& index, const QString& text)
{
    beginEdit(index.row());
    fields_[index.column()]->setText(text);
}

} // namespace zk
