#include "ui/DbGrid.h"

#include "data/dataset/DataSource.h"
#include "data/dataset/Query.h"
#include "ui/Aplicacao.h"
#include "ui/DbGridModel.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QTimer>

namespace zk {

namespace {

constexpr int indicatorWidth = 12;

bool isInteger(FieldType type) { return type == FieldType::Integer || type == FieldType::SmallInt; }

// The row indicator column: the current row's marker, drawn in the vertical header.
class IndicatorHeader : public QHeaderView {
public:
    explicit IndicatorHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent)
    {
        setSectionResizeMode(QHeaderView::Fixed);
        setFixedWidth(indicatorWidth);
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int section) const override
    {
        painter->save(); // the style may leave a clip too narrow for the marker
        QHeaderView::paintSection(painter, rect, section);
        painter->restore();
        const auto marker = DbGridModel::Indicator(
            model()->headerData(section, Qt::Vertical, DbGridModel::IndicatorRole).toInt());
        if (marker == DbGridModel::Indicator::None)
            return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        const QColor ink = palette().color(QPalette::WindowText);
        const QPoint c = rect.center();
        switch (marker) {
        case DbGridModel::Indicator::Current: { // a solid arrow head
            const QPoint head[] = {{c.x() - 2, c.y() - 4}, {c.x() + 2, c.y()}, {c.x() - 2, c.y() + 4}};
            painter->setPen(ink);
            painter->setBrush(ink);
            painter->drawPolygon(head, 3);
            break;
        }
        case DbGridModel::Indicator::Editing: // a text cursor
            painter->setPen(ink);
            painter->drawLine(c.x(), c.y() - 4, c.x(), c.y() + 4);
            painter->drawLine(c.x() - 2, c.y() - 5, c.x() + 2, c.y() - 5);
            painter->drawLine(c.x() - 2, c.y() + 5, c.x() + 2, c.y() + 5);
            break;
        case DbGridModel::Indicator::Inserting:
            painter->setPen(ink);
            painter->drawText(rect, Qt::AlignCenter, QStringLiteral("*"));
            break;
        case DbGridModel::Indicator::None:
            break;
        }
        painter->restore();
    }
};

} // namespace

// Cell editors that take only what the field can hold, and the current cell highlighted
// while the grid has the focus.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(DbGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        auto* edit = new QLineEdit(parent);
        edit->setFrame(false);
        edit->setAlignment(Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt()));
        if (isInteger(grid_.dataModel().field(index.column()).type()))
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-+0-9]*")), edit));
        grid_.editorOpened(edit, index);
        return edit;
    }

    // The grid writes typed text itself, when the cell is left (DbGrid::writeEditor).
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

    // Ctrl+Delete deletes the row even from inside a cell being edited.
    bool eventFilter(QObject* editor, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Delete && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
                QCoreApplication::sendEvent(&grid_, event);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(editor, event);
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state.setFlag(QStyle::State_Selected, grid_.hasFocus() && index == grid_.currentIndex());
    }

private:
    DbGrid& grid_;
};

// Every change of the current cell asked by the view goes through the grid first.
class GridSelection : public QItemSelectionModel {
public:
    explicit GridSelection(DbGrid& grid) : QItemSelectionModel(grid.model(), &grid), grid_(grid) {}

    void setCurrentIndex(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override
    {
        if (grid_.following_ || !index.isValid())
            QItemSelectionModel::setCurrentIndex(index, command);
        else
            grid_.requestCell(index);
    }

private:
    DbGrid& grid_;
};

DbGrid::DbGrid(DataSource& source, const QList<Column>& columns, QWidget* parent) : QTableView(parent)
{
    QStringList fields;
    for (const Column& column : columns)
        fields << column.field;
    model_ = new DbGridModel(source.DataSet, fields, this);
    setModel(model_);
    selectionModel()->deleteLater();
    setSelectionModel(new GridSelection(*this));
    setItemDelegate(new GridDelegate(*this));
    setVerticalHeader(new IndicatorHeader(this));

    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::DoubleClicked);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    for (int i = 0; i < columns.size(); ++i)
        setColumnWidth(i, columns[i].width);

    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] { editor_ = nullptr; });
    connect(model_, &QAbstractItemModel::modelReset, this, &DbGrid::followQuery);
    connect(&query(), &Query::currentChanged, this, &DbGrid::followQuery);
    followQuery();
}

Query& DbGrid::query() const { return model_->query(); }

void DbGrid::followQuery()
{
    const int row = query().recNo();
    const QModelIndex target = row >= 0 && row < model_->rowCount()
                                   ? model_->index(row, qMin(column_, model_->columnCount() - 1))
                                   : QModelIndex();
    {
        QScopedValueRollback following(following_, true);
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    }
    if (target.isValid())
        scrollTo(target);
}

void DbGrid::requestCell(const QModelIndex& index)
{
    const bool moved = writeEditor() && runReported([&] {
        if (index.row() != query().recNo())
            query().moveTo(index.row());
    });
    if (moved)
        column_ = index.column();
    followQuery();
}

void DbGrid::editorOpened(QLineEdit* editor, const QModelIndex& index)
{
    editor_ = editor;
    editing_ = index;
    // The row goes into edit mode with the first key typed, as the indicator shows.
    connect(editor, &QLineEdit::textEdited, this, reported([this] { model_->beginEdit(editing_.row()); }));
}

bool DbGrid::writeEditor()
{
    if (!editor_ || !editor_->isModified() || !editing_.isValid())
        return true;
    if (refusing_)
        return false;
    // One user action can ask twice (the editor losing the focus, then the move it was
    // for), and the error box itself takes the focus: the refusal is shown once per action.
    refusing_ = true;
    const bool written = runReported([this] {
        model_->setText(editing_, editor_->text());
        editor_->setModified(false);
    });
    if (written) {
        refusing_ = false;
    } else {
        QTimer::singleShot(0, this, [this] { refusing_ = false; });
        if (editor_)
            editor_->setFocus(); // the user stays in the cell to correct the text
    }
    return written;
}

void DbGrid::dropEditor()
{
    if (QWidget* editor = editor_) {
        editor_ = nullptr;
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void DbGrid::commitData(QWidget* editor)
{
    // While the view follows a move of the record set, the text typed belongs to a row that
    // is no longer current.
    if (editor == editor_ && !following_)
        writeEditor();
}

void DbGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    const bool revert = hint == QAbstractItemDelegate::RevertModelCache;
    if (editor == editor_ && refusing_ && !revert)
        return; // the text was refused: the editor stays open
    // Esc with nothing typed goes on to cancel the row, as a second Esc would.
    const bool cancelRow = revert && editor == editor_ && !editor_->isModified();
    if (editor == editor_)
        editor_ = nullptr;
    QTableView::closeEditor(editor, hint);
    if (cancelRow)
        runReported([this] { query().cancel(); });
}

void DbGrid::keyPressEvent(QKeyEvent* event)
{
    // Keys the cell editor leaves to the grid act on the row: the text typed goes first.
    if (!writeEditor())
        return;
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool plain = modifiers == Qt::NoModifier;
    if (event->key() == Qt::Key_Insert && plain)
        runReported([this] { insertRow(); });
    else if (event->key() == Qt::Key_Delete && modifiers == Qt::ControlModifier)
        runReported([this] { deleteRow(); });
    else if (event->key() == Qt::Key_Escape && plain)
        runReported([this] { query().cancel(); });
    else if (event->key() == Qt::Key_Down && plain && currentIndex().row() >= model_->rowCount() - 1)
        runReported([this] { moveDown(); });
    else
        QTableView::keyPressEvent(event);
}

void DbGrid::moveDown()
{
    query().next();
    if (query().eof())
        query().append();
}

void DbGrid::insertRow()
{
    dropEditor();
    query().insert();
}

void DbGrid::deleteRow()
{
    if (query().isEmpty())
        return;
    QMessageBox confirm(QMessageBox::Question, QStringLiteral("Confirm"), QStringLiteral("Delete record?"),
                        QMessageBox::Ok | QMessageBox::Cancel, this);
    confirm.setDefaultButton(QMessageBox::Ok);
    // The grid's own texts, whatever language the platform's boxes speak.
    confirm.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    confirm.button(QMessageBox::Cancel)->setText(QStringLiteral("Cancel"));
    if (confirm.exec() != QMessageBox::Ok)
        return;
    dropEditor();
    query().remove();
}

} // namespace zk
