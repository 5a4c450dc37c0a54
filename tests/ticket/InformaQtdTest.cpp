// The quantity keypad over a pending order line, as the ticket opens it: what the pad
// keys and the keyboard make of the quantity, and how each way of leaving treats the line.

#include "data/UDm.h"
#include "support/Modal.h"
#include "support/SampleBar.h"
#include "support/StatementLog.h"
#include "ticket/UInformaQtd.h"
#include "ui/Memo.h"

#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <optional>

namespace {

class InformaQtdTest : public testing::Test, protected SampleBar {
protected:
    void SetUp() override
    {
        install();
        Dm.emplace();
        Dm->AbreMovimento(db->value("select min(CODMOVIMENTO) from MESAS where STATUS = 'O'").toInt());
        Dm->QItensMov.last();
        linesBefore = Dm->QItensMov.recordCount();
        Dm->QItensMov.append();
        FInformaQtd.emplace(*Dm);
        log.emplace(Dm->Db);
    }

    // As the ticket does: the product's description, the preset quantity, then the keypad.
    int show(std::function<void(QWidget&)> action)
    {
        FInformaQtd->MemoDesc->setPlainText(QStringLiteral("Chopp Brahma 300ml"));
        FInformaQtd->EdQtd->setText(QStringLiteral("1"));
        whenModalOpens(std::move(action));
        return FInformaQtd->exec();
    }

    std::optional<TDm> Dm;
    std::optional<TFInformaQtd> FInformaQtd;
    std::optional<StatementLog> log;
    int linesBefore = 0;
};

// A pad key by its caption, or a key typed on the keyboard ("key 7").
void press(QWidget& window, const QString& step)
{
    ASSERT_TRUE(window.isVisible()) << "pressing " << step.toStdString() << " on a closed keypad";
    if (step.startsWith(QStringLiteral("key "))) {
        QTest::keyClicks(window.focusWidget(), step.mid(4));
        return;
    }
    auto keys = window.findChildren<QPushButton*>();
    auto key = std::find_if(keys.begin(), keys.end(), [&](QPushButton* k) { return k->text() == step; });
    ASSERT_NE(key, keys.end()) << "no key " << step.toStdString();
    QTest::mouseClick(*key, Qt::LeftButton);
}

struct Sequence {
    const char* name;
    std::vector<const char*> steps;
    const char* quantity;
};
void PrintTo(const Sequence& s, std::ostream* os) { *os << s.name; }

class PadSequenceTest : public InformaQtdTest, public testing::WithParamInterface<Sequence> {};

TEST_P(PadSequenceTest, ConfirmGivesTheKeyedQuantity)
{
    int result = show([&](QWidget& window) {
        for (const char* step : GetParam().steps) {
            press(window, QString::fromUtf8(step));
            EXPECT_EQ(window.focusWidget(), FInformaQtd->EdQtd) << "after " << step;
        }
        click(window, "BtnConfirmar");
    });

    EXPECT_EQ(result, 1);
    EXPECT_EQ(FInformaQtd->EdQtd->text(), QString::fromUtf8(GetParam().quantity));
    // The line stays pending for the ticket to fill in and post.
    EXPECT_EQ(Dm->QItensMov.state(), zk::Query::State::Insert);
    EXPECT_TRUE(log->entries.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, PadSequenceTest,
    testing::Values(Sequence{"ConfirmAtOnce", {}, "1"}, Sequence{"OneKey", {"5"}, "5"},
                    Sequence{"TwoKeys", {"5", "0"}, "50"}, Sequence{"FirstKeyReplacesThePreset", {"1", "2"}, "12"},
                    Sequence{"ClearStartsANewNumber", {"5", "LIMPAR", "2"}, "2"},
                    Sequence{"ClearAlone", {"LIMPAR"}, ""},
                    Sequence{"TypingReplacesTheSelectedPreset", {"key 7"}, "7"},
                    Sequence{"PadKeyAfterTypingReplaces", {"key 7", "5"}, "5"},
                    Sequence{"TypingAfterAPadKeyAppends", {"5", "key 3"}, "53"},
                    Sequence{"NoLengthLimit", {"9", "9", "9", "9", "9", "9", "9", "9", "9", "9"}, "9999999999"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(InformaQtdTest, EnterInTheQuantityConfirmsAndInTheDescriptionBreaksTheLine)
{
    EXPECT_EQ(show([](QWidget& window) {
                  press(window, "4");
                  type(window, Qt::Key_Return);
              }),
              1);
    EXPECT_EQ(FInformaQtd->EdQtd->text(), "4");

    QString description;
    EXPECT_EQ(show([&](QWidget& window) {
                  click(window, "MemoDesc");
                  type(window, Qt::Key_Return);
                  EXPECT_TRUE(window.isVisible());
                  description = FInformaQtd->MemoDesc->toPlainText();
                  click(window, "BtnConfirmar");
              }),
              1);
    EXPECT_TRUE(description.contains(u'\n')) << description.toStdString();
    EXPECT_EQ(FInformaQtd->EdQtd->text(), "1");
}

TEST_F(InformaQtdTest, EveryShowingStartsANewNumber)
{
    show([](QWidget& window) {
        press(window, "5");
        press(window, "0");
        click(window, "BtnConfirmar");
    });
    show([](QWidget& window) {
        press(window, "3");
        click(window, "BtnConfirmar");
    });
    EXPECT_EQ(FInformaQtd->EdQtd->text(), "3");
}

struct Abandon {
    const char* name;
    std::function<void(QWidget&)> leave;
};
void PrintTo(const Abandon& a, std::ostream* os) { *os << a.name; }

class AbandonTest : public InformaQtdTest, public testing::WithParamInterface<Abandon> {};

TEST_P(AbandonTest, DiscardsThePendingLineAndSendsNothing)
{
    const Abandon& way = GetParam();
    EXPECT_EQ(show([&](QWidget& window) {
                  press(window, "3");
                  way.leave(window);
              }),
              2);

    EXPECT_EQ(Dm->QItensMov.state(), zk::Query::State::Browse);
    EXPECT_EQ(Dm->QItensMov.recordCount(), linesBefore);
    EXPECT_FALSE(Dm->QItensMov.updatesPending());
    EXPECT_EQ(log->summary(), QStringList());
    EXPECT_EQ(errors.messages, QStringList());
}

INSTANTIATE_TEST_SUITE_P(Ways, AbandonTest,
                         testing::Values(Abandon{"Cancelar", [](QWidget& w) { click(w, "BitBtn2"); }},
                                         Abandon{"CloseBox", [](QWidget& w) { w.close(); }}),
                         [](const auto& info) { return std::string(info.param.name); });

// Only the close box and "Cancelar" drop the line: a stray Esc (a keyboard left on the
// counter) changes nothing, and the quantity typed can still be confirmed.
TEST_F(InformaQtdTest, EscLeavesTheKeypadAndItsLine)
{
    bool stillOpen = false;
    EXPECT_EQ(show([&](QWidget& window) {
                  press(window, "3");
                  type(window, Qt::Key_Escape);
                  QTest::keyClick(FInformaQtd->EdQtd, Qt::Key_Escape);
                  stillOpen = window.isVisible();
                  click(window, "BtnConfirmar");
              }),
              1);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(FInformaQtd->EdQtd->text(), "3");
    EXPECT_EQ(Dm->QItensMov.state(), zk::Query::State::Insert) << "the line still waits for its quantity";
    EXPECT_EQ(errors.messages, QStringList());
}

} // namespace
