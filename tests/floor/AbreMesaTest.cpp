// Opening a table from the floor, with every window of the program as start-up makes
// them: free and occupied tables, the order of saving, and two terminals at one table.

#include "support/Modal.h"
#include "support/SampleProgram.h"
#include "ui/DbCtrlGrid.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

namespace {

using waiter::answerQuestion;

class AbreMesaTest : public testing::Test, protected SampleProgram {
protected:
    void SetUp() override
    {
        start();
        showFloor();
    }

    // A touch on free table `numero` answered "Sim": what the message window then says (left with Esc).
    QString toldAfterYes(int numero)
    {
        QString told;
        answerQuestion(true, [&](QWidget& w) {
            told = w.findChild<QTextEdit*>()->toPlainText().trimmed();
            QTest::keyClick(&w, Qt::Key_Escape);
        });
        touchTable(numero);
        return told;
    }
    int movements() { return db->value("select count(*) from MOVIMENTOSPRODUTOS").toInt(); }
    int generator() { return db->value("select gen_id(GEN_MOVIMENTOSPRODUTOS, 0) from rdb$database").toInt(); }
};

TEST_F(AbreMesaTest, FreeTableAnsweredNoChangesNothing)
{
    int before = movements(), key = generator();
    QString question;
    whenModalOpens([&](QWidget& w) {
        question = w.findChild<QTextEdit*>()->toPlainText();
        click(w, "BitBtn2");
    });
    touchTable(1);
    EXPECT_EQ(question, "Mesa livre, Abrir Nova Comanda?");
    EXPECT_FALSE(ticket().isVisible());
    EXPECT_EQ(movements(), before);
    EXPECT_EQ(generator(), key) << "no movement code was taken";
    EXPECT_EQ(table(1), (QVariantList{"L", 0}));
    EXPECT_TRUE(errors.messages.isEmpty());
}

TEST_F(AbreMesaTest, FreeTableAnsweredYesSavesTheOrderThenTheTableThenOpensTheTicket)
{
    bool floorShowedItOccupied = false;
    QString mesaLabel, movementLabel;
    int itemsShown = -1;
    answerQuestion(true, [&](QWidget&) {
        mesaLabel = ticket().LbMesa->text();
        movementLabel = ticket().LbCodMov->text();
        itemsShown = dm().QSpItens.recordCount();
        zk::Query& view = dm().QPesqMesa;
        floorShowedItOccupied = view.locate("DESCRICAO", 1) && view.fieldByName("STATUS").asString() == "O";
        ticket().BtnSair->click();
    });
    touchTable(1);
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    const int code = 105; // the sample's generator stands at 104
    EXPECT_EQ(mesaLabel, "1");
    EXPECT_EQ(movementLabel, QString::number(code));
    EXPECT_EQ(itemsShown, 0);
    EXPECT_TRUE(floorShowedItOccupied) << "the floor was read again before the ticket opened";
    EXPECT_EQ(db->rows("select TIPO, SITUACAO from MOVIMENTOSPRODUTOS where CODMOVIMENTO = ?", {code}),
              (QList<QVariantList>{{"VE", "A"}}));
    EXPECT_EQ(table(1), (QVariantList{"O", code}));
    QStringList flow = log->summary();
    flow.erase(std::remove_if(flow.begin(), flow.end(),
                              [](const QString& s) { return s.startsWith("select * from ITENS") || s.contains("(:CODMOV"); }),
               flow.end());
    EXPECT_EQ(flow.mid(0, 7), QStringList({"SELECT STATUS, CODMOVIMENTO, DESCRICAO FROM MESAS WHERE CODMESA = :CODMESA WITH LOCK",
                                           "SELECT GEN_ID(\"GEN_MOVIMENTOSPRODUTOS\", 1) FROM RDB$DATABASE",
                                           "insert into MOVIMENTOSPRODUTOS", "COMMIT RETAINING TsMov",
                                           "update MESAS", "COMMIT RETAINING TsCAd", "SELECT * FROM SPMESAS"}));
    EXPECT_EQ(dm().QPesqMesa.recNo(), dm().QPesqMesa.recordCount() - 1) << "the last table is current";
}

TEST_F(AbreMesaTest, OccupiedTableOpensWithoutQuestionAndSavesNothing)
{
    QString movementLabel;
    whenModalOpens([&](QWidget& w) {
        EXPECT_EQ(&w, &ticket());
        movementLabel = ticket().LbCodMov->text();
        EXPECT_EQ(dm().QSpItens.recordCount(), 5);
        ticket().BtnSair->click();
    });
    touchTable(8);
    EXPECT_EQ(movementLabel, "102");
    EXPECT_TRUE(log->starting("insert").empty());
    EXPECT_TRUE(log->starting("update").empty());
    EXPECT_EQ(dm().QPesqMesa.recNo(), 29) << "the last of the 30 tables is current";
}

TEST_F(AbreMesaTest, TableOpenedAtAnotherTerminalMeanwhileGetsNoSecondOrder)
{
    // The other terminal has just taken table 1 and committed it; this floor still shows it free.
    db->exec("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 1");
    int before = movements(), key = generator();
    EXPECT_EQ(toldAfterYes(1), "Esta mesa não está mais livre; nenhuma comanda foi aberta. A tela foi atualizada.");
    EXPECT_FALSE(ticket().isVisible());
    EXPECT_EQ(movements(), before);
    EXPECT_EQ(generator(), key);
    EXPECT_EQ(table(1), (QVariantList{"O", 100}));
    ASSERT_TRUE(dm().QPesqMesa.locate("DESCRICAO", 1));
    EXPECT_EQ(dm().QPesqMesa.fieldByName("STATUS").asString(), "O") << "the floor was read again";
}

TEST_F(AbreMesaTest, TwoTerminalsAtOneFreeTableAttachExactlyOneOrder)
{
    // The other terminal is in the middle of opening table 2: it holds the row.
    TDm other;
    const TDm::MesaNoServidor held = other.SeguraMesa(db->value("select CODMESA from MESAS where DESCRICAO = 2").toInt());
    ASSERT_EQ(held.estado, TDm::MesaNoServidor::Existe);
    ASSERT_EQ(held.status, "L");
    int before = movements();
    answerQuestion(true, [](QWidget& w) { QTest::keyClick(&w, Qt::Key_Escape); });
    touchTable(2);
    EXPECT_FALSE(ticket().isVisible());
    EXPECT_EQ(movements(), before) << "the losing terminal creates no order";

    // The other terminal finishes; afterwards this one finds the table taken.
    other.QMesas.locate("DESCRICAO", 2);
    other.QMov.append();
    other.QMov.post();
    other.TsMov.commitRetaining();
    other.QMesas.edit();
    other.QMesas.fieldByName("STATUS").setString("O");
    other.QMesas.fieldByName("CODMOVIMENTO").setInteger(other.QMov.fieldByName("CODMOVIMENTO").asInteger());
    other.QMesas.post();
    other.TsCAd.commitRetaining();
    const int code = other.QMov.fieldByName("CODMOVIMENTO").asInteger();
    EXPECT_EQ(movements(), before + 1);
    EXPECT_EQ(table(2), (QVariantList{"O", code}));

    // This terminal's floor follows, and its next touch opens the other's order and starts
    // none of its own.
    zk::Query& floorView = dm().QPesqMesa;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return floorView.locate("DESCRICAO", 2) && floorView.fieldByName("STATUS").asString() == "O";
    })) << "table 2 shown occupied";
    QString movementLabel;
    whenModalOpens([&](QWidget&) {
        movementLabel = ticket().LbCodMov->text();
        ticket().BtnSair->click();
    });
    touchTable(2);
    EXPECT_EQ(movementLabel, QString::number(code));
    EXPECT_EQ(movements(), before + 1);
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

TEST_F(AbreMesaTest, TableAddedAtAnotherTerminalIsFoundAfterReadingTheTablesAgain)
{
    db->exec("insert into MESAS (CODMESA, DESCRICAO, STATUS, CODMOVIMENTO) values (0, 31, 'L', 0)");
    dm().QPesqMesa.close();
    dm().QPesqMesa.open();
    dm().QPesqMesa.last();
    answerQuestion(true, [&](QWidget&) { ticket().BtnSair->click(); });
    touchTable(31);
    EXPECT_EQ(table(31), (QVariantList{"O", 105}));
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

TEST_F(AbreMesaTest, TableRemovedAtAnotherTerminalGetsNoOrder)
{
    db->exec("delete from MESAS where DESCRICAO = 30");
    int before = movements();
    EXPECT_EQ(toldAfterYes(30), "Esta mesa não está mais cadastrada; nada foi alterado. A tela foi atualizada.");
    EXPECT_EQ(movements(), before);
}

// Another terminal removes the table right after this one committed it occupied: the floor
// read again no longer lists it, and the ticket still carries the touched table's labels.
TEST_F(AbreMesaTest, TicketLabelsAreTheTouchedTablesEvenWhenTheFloorLostIt)
{
    log->onEntry = [&](const SentStatement& e) {
        if (e.commit && e.transaction == "TsCAd")
            db->exec("delete from MESAS where DESCRICAO = 1");
    };
    QString mesaLabel, movementLabel;
    answerQuestion(true, [&](QWidget&) {
        mesaLabel = ticket().LbMesa->text();
        movementLabel = ticket().LbCodMov->text();
        ticket().BtnSair->click();
    });
    touchTable(1);
    log->onEntry = nullptr;
    EXPECT_EQ(mesaLabel, "1");
    EXPECT_EQ(movementLabel, "105") << "the new order's code, not another table's";
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

// A table added at another terminal, then removed there, before this terminal touched it:
// not even the tables read again know it, and its stale tile goes.
TEST_F(AbreMesaTest, TableUnknownEvenAfterReadingTheTablesAgainLeavesTheFloor)
{
    db->exec("insert into MESAS (CODMESA, DESCRICAO, STATUS, CODMOVIMENTO) values (0, 31, 'L', 0)");
    dm().QPesqMesa.reopen();
    dm().QPesqMesa.last();
    db->exec("delete from MESAS where DESCRICAO = 31");
    int before = movements();
    EXPECT_EQ(toldAfterYes(31), "Esta mesa não está mais cadastrada; nada foi alterado. A tela foi atualizada.");
    EXPECT_EQ(movements(), before);
    EXPECT_FALSE(dm().QPesqMesa.locate("DESCRICAO", 31)) << "the floor was read again";
}

// The connection is cut while the new order is being sent: the waiter is told once, not
// once more for releasing the table on the same dead connection.
TEST_F(AbreMesaTest, FailureWhileOpeningIsReportedOnce)
{
    log->onEntry = [&](const SentStatement& e) {
        if (e.sql.startsWith("insert into MOVIMENTOSPRODUTOS"))
            db->exec("delete from MON$ATTACHMENTS where MON$ATTACHMENT_ID <> CURRENT_CONNECTION "
                     "and MON$SYSTEM_FLAG = 0");
    };
    answerQuestion(true);
    touchTable(1);
    log->onEntry = nullptr;
    EXPECT_EQ(errors.messages.size(), 1) << errors.messages.join('\n').toStdString();
    EXPECT_FALSE(ticket().isVisible());
    EXPECT_EQ(table(1), (QVariantList{"L", 0}));
}

} // namespace
