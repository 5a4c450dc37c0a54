// Enter in every window of the program: no window names a default button, so Enter presses
// the push button that holds the focus and nothing else. A keyboard's Enter, or a barcode
// scanner's carriage return, on a list, a tile grid or a text box presses no button.

#include "support/Modal.h"
#include "support/SampleProgram.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include <map>

namespace {

struct WindowCase {
    const char* name;
    std::function<QWidget&(Program&)> window;
    // Controls with an Enter rule of their own, tested with their window.
    QStringList ownRule;
};
void PrintTo(const WindowCase& c, std::ostream* os) { *os << c.name; }

class EnterKey : public testing::TestWithParam<WindowCase>, protected SampleProgram {
protected:
    void SetUp() override { start(); }
};

TEST_P(EnterKey, OnAnyControlButAButtonPressesNoButton)
{
    QWidget& window = GetParam().window(*program);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    std::map<QString, int> clicks;
    for (QPushButton* button : window.findChildren<QPushButton*>())
        QObject::connect(button, &QPushButton::clicked, [&clicks, button] { ++clicks[button->text()]; });
    // Should a button be pressed all the same, whatever window it opens is closed again.
    QObject watchdog;
    closeEveryModal(&watchdog, &window);

    QStringList tried;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (qobject_cast<QPushButton*>(control) || control->focusPolicy() == Qt::NoFocus ||
            !control->isVisibleTo(&window) || !control->isEnabled() || GetParam().ownRule.contains(control->objectName()))
            continue;
        control->setFocus();
        if (QApplication::focusWidget() != control)
            continue; // part of a control that hands the focus on
        tried << control->metaObject()->className();
        QTest::keyClick(control, Qt::Key_Return);
        QTest::keyClick(control, Qt::Key_Enter, Qt::KeypadModifier);
        ASSERT_TRUE(window.isVisible()) << "closed by Enter on " << control->metaObject()->className();
    }
    EXPECT_FALSE(tried.isEmpty());
    for (const auto& [button, count] : clicks)
        EXPECT_EQ(count, 0) << "\"" << button.toStdString() << "\" was pressed; tried " << tried.join(", ").toStdString();
    window.hide();
}

INSTANTIATE_TEST_SUITE_P(
    Windows, EnterKey,
    testing::Values(WindowCase{"Floor", [](Program& p) -> QWidget& { return p.FPRincipal; }, {}},
                    WindowCase{"Ticket", [](Program& p) -> QWidget& { return p.FComanda; }, {"EdCodigo"}},
                    WindowCase{"Keypad", [](Program& p) -> QWidget& { return p.FInformaQtd; }, {"EdQtd"}},
                    WindowCase{"YesNo", [](Program& p) -> QWidget& { return p.FMsgSimNaoTablet; }, {}},
                    WindowCase{"Register", [](Program& p) -> QWidget& { return p.FPesqMesa; }, {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
