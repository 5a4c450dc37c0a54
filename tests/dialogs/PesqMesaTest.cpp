// The table register's buttons: the number asked in the input box, its conversion, and
// what "Cadastrar" and "Alterar" send, commit and read again.

#include "support/RegisterFixture.h"
#include "ui/Aplicacao.h"

#include <QHeaderView>

namespace {

const QString conversion = QStringLiteral("'%1' is not a valid integer value.");

TEST_F(RegisterTest, LooksAsDesigned)
{
    EXPECT_EQ(form->windowTitle(), "Mesas");
    EXPECT_EQ(form->size(), QSize(314, 248));
    EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "fixed border";
    EXPECT_FALSE(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(form->Panel2->geometry(), QRect(0, 0, 314, 42));
    EXPECT_EQ(form->DBGrid1->geometry(), QRect(0, 42, 314, 165));
    EXPECT_EQ(form->Panel1->geometry(), QRect(0, 207, 314, 41));
    const QList<std::pair<QPushButton*, QString>> buttons = {
        {form->BitBtn1, "Cadastrar"}, {form->BitBtn2, "Alterar"}, {form->BitBtn3, "Sair"}};
    int left = 60;
    for (const auto& [button, text] : buttons) {
        EXPECT_EQ(button->text(), text);
        EXPECT_EQ(button->geometry(), QRect(left, 10, 75, 25)) << text.toStdString();
        left += 80;
    }
    const zk::DbGrid& grid = *form->DBGrid1;
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), "CODMESA");
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal).toString(), "DESCRICAO");
    EXPECT_EQ(grid.columnWidth(0), 77);
    EXPECT_EQ(grid.columnWidth(1), 117);
    EXPECT_TRUE(grid.showGrid());
    EXPECT_FALSE(grid.verticalHeader()->isHidden()) << "the row indicator column";
}

TEST_F(RegisterTest, SairAndTheCloseBoxGiveCancel)
{
    QTimer::singleShot(0, [this] { form->BitBtn3->click(); });
    EXPECT_EQ(form->exec(), 2);
    QTimer::singleShot(0, [this] { form->close(); });
    EXPECT_EQ(form->exec(), 2);
    EXPECT_TRUE(log->entries.empty());
}

TEST_F(RegisterTest, CadastrarAddsTheTableCommitsAndReadsTablesAndFloorAgain)
{
    dm->QMesas.moveTo(5);
    auto asked = cadastrar(QStringLiteral("41"));

    ASSERT_TRUE(asked->shown);
    EXPECT_EQ(asked->caption, "Digite a Descricao");
    EXPECT_EQ(asked->prompt, "Cadastrar Mesa");
    EXPECT_EQ(asked->text, "") << "the first question of a run offers nothing";
    EXPECT_EQ(asked->maxLength, 255);
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();

    EXPECT_EQ(log->summary(), (QStringList{"insert into MESAS", "select CODMESA from MESAS", "COMMIT RETAINING TsCAd",
                                           "select * from MESAS", "SELECT * FROM SPMESAS"}));
    const SentStatement insert = log->entries.front();
    EXPECT_EQ(insert.transaction, "TsCAd");
    EXPECT_EQ(insert.param("CODMESA"), QVariant(0));
    EXPECT_EQ(insert.param("DESCRICAO"), QVariant(41));
    EXPECT_EQ(insert.param("STATUS"), QVariant("L"));
    EXPECT_TRUE(insert.param("CODMOVIMENTO").isNull());

    const auto stored = storedWith(41);
    ASSERT_EQ(stored.size(), 1);
    EXPECT_NE(stored[0][0].toInt(), 0) << "the server gives the key";
    EXPECT_EQ(dm->QMesas.recNo(), 0) << "a fresh read starts at the first row";
    EXPECT_EQ(form->DBGrid1->currentIndex().row(), 0);
    EXPECT_TRUE(dm->QPesqMesa.locate("DESCRICAO", 41)) << "the floor shows the new table at once";
}

TEST_F(RegisterTest, TheOfferedTextIsTheLastNumberLoadedOrTyped)
{
    ASSERT_TRUE(dm->QMesas.locate("DESCRICAO", 12));
    auto alterado = alterar(std::nullopt);
    EXPECT_EQ(alterado->prompt, "Alterar Mesa");
    EXPECT_EQ(alterado->text, "12");
    EXPECT_EQ(alterado->selected, "12") << "the offered text is selected, so typing replaces it";
    EXPECT_TRUE(log->entries.empty()) << "a cancelled question changes nothing";

    EXPECT_EQ(cadastrar(QStringLiteral("15"))->text, "12");
    EXPECT_EQ(cadastrar(std::nullopt)->text, "15");
    EXPECT_EQ(storedWith(15).size(), 2) << "the sample bar already has a table 15";
    EXPECT_TRUE(errors.messages.isEmpty());
}

TEST_F(RegisterTest, LettersAreRefusedWithTheirTextAndOfferedAgain)
{
    const int before = dm->QMesas.recNo();
    cadastrar(QStringLiteral("abc"));
    EXPECT_EQ(errors.messages, QStringList{conversion.arg("abc")});
    EXPECT_TRUE(log->entries.empty());
    EXPECT_EQ(dm->QMesas.state(), zk::Query::State::Browse) << "no row is started";
    EXPECT_EQ(dm->QMesas.recNo(), before);

    EXPECT_EQ(cadastrar(std::nullopt)->text, "abc") << "the wrong entry comes back for correction";

    alterar(QStringLiteral("mesa 1"));
    EXPECT_EQ(errors.messages.last(), conversion.arg("mesa 1"));
    EXPECT_TRUE(log->entries.empty());
    EXPECT_FALSE(dm->QMesas.updatesPending());
}

TEST_F(RegisterTest, ADuplicateNumberAddsASecondTable)
{
    cadastrar(QStringLiteral("12"));
    EXPECT_EQ(storedWith(12).size(), 2);
}

TEST_F(RegisterTest, AlterarRenumbersTheCurrentTableWithoutReadingAgain)
{
    ASSERT_TRUE(dm->QMesas.locate("DESCRICAO", 12));
    const int key = dm->QMesas.fieldByName("CODMESA").asInteger();
    const QString status = dm->QMesas.fieldByName("STATUS").asString();
    const int movimento = dm->QMesas.fieldByName("CODMOVIMENTO").asInteger();
    const int row = dm->QMesas.recNo();
    alterar(QStringLiteral("50"));

    // The row is read once, held, before it is written over.
    EXPECT_EQ(log->summary(), (QStringList{"SELECT STATUS, CODMOVIMENTO, DESCRICAO FROM MESAS WHERE CODMESA = :CODMESA WITH LOCK",
                                           "update MESAS", "COMMIT RETAINING TsCAd"}));
    const SentStatement update = log->entries.at(1);
    EXPECT_EQ(update.param("CODMESA"), QVariant(key));
    EXPECT_EQ(update.param("OLD_CODMESA"), QVariant(key));
    EXPECT_EQ(update.param("DESCRICAO"), QVariant(50));
    EXPECT_EQ(update.param("STATUS"), QVariant(status)) << "every column is written back as read";
    EXPECT_EQ(update.param("CODMOVIMENTO"), QVariant(movimento));
    EXPECT_EQ(storedWith(50).size(), 1);

    EXPECT_EQ(gridText(row, 1), "50") << "the grid shows the new number";
    EXPECT_TRUE(dm->QPesqMesa.locate("DESCRICAO", 12)) << "the floor keeps the old number until it is read again";
    EXPECT_FALSE(dm->QPesqMesa.locate("DESCRICAO", 50));
}

TEST_F(RegisterTest, AlterarWithNoTableAddsOneWithoutReadingAgain)
{
    log.reset();
    db->exec("delete from MESAS");
    dm->QMesas.close();
    dm->QMesas.open();
    log = std::make_unique<StatementLog>(dm->Db);

    EXPECT_EQ(alterar(QStringLiteral("7"))->text, "");
    EXPECT_EQ(log->summary(), (QStringList{"insert into MESAS", "select CODMESA from MESAS", "COMMIT RETAINING TsCAd"}));
    EXPECT_EQ(log->entries.front().param("DESCRICAO"), QVariant(7));
    const auto stored = storedWith(7);
    ASSERT_EQ(stored.size(), 1);
    ASSERT_EQ(grid().rowCount(), 1);
    EXPECT_EQ(gridText(0, 0), stored.front().value(0).toString()) << "the key the server gave, with nothing read again";
    EXPECT_EQ(gridText(0, 1), "7");
}

// The server refuses numbers from 1000 on, as a back office's rule might.
class RefusedApplyTest : public RegisterTest, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        db->exec("alter table MESAS add constraint MESAS_NUMERO check (DESCRICAO < 1000)");
        RegisterTest::SetUp();
    }
};

TEST_P(RefusedApplyTest, DropsTheRefusedChangeAndSkipsCommitAndReads)
{
    const bool novo = GetParam();
    ASSERT_TRUE(dm->QMesas.locate("DESCRICAO", 12));
    novo ? cadastrar(QStringLiteral("5000")) : alterar(QStringLiteral("5000"));

    EXPECT_EQ(errors.messages, QStringList{"User abort."});
    const QStringList sent = novo ? QStringList{"insert into MESAS"}
                                  : QStringList{"SELECT STATUS, CODMOVIMENTO, DESCRICAO FROM MESAS WHERE CODMESA = :CODMESA WITH LOCK",
                                                "update MESAS"};
    EXPECT_EQ(log->summary(), sent) << "no commit, no read";
    EXPECT_EQ(storedWith(5000).size(), 0);
    EXPECT_FALSE(dm->QMesas.updatesPending()) << "the refused change went";
    EXPECT_NE(gridText(dm->QMesas.recNo(), 1), "5000") << "the grid does not show what was not saved";

    // The next save is not stopped by the one refused before it.
    log->clear();
    cadastrar(QStringLiteral("77"));
    EXPECT_EQ(errors.messages, QStringList{"User abort."}) << "no new error";
    EXPECT_EQ(log->summary().count("insert into MESAS"), 1) << "the new table alone";
    EXPECT_TRUE(log->summary().contains("COMMIT RETAINING TsCAd"));
    EXPECT_EQ(storedWith(77).size(), 1);
}
INSTANTIATE_TEST_SUITE_P(Register, RefusedApplyTest, testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Cadastrar" : "Alterar"; });

struct Entry {
    QString typed;
    std::optional<int> number; // nothing when refused
    friend std::ostream& operator<<(std::ostream& os, const Entry& e) { return os << '"' << e.typed.toStdString() << '"'; }
};
Entry accepted(const QString& typed, int number) { return {typed, number}; }
Entry refused(const QString& typed) { return {typed, std::nullopt}; }

class EntryTest : public RegisterTest, public testing::WithParamInterface<Entry> {};

TEST_P(EntryTest, ConvertsOrIsRefusedChangingNothing)
{
    const Entry& entry = GetParam();
    const int stored = storedCount();
    cadastrar(entry.typed);
    if (entry.number) {
        EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
        EXPECT_EQ(storedWith(*entry.number).size(), *entry.number == 12 ? 2 : 1);
    } else {
        EXPECT_EQ(errors.messages, QStringList{conversion.arg(entry.typed)});
        EXPECT_TRUE(log->entries.empty());
        EXPECT_EQ(storedCount(), stored);
        EXPECT_FALSE(dm->QMesas.updatesPending());
    }
}
INSTANTIATE_TEST_SUITE_P(
    Register, EntryTest,
    testing::Values(accepted(" 12", 12), accepted("+12", 12), accepted("$C", 12), accepted("0xC", 12),
                    accepted("-3", -3), accepted(QString(253, u'0') + "77", 77),
                    accepted("-2147483648", std::numeric_limits<int>::min()), refused("12 "), refused("1.5"),
                    refused(""), refused("2147483648"), refused(QString(255, u'9')), refused("\t12"),
                    refused("1\x07" "2"), refused(QStringLiteral("١٢")), refused(QStringLiteral("１２")),
                    refused(QStringLiteral("十二")), refused("12'; delete from MESAS; --")),
    [](const auto& info) { return (info.param.number ? "Accepted" : "Refused") + std::to_string(info.index); });

TEST_F(RegisterTest, TheInputBoxTakesAtMost255Characters)
{
    auto asked = std::make_shared<QString>();
    whenModalOpens([asked](QWidget& box) {
        auto* edit = box.findChild<QLineEdit*>();
        QTest::keyClicks(edit, QString(300, u'1'));
        *asked = edit->text();
        QTest::keyClick(edit, Qt::Key_Return);
    });
    form->BitBtn1->click();
    EXPECT_EQ(asked->size(), 255);
    EXPECT_EQ(errors.messages, QStringList{conversion.arg(*asked)}) << "too large for 32 bits";
}

// The real error box: what was typed shows as it was typed, never as markup.
TEST_F(RegisterTest, TypedMarkupShowsLiterallyInTheErrorBox)
{
    zk::setErrorReporter(MostraErro);
    auto shown = std::make_shared<std::pair<QString, Qt::TextFormat>>();
    whenModal(form.get(), [shown](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box)
            return false;
        *shown = {box->text(), box->textFormat()};
        answerBox(*box, QMessageBox::Ok);
        return true;
    });
    cadastrar(QStringLiteral("<b>12</b>"));
    EXPECT_EQ(shown->first, conversion.arg("<b>12</b>"));
    EXPECT_EQ(shown->second, Qt::PlainText);
}

} // namespace
