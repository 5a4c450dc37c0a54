// The self-closing message window through Mensagem: what the box shows, the keys that
// close it, and its timer.

#include "base/Ufuncoes.h"
#include "support/Ink.h"
#include "support/Modal.h"
#include "ui/Memo.h"
#include "ui/UMensagem.h"

#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

bool isRed(QColor c) { return c.red() > 160 && c.green() < 110 && c.blue() < 110; }

class MensagemTest : public testing::Test {
protected:
    // The message as on screen, then the action.
    std::vector<InkBand> show(const QString& text, std::function<void(QWidget&)> action)
    {
        std::vector<InkBand> lines;
        whenModalOpens([&, action = std::move(action)](QWidget& window) {
            lines = inkBands(*FMensagem.LbMsg, isRed);
            action(window);
        });
        Mensagem(text);
        EXPECT_FALSE(FMensagem.isVisible());
        return lines;
    }

    TFMensagem FMensagem;
};

void pressEsc(QWidget& window) { type(window, Qt::Key_Escape); }

struct Lines {
    const char* name;
    const char* text;
    size_t count;
};
void PrintTo(const Lines& l, std::ostream* os) { *os << l.name; }

class MessageLinesTest : public MensagemTest, public testing::WithParamInterface<Lines> {};

TEST_P(MessageLinesTest, StartOnTheSecondLineEachCentred)
{
    std::vector<InkBand> lines = show(QString::fromUtf8(GetParam().text), pressEsc);

    ASSERT_EQ(lines.size(), GetParam().count);
    // The first line of the box stays empty.
    EXPECT_GE(lines.front().top, QFontMetrics(FMensagem.LbMsg->font()).lineSpacing());
    for (const InkBand& line : lines)
        EXPECT_TRUE(centredIn(line, FMensagem.LbMsg->width())) << line.left << ".." << line.right;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MessageLinesTest,
    testing::Values(Lines{"OneLine", "Senha Obrigatória", 1}, Lines{"LineFeeds", "Mesa 12\nocupada", 2},
                    Lines{"EveryKindOfLineBreak", "Mesa\r\n12\rocupada", 3},
                    Lines{"LongLineWraps", "Não foi possível gravar o item do pedido", 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MensagemTest, EmptyTextShowsABlankBoxThatClosesByItself)
{
    FMensagem.Timer1->setInterval(100);
    std::vector<InkBand> lines = show(QString(), [](QWidget&) {});
    EXPECT_TRUE(lines.empty());
}

class OtherKeyTest : public MensagemTest, public testing::WithParamInterface<Qt::Key> {};

TEST_P(OtherKeyTest, OnlyEscClosesAtOnce)
{
    const Qt::Key key = GetParam();
    show(QStringLiteral("Senha Obrigatória"), [key](QWidget& window) {
        type(window, key);
        EXPECT_TRUE(window.isVisible());
        type(window, Qt::Key_Escape);
        EXPECT_FALSE(window.isVisible());
    });
}

INSTANTIATE_TEST_SUITE_P(Keys, OtherKeyTest,
                         testing::Values(Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_A, Qt::Key_Backspace,
                                         Qt::Key_Tab, Qt::Key_Delete));

TEST_F(MensagemTest, AMessageShownAgainAfterEscGetsItsFullTime)
{
    // A time no loaded machine runs out of, so the window never closes by itself here; the
    // first showing uses 3 s of it, which the second would lack had its timer gone on.
    const int full = 60000, used = 3000;
    FMensagem.Timer1->setInterval(full);
    show(QStringLiteral("primeira"), [&](QWidget& window) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return FMensagem.Timer1->remainingTime() < full - used; }, 2 * used));
        pressEsc(window);
    });
    EXPECT_FALSE(FMensagem.Timer1->isActive()) << "the first showing's time ends with it";

    show(QStringLiteral("segunda"), [&](QWidget& window) {
        EXPECT_GT(FMensagem.Timer1->remainingTime(), full - used);
        pressEsc(window);
    });
}

TEST(MensagemWithoutWindowTest, DoesNothingOnceTheWindowIsGone)
{
    { TFMensagem FMensagem; }
    Mensagem(QStringLiteral("Senha Obrigatória"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
