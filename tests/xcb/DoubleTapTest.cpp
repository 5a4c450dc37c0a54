// A double tap on a real display, where the X server stamps each touch with its time and
// gives it to the window under the finger at that moment: one tap, one line.

#include "support/SampleProgram.h"
#include "support/Services.h"
#include "ui/DbCtrlGrid.h"
#include "X11.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QStyleHints>
#include <QTest>
#include <QTimer>

namespace {

// Runs `action` each time the window shows, inside its own event loop, once the X server has
// it on screen. A showing still on screen ten seconds later fails the test and is closed.
class WhenShown : public QObject {
public:
    WhenShown(QWidget& window, std::function<void()> action) : window_(window), action_(std::move(action))
    {
        window.installEventFilter(this);
    }
    int showings = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        const int showing = ++showings;
        QTimer::singleShot(0, this, [this] {
            if (QTest::qWaitForWindowExposed(&window_))
                action_();
            else
                ADD_FAILURE() << window_.objectName().toStdString() << " never came on screen";
        });
        QTimer::singleShot(10000, this, [this, showing] {
            if (showing == showings && window_.isVisible()) {
                ADD_FAILURE() << window_.objectName().toStdString() << " is still open";
                window_.hide();
            }
        });
        return false;
    }

private:
    QWidget& window_;
    std::function<void()> action_;
};

QPoint centreOnScreen(const QWidget& widget) { return widget.mapToGlobal(widget.rect().center()); }

class DoubleTap : public testing::Test, protected SampleProgram {
protected:
    void SetUp() override
    {
        ZK_REQUIRE_DISPLAY();
        // Long enough that a loaded machine cannot push a double tap's second touch past it.
        QGuiApplication::styleHints()->setMouseDoubleClickInterval(2000);
        start();
        showFloor();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&floor()));
        before = lines();
    }

    int lines() { return lineCount(101); }
    TFInformaQtd& keypad() { return program->FInformaQtd; }
    void touchKey(const char* name) { x11::touch(centreOnScreen(*keypad().findChild<QWidget*>(name))); }
    // Where the first product's tile lies on the screen.
    QPoint firstProduct()
    {
        zk::DbCtrlGrid& products = *ticket().GRidPesqProd;
        return products.mapToGlobal(products.panelRect(0).center());
    }
    bool lineSaved(int count) { return lines() == count && !keypad().isVisible(); }

    // Table 3 (occupied by order 101) is touched; `actions` run on its ticket, which is then left.
    void inTicket(const std::function<void()>& actions)
    {
        bool left = false;
        WhenShown ticketShown(ticket(), [&] {
            actions();
            ticket().BtnSair->click();
            left = true;
        });
        zk::DbCtrlGrid& tables = *floor().DBCtrlGrid1;
        dm().QPesqMesa.last();
        ASSERT_TRUE(dm().QPesqMesa.locate("DESCRICAO", 3));
        x11::touch(tables.mapToGlobal(tables.panelRect(dm().QPesqMesa.recNo() - tables.topRecord()).center()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return left; }, 30000));
    }

    void TearDown() override { QGuiApplication::styleHints()->setMouseDoubleClickInterval(platformInterval); }

    const int platformInterval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    int before = 0;
};

// Both taps reach the ticket before the keypad is up: the second one meets the open keypad
// and goes nowhere.
TEST_F(DoubleTap, OnAProductStartsOneLine)
{
    WhenShown keypadShown(keypad(), [&] {
        touchKey("SpeedButton2");
        touchKey("BtnConfirmar");
    });
    inTicket([&] {
        x11::touch(firstProduct());
        x11::touch(firstProduct());
        EXPECT_TRUE(QTest::qWaitFor([&] { return lineSaved(before + 1); }, 10000));
    });
    EXPECT_EQ(keypadShown.showings, 1);
    EXPECT_EQ(lines(), before + 1);
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

struct SecondTap {
    const char* name;
    QPoint offset; // from the first
    friend void PrintTo(const SecondTap& tap, std::ostream* os) { *os << tap.name; }
};

class DoubleTapOnConfirmar : public DoubleTap, public testing::WithParamInterface<SecondTap> {};

// The keypad closes on the first tap; the second lands on the ticket below (here on a
// product), on the same spot or, as a finger does, a little off it: it starts no line. A
// tap there after the double-click time starts one.
TEST_P(DoubleTapOnConfirmar, StartsNoSecondLine)
{
    const QPoint secondTapOffset = GetParam().offset;
    WhenShown keypadShown(keypad(), [&] {
        if (keypadShown.showings > 1) {
            touchKey("SpeedButton9");
            touchKey("BtnConfirmar");
            return;
        }
        // Confirmar over the product, as the keypad may lie over any part of the ticket.
        const QPoint confirmar = centreOnScreen(*keypad().findChild<QWidget*>("BtnConfirmar"));
        keypad().move(keypad().pos() + firstProduct() - confirmar);
        ASSERT_TRUE(QTest::qWaitFor([&] { return x11::geometry(keypad().winId()).topLeft() == keypad().pos(); }));
        x11::touch(firstProduct());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !x11::mapped(keypad().winId()); }));
        x11::touch(firstProduct() + secondTapOffset);
    });
    inTicket([&] {
        x11::touch(firstProduct());
        EXPECT_TRUE(QTest::qWaitFor([&] { return lineSaved(before + 1); }, 10000));
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100);
        EXPECT_EQ(lines(), before + 1) << "the second tap started a line";

        x11::touch(firstProduct());
        EXPECT_TRUE(QTest::qWaitFor([&] { return lineSaved(before + 2); }, 10000)) << "a tap of its own";
    });
    EXPECT_EQ(keypadShown.showings, 2);
    EXPECT_EQ(lines(), before + 2);
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Taps, DoubleTapOnConfirmar,
                         testing::Values(SecondTap{"SameSpot", {0, 0}}, SecondTap{"FingerOff", {12, 9}}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
