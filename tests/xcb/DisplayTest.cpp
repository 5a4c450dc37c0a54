// The program on a real X display without a window manager, as on a kiosk: the titles the
// windows really get, and tablet mode filling the screen.

#include "app/Program.h"
#include "base/Ufuncoes.h"
#include "support/Modal.h"
#include "support/RunningProgram.h"
#include "support/SampleBar.h"
#include "support/Services.h"
#include "ui/Aplicacao.h"
#include "ui/DbCtrlGrid.h"
#include "X11.h"

#include <gtest/gtest.h>

#include <QScreen>
#include <QTest>

namespace {

class OnTheDisplay : public testing::Test, protected SampleBar {
protected:
    void SetUp() override
    {
        ZK_REQUIRE_DISPLAY();
        install();
    }

    // The title the X server holds for a window once it is shown.
    static QString shownTitle(QWidget& window)
    {
        window.show();
        QCoreApplication::processEvents();
        return x11::title(window.winId());
    }
};

TEST_F(OnTheDisplay, WindowsGetExactlyTheirCaptions)
{
    Program program;
    EXPECT_EQ(shownTitle(program.FPRincipal), "Zenobra - Bar e Restaurante");
    EXPECT_EQ(shownTitle(program.FComanda), "FComanda");
    EXPECT_EQ(shownTitle(program.FInformaQtd), "Confirmar Item");
    EXPECT_EQ(shownTitle(program.FPesqMesa), "Mesas");
    EXPECT_EQ(shownTitle(program.FConf), "Configurações");
    // The task bar groups the windows under the program's name.
    EXPECT_EQ(x11::property(program.FPRincipal.winId(), "WM_CLASS").split('\0').value(1), "Zenobra Kova");

    QString boxTitle;
    whenModalOpens([&](QWidget& box) {
        QCoreApplication::processEvents();
        boxTitle = x11::title(box.winId());
        box.close();
    });
    MostraErro(QStringLiteral("Falha"));
    EXPECT_EQ(boxTitle, "Zenobra Kova");
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

// The program that cannot load its database client says so under its own caption.
TEST_F(OnTheDisplay, ApplicationErrorBoxHasItsOwnCaption)
{
    RunningProgram zenobra;
    QProcessEnvironment environment = x11::programEnvironment();
    environment.insert("ZENOBRA_FBCLIENT", "/nonexistent/libfbclient.so");
    ASSERT_TRUE(zenobra.start(environment));
    QStringList titles;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        titles.clear();
        for (xcb_window_t window : x11::topLevels())
            titles << x11::title(window);
        return titles.contains("Application Error");
    }, 10000)) << titles.join(" | ").toStdString();
    EXPECT_FALSE(titles.join('|').contains(QStringLiteral(" — "))) << "nothing appended: " << titles.join(" | ").toStdString();
}

TEST_F(OnTheDisplay, TabletModeFillsTheScreenWithoutAWindowManager)
{
    GravarIni("KOVA", "MODO", "-1");
    Program program;
    const QRect available = program.FPRincipal.screen()->availableGeometry();
    ASSERT_EQ(available.size(), QSize(1280, 800)) << "the X server scripts/test starts";
    program.FPRincipal.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return x11::geometry(program.FPRincipal.winId()) == available; }, 5000))
        << "floor at " << x11::geometry(program.FPRincipal.winId()).width() << "x"
        << x11::geometry(program.FPRincipal.winId()).height();
    program.FComanda.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return x11::geometry(program.FComanda.winId()) == available; }, 5000))
        << "ticket at " << x11::geometry(program.FComanda.winId()).width() << "x"
        << x11::geometry(program.FComanda.winId()).height();
    // The tiles take their size from the grid: six across the whole width.
    EXPECT_GT(program.FPRincipal.DBCtrlGrid1->panelSize().width(), 165);
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

} // namespace
