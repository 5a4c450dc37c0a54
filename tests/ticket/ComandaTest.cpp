// The order ticket on the sample bar, driven as a waiter would: products by tile and by
// code through the keypad, groups, deleting lines, freeing the table, billing.

#include "base/ProgramaIrmao.h"
#include "data/dataset/Formatos.h"
#include "data/UDm.h"
#include "support/FakeCaixa.h"
#include "support/Modal.h"
#include "support/SampleBar.h"
#include "support/StatementLog.h"
#include "support/Waiter.h"
#include "ticket/UComanda.h"
#include "ticket/UInformaQtd.h"
#include "ui/DbCtrlGrid.h"
#include "ui/DbLabel.h"
#include "ui/UMsgSimNaoTablet.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>

#include <optional>

namespace {

// The sample's occupied tables: number, key, movement, lines, total.
struct Occupied {
    int numero, codMesa, codMovimento, linhas;
    double total;
};
constexpr Occupied mesa3{3, 23, 101, 3, 62.30};
constexpr Occupied mesa8{8, 28, 102, 5, 126.00};

using waiter::keypad;
using waiter::touchBin;
void touch(zk::DbCtrlGrid& grid) { waiter::touchCurrent(grid); }

class ComandaTest : public testing::Test, protected SampleBar {
protected:
    void SetUp() override
    {
        install();
        Dm.emplace(TDm::Instalacao{}, &log);
        FInformaQtd.emplace(*Dm);
        FMsgSimNaoTablet.emplace();
        FComanda.emplace(*Dm, false, *FInformaQtd, *FMsgSimNaoTablet);
    }

    // Opens a table's ticket as the floor does, runs the waiter's actions on it, and
    // leaves with "Sair" unless the actions closed it.
    void openTicket(const Occupied& mesa, const std::function<void(TFComanda&)>& actions)
    {
        Dm->AbreMovimento(mesa.codMovimento);
        FComanda->CodMesa = mesa.codMesa;
        FComanda->CodMovimento = mesa.codMovimento;
        FComanda->LbMesa->setText(QString::number(mesa.numero));
        FComanda->LbCodMov->setText(QString::number(mesa.codMovimento));
        whenModalOpens([&](QWidget&) {
            actions(*FComanda);
            if (FComanda->isVisible() && !FComanda->faturando())
                FComanda->BtnSair->click();
        });
        FComanda->exec();
    }

    void selectProduct(int codigo) { ASSERT_TRUE(Dm->QPesqProdutos.locate("CODIGO", codigo)); }
    void typeCode(const QString& code)
    {
        FComanda->EdCodigo->setFocus();
        FComanda->EdCodigo->setText(code);
        QTest::keyClick(FComanda->EdCodigo, Qt::Key_Return);
    }
    QList<QVariantList> lines(int codMovimento)
    {
        return db->rows("select CODPRODUTO, CODTABELA, CODUNIDADE, QTD, VALOR, BAIXADO from ITENSMOVIMENTOPROD "
                        "where CODMOVIMENTO = ? order by CODITEMMOVIMENTO",
                        {codMovimento});
    }
    double price(int codigo) { return db->value("select PRECOVENDA from PRODUTOS where CODIGO = ?", {codigo}).toDouble(); }

    StatementLog log;
    std::optional<TDm> Dm;
    std::optional<TFInformaQtd> FInformaQtd;
    std::optional<TFMsgSimNaoTablet> FMsgSimNaoTablet;
    std::optional<TFComanda> FComanda;
};

TEST_F(ComandaTest, ShowingLoadsTheListsAndLeavesTheFocusOnSair)
{
    openTicket(mesa8, [&](TFComanda& t) {
        EXPECT_EQ(Dm->QPesqProdutos.recNo(), 0) << "first product";
        EXPECT_TRUE(Dm->QPesqProdutos.allFetched());
        EXPECT_EQ(Dm->Qgrupos.recNo(), 7) << "last group";
        EXPECT_EQ(Dm->QSpItens.recNo(), mesa8.linhas - 1) << "last line";
        EXPECT_EQ(QApplication::focusWidget(), t.BtnSair);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass is gone";
        EXPECT_EQ(t.LbMesa->text(), "8");
        EXPECT_EQ(t.LbCodMov->text(), "102");
        EXPECT_EQ(t.DBText9->text(), zk::currencyText(mesa8.total));
        EXPECT_EQ(t.LbCodMov->geometry().right() + 1, t.width() - 24);
    });
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

TEST_F(ComandaTest, TouchingAProductAddsItWithTheKeypadsQuantity)
{
    openTicket(mesa3, [&](TFComanda& t) {
        selectProduct(1007);
        log.clear();
        whenModalOpens(keypad("2"));
        touch(*t.GRidPesqProd);
        EXPECT_EQ(t.DBText9->text(), zk::currencyText(mesa3.total + 2 * price(1007)));
        EXPECT_EQ(Dm->QPesqProdutos.recNo(), 0) << "the catalogue is back at its first product";
        EXPECT_EQ(Dm->QSpItens.recNo(), 0) << "the item view was read again";
        Dm->QSpItens.last();
        EXPECT_EQ(Dm->QSpItens.recordCount(), mesa3.linhas + 1);
    });
    auto stored = lines(mesa3.codMovimento);
    ASSERT_EQ(stored.size(), mesa3.linhas + 1);
    EXPECT_EQ(stored.back(), (QVariantList{1007, 1007, 2, 2.0, price(1007), "N"}));
    EXPECT_EQ(log.summary().filter("COMMIT RETAINING").value(0), "COMMIT RETAINING TsMov");
}

TEST_F(ComandaTest, CancelledKeypadAddsNothingButUsedALineCode)
{
    openTicket(mesa3, [&](TFComanda& t) {
        log.clear();
        whenModalOpens([](QWidget& w) { click(w, "BitBtn2"); });
        touch(*t.GRidPesqProd);
        EXPECT_EQ(log.summary(), QStringList({"SELECT GEN_ID(\"GEN_ITENSMOVIMENTOPROD\", 1) FROM RDB$DATABASE"}));
        EXPECT_EQ(Dm->QItensMov.state(), zk::Query::State::Browse);
    });
    EXPECT_EQ(lines(mesa3.codMovimento).size(), mesa3.linhas);
}

// A keyboard's Enter, or a barcode scanner's carriage return, after a touch on any tile
// must not press a button the waiter is not on; on a focused button it presses that one.
TEST_F(ComandaTest, EnterAfterATouchNeverBillsAndOnSairCloses)
{
    FakeCaixa caixa("programa", 0);
    caixa.release(); // were it started, it would end at once
    DefinePastaDoPrograma(caixa.folder());
    bool closedBySair = false;
    openTicket(mesa8, [&](TFComanda& t) {
        // The touched grid holds the focus: the key goes to it.
        whenModalOpens([](QWidget& w) { click(w, "BitBtn2"); }); // the keypad, cancelled
        touch(*t.GRidPesqProd);
        QTest::keyClick(t.GRidPesqProd, Qt::Key_Return);
        touch(*t.DBCtrlGrid2);
        QTest::keyClick(t.DBCtrlGrid2, Qt::Key_Return);
        touch(*t.GridItens);
        QTest::keyClick(t.GridItens, Qt::Key_Return);
        QTest::keyClick(t.GridItens, Qt::Key_Enter, Qt::KeypadModifier);
        ASSERT_TRUE(t.isVisible()) << "the ticket stays open";

        t.BtnSair->setFocus();
        QTest::keyClick(t.BtnSair, Qt::Key_Return);
        closedBySair = !t.isVisible();
    });
    EXPECT_TRUE(closedBySair);
    EXPECT_EQ(caixa.runs(), 0) << "the billing program was not started";
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

// A quantity as the waiter enters it, on the pad or on a keyboard, and what is stored: a whole
// number of the 32-bit range, or nothing and the conversion's message. Zero and negative
// quantities are stored as they are: a bar may use them to note or correct a line.
struct QuantityCase {
    const char* name;
    std::function<void(QWidget&)> enter;
    std::optional<double> stored; // none: refused
    QString error;
    friend void PrintTo(const QuantityCase& c, std::ostream* os) { *os << c.name; }
};

std::function<void(QWidget&)> typed(const QString& text)
{
    return [text](QWidget& keypadWindow) {
        QTest::keyClicks(keypadWindow.focusWidget(), text); // over the preset "1", which is selected
        click(keypadWindow, "BtnConfirmar");
    };
}

class QuantityAtTheLimits : public ComandaTest, public testing::WithParamInterface<QuantityCase> {};

TEST_P(QuantityAtTheLimits, IsStoredExactlyOrRefusedWithNothingHalfMade)
{
    const QuantityCase& c = GetParam();
    openTicket(mesa3, [&](TFComanda& t) {
        selectProduct(1007);
        whenModalOpens(c.enter);
        touch(*t.GRidPesqProd);
        EXPECT_EQ(Dm->QItensMov.state(), zk::Query::State::Browse);
        selectProduct(1007);
        whenModalOpens(keypad("3"));
        touch(*t.GRidPesqProd); // the next line goes as usual
    });
    auto stored = lines(mesa3.codMovimento);
    ASSERT_EQ(stored.size(), mesa3.linhas + (c.stored ? 2 : 1));
    if (c.stored) {
        EXPECT_EQ(stored[mesa3.linhas].value(3), *c.stored);
    }
    EXPECT_EQ(stored.back().value(3), 3.0);
    EXPECT_EQ(errors.messages, c.error.isEmpty() ? QStringList() : QStringList{c.error});
}

INSTANTIATE_TEST_SUITE_P(
    Ticket, QuantityAtTheLimits,
    testing::Values(QuantityCase{"Zero", keypad("0"), 0.0, {}},
                    QuantityCase{"LargestOnThePad", keypad("2147483647"), 2147483647.0, {}},
                    QuantityCase{"OneMore", keypad("2147483648"), std::nullopt,
                                 "'2147483648' is not a valid integer value."},
                    QuantityCase{"TenNines", keypad("9999999999"), std::nullopt,
                                 "'9999999999' is not a valid integer value."},
                    QuantityCase{"NegativeTyped", typed("-5"), -5.0, {}},
                    QuantityCase{"DecimalTyped", typed("1,5"), std::nullopt, "'1,5' is not a valid integer value."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ComandaTest, QuantityThatIsNoNumberLeavesNothingHalfMade)
{
    openTicket(mesa3, [&](TFComanda& t) {
        log.clear();
        whenModalOpens([](QWidget& w) {
            click(w, "SpeedButton11"); // LIMPAR
            click(w, "BtnConfirmar");
        });
        touch(*t.GRidPesqProd);
        EXPECT_EQ(Dm->QItensMov.state(), zk::Query::State::Browse) << "the pending line is gone";
        EXPECT_TRUE(log.starting("insert").empty());
    });
    EXPECT_EQ(errors.messages, QStringList({"'' is not a valid integer value."}));
    EXPECT_EQ(lines(mesa3.codMovimento).size(), mesa3.linhas);
}

// A catalogue row without a unit is copied as it is: the line is refused before anything is
// sent, and it does not stay behind to block the next one.
TEST_F(ComandaTest, ProductWithoutAUnitIsRefusedAndTheNextLineGoes)
{
    db->exec("update PRODUTOS set CODUNIDADE = null where CODIGO = 1007");
    openTicket(mesa3, [&](TFComanda& t) {
        selectProduct(1007);
        log.clear();
        whenModalOpens(keypad("2"));
        touch(*t.GRidPesqProd);
        EXPECT_TRUE(log.starting("insert").empty());
        EXPECT_EQ(Dm->QItensMov.state(), zk::Query::State::Browse) << "the refused line is gone";

        selectProduct(1001);
        whenModalOpens(keypad("1"));
        touch(*t.GRidPesqProd);
    });
    EXPECT_EQ(errors.messages, QStringList({"Field 'CODUNIDADE' must have a value."}));
    auto stored = lines(mesa3.codMovimento);
    ASSERT_EQ(stored.size(), mesa3.linhas + 1);
    EXPECT_EQ(stored.back().value(0), 1001);
}

// The price is copied as a number: a product without one (a tasting on the house) is sold
// at 0, never stored with an empty price that a total would skip.
TEST_F(ComandaTest, ProductWithoutAPriceIsSoldAtZero)
{
    db->exec("update PRODUTOS set PRECOVENDA = null where CODIGO = 1007");
    openTicket(mesa3, [&](TFComanda& t) {
        selectProduct(1007);
        whenModalOpens(keypad("2"));
        touch(*t.GRidPesqProd);
    });
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    auto stored = lines(mesa3.codMovimento);
    ASSERT_EQ(stored.size(), mesa3.linhas + 1);
    EXPECT_EQ(stored.back().value(0), 1007);
    EXPECT_EQ(stored.back().value(4), 0.0) << "VALOR";
}

TEST_F(ComandaTest, TypedCodeMustMatchCharacterForCharacter)
{
    QStringList notFound;
    openTicket(mesa3, [&](TFComanda& t) {
        whenModalOpens(keypad("1"));
        typeCode("7");
        EXPECT_EQ(t.EdCodigo->selectedText(), "7") << "ready for the next code";
        for (const char* code : {"007", " 7", "7 ", "9999"}) {
            whenModalOpens([&](QWidget& w) {
                auto& box = static_cast<QMessageBox&>(w);
                notFound << box.text();
                EXPECT_EQ(box.windowTitle(), "Zenobra Kova");
                EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
                answerBox(w, QMessageBox::Ok);
            });
            typeCode(code);
            EXPECT_EQ(t.focusWidget(), t.EdCodigo);
        }
    });
    EXPECT_EQ(notFound, QStringList(4, "Produto não encontrado"));
    EXPECT_EQ(lines(mesa3.codMovimento).back().value(0), 1007);
    EXPECT_EQ(lines(mesa3.codMovimento).size(), mesa3.linhas + 1);
}

TEST_F(ComandaTest, GroupNarrowsTheCatalogueUntilGruposAndTheFilterCarriesOver)
{
    int messages = 0;
    openTicket(mesa3, [&](TFComanda& t) {
        ASSERT_TRUE(Dm->Qgrupos.locate("CODGRUPO", 2));
        touch(*t.DBCtrlGrid2);
        EXPECT_EQ(Dm->QPesqProdutos.sql().value(1), "WHERE CODGRUPO = 2");
        EXPECT_EQ(Dm->QPesqProdutos.recordCount(), 8);
        whenModalOpens([&](QWidget& w) {
            ++messages;
            answerBox(w, QMessageBox::Ok);
        });
        typeCode("7"); // a beer: not among the drinks
        QTest::mouseClick(t.Panel6, Qt::LeftButton);
        EXPECT_EQ(Dm->QPesqProdutos.sql().value(1), "");
        whenModalOpens(keypad("1"));
        typeCode("7");
        touch(*t.DBCtrlGrid2); // group 2 again, for the next ticket
    });
    EXPECT_EQ(messages, 1);
    EXPECT_EQ(lines(mesa3.codMovimento).back().value(0), 1007);
    openTicket(mesa8, [&](TFComanda&) {
        EXPECT_EQ(Dm->QPesqProdutos.sql().value(1), "WHERE CODGRUPO = 2");
        EXPECT_EQ(Dm->QPesqProdutos.recordCount(), 8);
    });
}

TEST_F(ComandaTest, DeletingALineAsksFirst)
{
    openTicket(mesa8, [&](TFComanda& t) {
        int last = Dm->QSpItens.fieldByName("CODITEMMOVIMENTO").asInteger();
        whenModalOpens([](QWidget& w) { click(w, "BitBtn2"); }); // Não
        touchBin(*t.GridItens);
        EXPECT_EQ(lines(mesa8.codMovimento).size(), mesa8.linhas);

        log.clear();
        whenModalOpens([](QWidget& w) {
            EXPECT_EQ(w.findChild<QTextEdit*>()->toPlainText(), "Excluir Produto?");
            click(w, "BtnConfirmar");
        });
        touchBin(*t.GridItens);
        ASSERT_EQ(log.starting("delete").size(), 1u);
        EXPECT_EQ(log.starting("delete")[0].param("OLD_CODITEMMOVIMENTO"), last);
        double remaining = db->value("select sum(QTD * VALOR) from ITENSMOVIMENTOPROD where CODMOVIMENTO = ?",
                                     {mesa8.codMovimento})
                               .toDouble();
        EXPECT_EQ(t.DBText9->text(), zk::currencyText(remaining));
    });
    EXPECT_EQ(lines(mesa8.codMovimento).size(), mesa8.linhas - 1);
}

TEST_F(ComandaTest, LiberarMesaFreesTheTableAndKeepsTheOrder)
{
    Dm->QPesqMesa.open();
    openTicket(mesa3, [&](TFComanda& t) {
        whenModalOpens([](QWidget& w) { answerBox(w, QMessageBox::No); });
        t.BtnLiberarMesa->click();
        EXPECT_TRUE(t.isVisible());
        whenModalOpens([](QWidget& w) {
            auto& box = static_cast<QMessageBox&>(w);
            EXPECT_EQ(box.text(), "Excluir Comanda");
            EXPECT_EQ(box.windowTitle(), "Atenção");
            EXPECT_EQ(box.icon(), QMessageBox::Question);
            // The platform's box speaks the system's language (pt_BR under the C locale).
            EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(u'&'), "Sim");
            EXPECT_EQ(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Não"));
            answerBox(w, QMessageBox::Yes);
        });
        t.BtnLiberarMesa->click();
        EXPECT_FALSE(t.isVisible());
    });
    EXPECT_EQ(db->rows("select STATUS, CODMOVIMENTO from MESAS where CODMESA = ?", {mesa3.codMesa}),
              (QList<QVariantList>{{"L", 0}}));
    EXPECT_EQ(db->value("select count(*) from MOVIMENTOSPRODUTOS where CODMOVIMENTO = ?", {mesa3.codMovimento}), 1LL);
    EXPECT_EQ(lines(mesa3.codMovimento).size(), mesa3.linhas);
    ASSERT_TRUE(Dm->QPesqMesa.locate("CODMESA", mesa3.codMesa));
    EXPECT_EQ(Dm->QPesqMesa.fieldByName("STATUS").asString(), "L") << "the floor was read again";
}

TEST_F(ComandaTest, LiberarMesaFreesATableWhoseOrderNoLongerExists)
{
    db->exec("delete from MOVIMENTOSPRODUTOS where CODMOVIMENTO = ?", {mesa3.codMovimento});
    openTicket(mesa3, [&](TFComanda& t) {
        EXPECT_TRUE(Dm->QMov.isEmpty());
        whenModalOpens([](QWidget& w) { answerBox(w, QMessageBox::Yes); });
        t.BtnLiberarMesa->click();
    });
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    EXPECT_EQ(db->value("select STATUS from MESAS where CODMESA = ?", {mesa3.codMesa}), "L");
}

TEST_F(ComandaTest, FaturarWaitsForTheBillingProgramThenCloses)
{
    FakeCaixa caixa("pasta do programa", 3);
    DefinePastaDoPrograma(caixa.folder());
    bool visibleAfterWait = true;
    openTicket(mesa8, [&](TFComanda& t) {
        caixa.whenStarted([&] {
            EXPECT_TRUE(t.isVisible()) << "the ticket stays while the program runs";
            EXPECT_FALSE(t.BtnFaturar->isEnabled());
            EXPECT_FALSE(t.BtnLiberarMesa->isEnabled());
            t.BtnFaturarClick(); // refused while billing
            t.BtnSairClick();    // waits for the end
            EXPECT_TRUE(t.isVisible());
            caixa.release();
        });
        log.clear();
        t.BtnFaturar->click();
        visibleAfterWait = t.isVisible();
    });
    EXPECT_FALSE(visibleAfterWait);
    EXPECT_EQ(caixa.arguments(), QStringList({"KOVA", "102"}));
    EXPECT_EQ(caixa.runs(), 1);
    EXPECT_EQ(log.summary().filter("SPMESAS").size(), 1) << "the floor is read again when the ticket closes";
}

TEST_F(ComandaTest, FaturarWithoutTheBillingProgramDoesNothing)
{
    openTicket(mesa8, [&](TFComanda& t) {
        t.BtnFaturar->click();
        EXPECT_TRUE(t.isVisible());
    });
    EXPECT_TRUE(errors.messages.isEmpty());
}

TEST_F(ComandaTest, TabletLayoutStretchesTheBandsAndKeepsTheRightHandControls)
{
    TFComanda tablet(*Dm, true, *FInformaQtd, *FMsgSimNaoTablet);
    EXPECT_TRUE(tablet.windowState() & Qt::WindowMaximized);
    tablet.setWindowState(Qt::WindowNoState); // a screen of 1280 x 800, whatever this one is
    tablet.resize(1280, 800);
    tablet.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tablet));
    EXPECT_EQ(tablet.BtnSair->geometry().right() + 1, 1280 - 17);
    EXPECT_EQ(tablet.BtnFaturar->geometry().right() + 1, 1280 - 124);
    EXPECT_EQ(tablet.BtnSair->mapTo(&tablet, QPoint(0, 0)).y(), 800 - 74 + 7);
    EXPECT_EQ(tablet.GRidPesqProd->geometry(), QRect(0, 66, 217, 800 - 66 - 74));
    EXPECT_EQ(tablet.DBCtrlGrid2->mapTo(&tablet, QPoint(0, 0)), QPoint(1280 - 220, 66 + 36));
    EXPECT_EQ(tablet.GridItens->width(), 1280 - 217 - 220);
    EXPECT_EQ(tablet.GridItens->panelSize().height(), (800 - 66 - 74 - 90) / 9) << "the tiles grow with the grid";
    EXPECT_EQ(tablet.LbMesa->geometry().right() + 1, 576) << "the table's number does not follow the right edge";
}

// Below the designed width (a small tablet) the texts of a line's tile must not run into each
// other: the unit price gives way first. At the designed width and above, every text shows.
class NarrowTicketTest : public ComandaTest, public testing::WithParamInterface<int> {};

TEST_P(NarrowTicketTest, LineTextsNeverOverlap)
{
    const int width = GetParam();
    TFComanda tablet(*Dm, true, *FInformaQtd, *FMsgSimNaoTablet);
    tablet.setWindowState(Qt::WindowNoState);
    tablet.resize(width, 600);
    tablet.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tablet));
    std::vector<QRect> shown;
    for (zk::TileText* text : {tablet.DBText6, tablet.DBText7, tablet.DBText8})
        if (text->visible)
            shown.push_back(tablet.GridItens->componentRect(*text, 0));
    for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_TRUE(tablet.GridItens->panelRect(0).contains(shown[i])) << "text " << i << " is whole";
        for (size_t j = i + 1; j < shown.size(); ++j)
            EXPECT_FALSE(shown[i].intersects(shown[j])) << "texts " << i << " and " << j;
    }
    EXPECT_TRUE(tablet.DBText6->visible) << "the quantity always shows";
    EXPECT_TRUE(tablet.DBText8->visible) << "the line total always shows";
    if (tablet.GridItens->panelSize().width() >= tablet.GridItens->panelDesignSize().width()) {
        EXPECT_TRUE(tablet.DBText7->visible) << "the designed layout shows the unit price too";
    }
}

INSTANTIATE_TEST_SUITE_P(ScreenWidths, NarrowTicketTest, testing::Values(800, 900, 1024, 1036, 1280));

TEST_F(ComandaTest, EscDoesNotCloseAndEveryClosingReadsTheFloorAgain)
{
    openTicket(mesa8, [&](TFComanda& t) {
        QTest::keyClick(&t, Qt::Key_Escape);
        EXPECT_TRUE(t.isVisible());
        log.clear();
        t.close();
        EXPECT_FALSE(t.isVisible());
    });
    EXPECT_EQ(log.summary(), QStringList({"SELECT * FROM SPMESAS"}));
    EXPECT_EQ(FComanda->result(), 2);
}

} // namespace
