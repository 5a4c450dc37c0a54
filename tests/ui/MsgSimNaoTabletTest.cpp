// The yes/no window answered by keyboard, by touch and by closing it, and how it shows
// its question.

#include "support/Ink.h"
#include "support/Modal.h"
#include "ui/Memo.h"
#include "ui/UMsgSimNaoTablet.h"

#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

class MsgSimNaoTabletTest : public testing::Test {
protected:
    int ask(const QString& question, std::function<void(QWidget&)> answer)
    {
        FMsgSimNaoTablet.MemoDesc->setPlainText(question);
        whenModalOpens(std::move(answer));
        return FMsgSimNaoTablet.exec();
    }

    TFMsgSimNaoTablet FMsgSimNaoTablet;
};

struct KeyAnswer {
    const char* name;
    std::vector<Qt::Key> keys;
    int result;
};
void PrintTo(const KeyAnswer& a, std::ostream* os) { *os << a.name; }

class KeyboardAnswerTest : public MsgSimNaoTabletTest, public testing::WithParamInterface<KeyAnswer> {};

TEST_P(KeyboardAnswerTest, KeysTypedRightAfterOpeningGiveTheAnswer)
{
    const KeyAnswer& c = GetParam();
    int result = ask(QStringLiteral("Mesa livre, Abrir Nova Comanda?"), [&](QWidget& window) {
        for (Qt::Key key : c.keys)
            type(window, key);
    });
    EXPECT_EQ(result, c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyboardAnswerTest,
    testing::Values(KeyAnswer{"Enter", {Qt::Key_Return}, 1}, KeyAnswer{"KeypadEnter", {Qt::Key_Enter}, 1},
                    KeyAnswer{"Space", {Qt::Key_Space}, 1}, KeyAnswer{"TabThenEnter", {Qt::Key_Tab, Qt::Key_Return}, 2},
                    KeyAnswer{"TabThenSpace", {Qt::Key_Tab, Qt::Key_Space}, 2},
                    KeyAnswer{"TabRoundToSim", {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return}, 1},
                    KeyAnswer{"EscMeansNothing", {Qt::Key_Escape, Qt::Key_Return}, 1},
                    // Enter on the question presses no button: only the next Tab and Enter answer.
                    KeyAnswer{"EnterOnTheQuestionAnswersNothing",
                              {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return, Qt::Key_Tab, Qt::Key_Return}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct Ending {
    const char* name;
    std::function<void(QWidget&)> end;
    int result;
};
void PrintTo(const Ending& e, std::ostream* os) { *os << e.name; }

class EndingTest : public MsgSimNaoTabletTest, public testing::WithParamInterface<Ending> {};

TEST_P(EndingTest, EveryEndingButSimIsNo)
{
    EXPECT_EQ(ask(QStringLiteral("Excluir Produto?"), GetParam().end), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, EndingTest,
    testing::Values(Ending{"TouchSim", [](QWidget& w) { click(w, "BtnConfirmar"); }, 1},
                    Ending{"TouchNao", [](QWidget& w) { click(w, "BitBtn2"); }, 2},
                    Ending{"ClosedFromOutside", [](QWidget& w) { w.close(); }, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MsgSimNaoTabletTest, TabGoesSimNaoQuestionAndEveryShowingStartsOnSim)
{
    QStringList visited;
    int first = ask(QStringLiteral("Excluir Produto?"), [&](QWidget& window) {
        visited << window.focusWidget()->objectName();
        for (int i = 0; i < 3; ++i) {
            type(window, Qt::Key_Tab);
            visited << window.focusWidget()->objectName();
        }
        type(window, Qt::Key_Tab);
        type(window, Qt::Key_Return);
    });
    EXPECT_EQ(first, 2);
    EXPECT_EQ(visited, QStringList({"BtnConfirmar", "BitBtn2", "MemoDesc", "BtnConfirmar"}));

    EXPECT_EQ(ask(QStringLiteral("Excluir Produto?"), [](QWidget& window) { type(window, Qt::Key_Return); }), 1);
}

bool isText(QColor c) { return c.lightness() < 96; }

TEST_F(MsgSimNaoTabletTest, QuestionIsCentredAndALongOneWrapsOntoASecondLine)
{
    std::vector<InkBand> shortQuestion, longQuestion;
    QColor background;
    QPoint windowCentre;
    ask(QStringLiteral("Excluir Produto?"), [&](QWidget& window) {
        shortQuestion = inkBands(*FMsgSimNaoTablet.MemoDesc, isText);
        background = shot(window).pixelColor(3, 3);
        windowCentre = window.geometry().center();
        click(window, "BitBtn2");
    });
    ask(QStringLiteral("Mesa livre, Abrir Nova Comanda para o cliente da varanda?"), [&](QWidget& window) {
        longQuestion = inkBands(*FMsgSimNaoTablet.MemoDesc, isText);
        click(window, "BitBtn2");
    });

    const int width = FMsgSimNaoTablet.MemoDesc->width();
    ASSERT_EQ(shortQuestion.size(), 1u);
    EXPECT_TRUE(centredIn(shortQuestion[0], width)) << shortQuestion[0].left << ".." << shortQuestion[0].right;
    ASSERT_EQ(longQuestion.size(), 2u);
    for (const InkBand& line : longQuestion)
        EXPECT_TRUE(centredIn(line, width)) << line.left << ".." << line.right;
    EXPECT_LT(longQuestion[1].bottom, FMsgSimNaoTablet.MemoDesc->height() - 1) << "the second line is cut off";

    EXPECT_EQ(background, QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(windowCentre, QGuiApplication::primaryScreen()->geometry().center());
}

} // namespace
