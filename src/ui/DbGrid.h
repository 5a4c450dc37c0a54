#pragma once
// The editable data grid: the records of a data source as rows, edited in place with the
// usual keys of a database grid. Typed text reaches the field when the cell is left,
// leaving a row posts it (and so applies it through the record set's hooks), Esc undoes
// the typing and then the row's changes, Insert or moving down past the end starts a new
// row, Ctrl+Delete deletes the current one after asking.

#include <QAbstractItemDelegate>
#include <QPointer>
#include <QTableView>

class QLineEdit;

namespace zk {

struct DataSource;
class DbGridModel;
class Query;

class DbGrid : public QTableView {
    Q_OBJECT
public:
    struct Column {
        QString field; // titled with the field's name
        int width;
    };

    DbGrid(DataSource& source, const QList<Column>& columns, QWidget* parent = nullptr);

    DbGridModel& dataModel() const { return *model_; }
    Query& query() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class GridDelegate;
    friend class GridSelection;

    // A cell the user or the view asks for: typed text is written, the record set moves
    // there (posting the row left), and the view shows where the record set really is.
    void requestCell(const QModelIndex& index);
    void followQuery();
    void editorOpened(QLineEdit* editor, const QModelIndex& index);
    // Writes the typed text, if any, into its field; a refusal is reported and answers false.
    bool writeEditor();
    void dropEditor();
    void moveDown();
    void insertRow();
    void deleteRow();

    DbGridModel* model_;
    QPointer<QLineEdit> editor_;   // the open cell editor
    QPersistentModelIndex editing_; // the cell it edits
    int column_ = 0;                // the column of the current cell
    bool following_ = false;        // the view is being put on the record set's row
    bool refusing_ = false;         // the typed text was refused during the current user action
};

} // namespace zk
