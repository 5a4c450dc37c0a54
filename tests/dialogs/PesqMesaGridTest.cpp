// The table register's grid: editing the tables in place with the keys of a database grid,
// each change applied as soon as its row is left.

#include "support/Ink.h"
#include "support/MessageLog.h"
#include "support/RegisterFixture.h"
#include "ui/Aplicacao.h"

#include <QHeaderView>

namespace {

using State = zk::Query::State;
constexpr int CODMESA = 0;
constexpr int DESCRICAO = 1;

class GridTest : public RegisterTest {
protected:
    void SetUp() override
    {
        RegisterTest::SetUp();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        ASSERT_TRUE(QTest::qWaitFor([this] { return grid().rowCount() == 30; })) << "the grid reads the rows it shows";
        view().setFocus();
    }

    zk::DbGrid& view() const { return *form->DBGrid1; }

    int rowOf(int descricao) const
    {
        for (int row = 0; row < grid().rowCount(); ++row)
            if (gridText(row, DESCRICAO) == QString::number(descricao))
                return row;
        return -1;
    }

    // A touch on the cell of the table with that number.
    void clickCell(int descricao, int column)
    {
        const QModelIndex cell = grid().index(rowOf(descricao), column);
        view().scrollTo(cell);
        QTest::mouseClick(view().viewport(), Qt::LeftButton, {}, view().visualRect(cell).center());
    }

    // Keys go where the focus is, as they would from a keyboard; what a key sets off runs
    // before the next key comes.
    void type(const QString& keys)
    {
        for (QChar key : keys)
            QTest::keyClick(focus(), key.toLatin1());
        QCoreApplication::processEvents();
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(focus(), key, modifiers);
        QCoreApplication::processEvents();
    }
    // After a message box the user comes back to the register's window, where the focus
    // is still on the widget that had it.
    QWidget* focus()
    {
        if (!QApplication::focusWidget()) {
            form->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        }
        return QApplication::focusWidget();
    }
    QLineEdit* editor() { return qobject_cast<QLineEdit*>(focus()); }

    int key(int descricao)
    {
        EXPECT_TRUE(dm->QMesas.locate("DESCRICAO", descricao));
        return dm->QMesas.fieldByName("CODMESA").asInteger();
    }
};

// Dark pixels in the row indicator of one row: the marker.
int markerInk(zk::DbGrid& view, int row)
{
    QHeaderView& header = *view.verticalHeader();
    const QRect section(0, header.sectionViewportPosition(row), header.width(), header.sectionSize(row));
    return pixelCount(shot(header), section.adjusted(1, 1, -1, -1), [](QColor c) { return qGray(c.rgb()) < 80; });
}

TEST_F(GridTest, ShowsTheRecordSetAndKeepsItsCurrentRowInStep)
{
    const int key12 = key(12);
    dm->QMesas.first();
    EXPECT_EQ(gridText(rowOf(12), CODMESA), QString::number(key12));
    EXPECT_EQ(view().currentIndex().row(), 0);
    EXPECT_GT(markerInk(view(), 0), 0);
    EXPECT_EQ(markerInk(view(), 1), 0);

    dm->QMesas.moveTo(7);
    EXPECT_EQ(view().currentIndex().row(), 7) << "the grid follows the record set";
    EXPECT_GT(markerInk(view(), 7), 0);
    EXPECT_EQ(markerInk(view(), 0), 0);

    clickCell(12, DESCRICAO);
    EXPECT_EQ(dm->QMesas.fieldByName("DESCRICAO").asInteger(), 12) << "the record set follows the grid";
    EXPECT_EQ(view().currentIndex(), grid().index(rowOf(12), DESCRICAO));
    EXPECT_TRUE(log->entries.empty());
}

struct CellCase {
    int column;
    QString keys;    // typed over the cell's text ('\b' erases it), then the row is left
    QVariant stored; // the value sent for the column, or nothing when refused
    QString error;
    friend std::ostream& operator<<(std::ostream& os, const CellCase& c) { return os << '"' << c.keys.toStdString() << '"'; }
};
CellCase sent(int column, const QString& keys, const QVariant& stored) { return {column, keys, stored, {}}; }
CellCase refused(int column, const QString& keys, const QString& error) { return {column, keys, {}, error}; }

class CellTest : public GridTest, public testing::WithParamInterface<CellCase> {};

TEST_P(CellTest, TypedTextIsSentWhenTheRowIsLeftOrRefused)
{
    const CellCase& c = GetParam();
    const int key12 = key(12);
    const int row12 = rowOf(12);
    clickCell(12, c.column);
    press(Qt::Key_F2);
    press(Qt::Key_A, Qt::ControlModifier);
    type(c.keys);
    EXPECT_EQ(dm->QMesas.state(), State::Edit) << "typing puts the row in edit mode";
    press(Qt::Key_Down);

    if (c.error.isEmpty()) {
        EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
        ASSERT_EQ(log->summary(), QStringList{"update MESAS"}) << "applied at once, committed later";
        const SentStatement& update = log->entries.front();
        EXPECT_EQ(update.param(c.column == CODMESA ? "CODMESA" : "DESCRICAO"), c.stored);
        EXPECT_EQ(update.param("OLD_CODMESA"), QVariant(key12));
        EXPECT_EQ(dm->QMesas.recNo(), row12 + 1);
    } else {
        EXPECT_EQ(errors.messages, QStringList{c.error});
        EXPECT_TRUE(log->entries.empty());
        EXPECT_EQ(dm->QMesas.state(), State::Edit) << "the user stays on the row to correct it";
        EXPECT_EQ(dm->QMesas.recNo(), row12);
    }
    EXPECT_EQ(view().currentIndex().row(), dm->QMesas.recNo());
}
INSTANTIATE_TEST_SUITE_P(
    Grid, CellTest,
    testing::Values(sent(DESCRICAO, "77", 77), sent(DESCRICAO, "ab7c7 x", 77), sent(DESCRICAO, "-5", -5),
                    sent(DESCRICAO, "+8", 8), sent(DESCRICAO, "\b", QVariant()), sent(CODMESA, "99", 99),
                    refused(DESCRICAO, "1-2", "'1-2' is not a valid integer value for field 'DESCRICAO'"),
                    refused(DESCRICAO, "+", "'+' is not a valid integer value for field 'DESCRICAO'"),
                    refused(DESCRICAO, "99999999999", "'99999999999' is not a valid integer value for field 'DESCRICAO'"),
                    refused(CODMESA, "\b", "Field 'CODMESA' must have a value.")),
    [](const auto& info) {
        return std::string(info.param.column == CODMESA ? "CODMESA" : "DESCRICAO") +
               (info.param.error.isEmpty() ? "Sent" : "Refused") + std::to_string(info.index);
    });

// A new row nobody touched is dropped when the user leaves it for another row; the rows
// below it move up. The table the user touched is the one the record set moves to and the
// one the grid highlights, so "Alterar" renumbers the table the user picked.
TEST_F(GridTest, LeavingAnUntouchedNewRowLandsOnTheTouchedRow)
{
    dm->QMesas.afterInsert = nullptr; // new rows start with nothing set
    clickCell(gridText(2, DESCRICAO).toInt(), DESCRICAO);
    press(Qt::Key_Insert); // the new row shows third, above the table that was
    ASSERT_EQ(dm->QMesas.state(), State::Insert);
    ASSERT_EQ(grid().rowCount(), 31);
    const QString picked = gridText(6, DESCRICAO); // below the new row
    clickCell(picked.toInt(), DESCRICAO);
    EXPECT_EQ(grid().rowCount(), 30) << "the untouched row is gone";
    EXPECT_EQ(dm->QMesas.fieldByName("DESCRICAO").asString(), picked);
    EXPECT_EQ(view().currentIndex().row(), dm->QMesas.recNo());
    EXPECT_EQ(gridText(view().currentIndex().row(), DESCRICAO), picked);
    EXPECT_TRUE(log->entries.empty()) << "nothing was sent";
}

TEST_F(GridTest, ARefusedTextStaysInTheCellForCorrection)
{
    clickCell(12, DESCRICAO);
    type("1-2");
    press(Qt::Key_Return);
    EXPECT_EQ(errors.messages, QStringList{"'1-2' is not a valid integer value for field 'DESCRICAO'"});
    ASSERT_TRUE(editor());
    EXPECT_EQ(editor()->text(), "1-2");
    EXPECT_EQ(dm->QMesas.fieldByName("DESCRICAO").asInteger(), 12);

    press(Qt::Key_A, Qt::ControlModifier);
    type("13");
    press(Qt::Key_Return);
    EXPECT_EQ(dm->QMesas.fieldByName("DESCRICAO").asInteger(), 13);
    EXPECT_TRUE(log->entries.empty()) << "the row is still being edited";
    press(Qt::Key_Up);
    EXPECT_EQ(log->summary(), QStringList{"update MESAS"});
    EXPECT_EQ(log->entries.front().param("DESCRICAO"), QVariant(13));
}

// The real error box takes the focus from the cell editor while it is up: whichever key
// leaves the cell, the refusal is shown once and the typed text waits in the cell.
class RealErrorBoxTest : public GridTest, public testing::WithParamInterface<Qt::Key> {};

TEST_P(RealErrorBoxTest, ARefusedTextIsShownOnceAndWaitsInTheCell)
{
    zk::setErrorReporter(MostraErro);
    auto shown = std::make_shared<QStringList>();
    whenModal(form.get(), [shown](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            *shown << box->text();
            answerBox(*box, QMessageBox::Ok);
        }
        return false; // answers every box that comes up
    });
    clickCell(12, DESCRICAO);
    type("1-2");
    press(GetParam());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown->isEmpty(); })) << "a message box";
    QCoreApplication::processEvents(); // a second box would be up by now

    EXPECT_EQ(*shown, QStringList{"'1-2' is not a valid integer value for field 'DESCRICAO'"});
    ASSERT_TRUE(editor());
    EXPECT_EQ(editor()->text(), "1-2");
    EXPECT_EQ(view().currentIndex(), grid().index(rowOf(12), DESCRICAO));
    EXPECT_TRUE(log->entries.empty());
}
INSTANTIATE_TEST_SUITE_P(Grid, RealErrorBoxTest, testing::Values(Qt::Key_Return, Qt::Key_Tab, Qt::Key_Down),
                         [](const auto& info) { return QKeySequence(info.param).toString().toStdString(); });

TEST_F(GridTest, EscUndoesTheTypingFirstThenTheRowsChanges)
{
    clickCell(12, DESCRICAO);
    type("99");
    press(Qt::Key_Escape);
    EXPECT_FALSE(editor());
    EXPECT_EQ(gridText(rowOf(12), DESCRICAO), "12");
    EXPECT_EQ(dm->QMesas.state(), State::Edit);
    press(Qt::Key_Escape);
    EXPECT_EQ(dm->QMesas.state(), State::Browse);

    type("99");
    press(Qt::Key_Backtab, Qt::ShiftModifier); // to the key's cell: the number is in the field now
    EXPECT_EQ(dm->QMesas.fieldByName("DESCRICAO").asInteger(), 99);
    press(Qt::Key_F2);
    press(Qt::Key_Escape); // nothing typed: straight to the row
    EXPECT_EQ(dm->QMesas.state(), State::Browse);
    EXPECT_EQ(dm->QMesas.fieldByName("DESCRICAO").asInteger(), 12);

    press(Qt::Key_Insert);
    EXPECT_EQ(grid().rowCount(), 31);
    press(Qt::Key_Escape);
    EXPECT_EQ(grid().rowCount(), 30) << "the new row is dropped";
    EXPECT_EQ(dm->QMesas.fieldByName("DESCRICAO").asInteger(), 12);

    press(Qt::Key_Down);
    EXPECT_TRUE(log->entries.empty());
    EXPECT_TRUE(errors.messages.isEmpty());
}

class NewRowTest : public GridTest, public testing::WithParamInterface<Qt::Key> {};

TEST_P(NewRowTest, StartsFilledAndIsSentWhenLeftEvenUntouched)
{
    const bool insertKey = GetParam() == Qt::Key_Insert;
    if (insertKey)
        clickCell(12, CODMESA);
    else
        dm->QMesas.last();
    const int row = insertKey ? rowOf(12) : 30;
    press(GetParam());

    EXPECT_EQ(dm->QMesas.state(), State::Insert);
    EXPECT_EQ(grid().rowCount(), 31);
    EXPECT_EQ(view().currentIndex().row(), row);
    EXPECT_EQ(gridText(row, CODMESA), "0");
    EXPECT_EQ(gridText(row, DESCRICAO), "");
    EXPECT_GT(markerInk(view(), row), 0);
    EXPECT_TRUE(log->entries.empty());

    press(Qt::Key_Up);
    ASSERT_EQ(log->summary(), (QStringList{"insert into MESAS", "select CODMESA from MESAS"}));
    const SentStatement& insert = log->entries.front();
    EXPECT_EQ(insert.param("CODMESA"), QVariant(0));
    EXPECT_TRUE(insert.param("DESCRICAO").isNull());
    EXPECT_EQ(insert.param("STATUS"), QVariant("L"));
    EXPECT_EQ(view().currentIndex().row(), row - 1);
}
INSTANTIATE_TEST_SUITE_P(Grid, NewRowTest, testing::Values(Qt::Key_Insert, Qt::Key_Down),
                         [](const auto& info) { return info.param == Qt::Key_Insert ? "Insert" : "DownPastTheEnd"; });

// A table added in the grid is that table at once: "Alterar" renumbers it without anything
// read again, and never takes it for a table removed elsewhere.
TEST_F(GridTest, ATableJustAddedInTheGridCanBeRenumberedAtOnce)
{
    MessageLog messages;
    clickCell(12, CODMESA);
    press(Qt::Key_Insert);
    press(Qt::Key_Right);
    type("45");
    press(Qt::Key_Up); // leaving the row sends it (committed with the next save)
    clickCell(45, DESCRICAO);
    const QString key = gridText(rowOf(45), CODMESA);
    EXPECT_NE(key, "0") << "the key the server gave";

    answerInput(form.get(), QStringLiteral("46"));
    QTest::mouseClick(form->BitBtn2, Qt::LeftButton);

    EXPECT_EQ(messages.messages, QStringList());
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    EXPECT_EQ(storedWith(45).size(), 0);
    const auto renumbered = storedWith(46);
    ASSERT_EQ(renumbered.size(), 1);
    EXPECT_EQ(renumbered.front().value(0).toString(), key) << "the same table, renumbered";
}

TEST_F(GridTest, ANewRowLeftForCadastrarIsSavedBeforeTheTypedTable)
{
    clickCell(12, CODMESA);
    press(Qt::Key_Insert);
    press(Qt::Key_Right);
    type("45");
    answerInput(form.get(), QStringLiteral("44"));
    QTest::mouseClick(form->BitBtn1, Qt::LeftButton);

    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    EXPECT_EQ(log->summary(), (QStringList{"insert into MESAS", "select CODMESA from MESAS", "insert into MESAS",
                                           "select CODMESA from MESAS", "COMMIT RETAINING TsCAd", "select * from MESAS",
                                           "SELECT * FROM SPMESAS"}));
    const auto inserts = log->starting("insert into MESAS");
    EXPECT_EQ(inserts[0].param("DESCRICAO"), QVariant(45)) << "typed in the grid, written when the grid lost the focus";
    EXPECT_EQ(inserts[1].param("DESCRICAO"), QVariant(44));
    EXPECT_EQ(storedWith(45).size(), 1);
    EXPECT_EQ(storedWith(44).size(), 1);
}

TEST_F(GridTest, CtrlDeleteAsksAndDeletesAtOnce)
{
    const int key12 = key(12);
    clickCell(12, DESCRICAO);
    auto asked = answerMessage(form.get(), QMessageBox::Cancel);
    press(Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(asked->size(), 4);
    EXPECT_EQ(asked->mid(0, 2), (QStringList{"Confirm", "Delete record?"}));
    EXPECT_TRUE(asked->contains("OK") && asked->contains("Cancel"));
    EXPECT_TRUE(log->entries.empty());
    EXPECT_EQ(rowOf(12), dm->QMesas.recNo());

    type("5"); // deleting from inside the cell being edited: the typing goes with the row
    ASSERT_TRUE(editor());
    answerMessage(form.get(), QMessageBox::Ok);
    press(Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(log->summary(), QStringList{"delete from MESAS"}) << "sent at once, committed later";
    EXPECT_EQ(log->entries.front().param("OLD_CODMESA"), QVariant(key12));
    EXPECT_EQ(grid().rowCount(), 29);
    EXPECT_EQ(rowOf(12), -1);
    EXPECT_EQ(view().currentIndex().row(), dm->QMesas.recNo());
}

} // namespace
