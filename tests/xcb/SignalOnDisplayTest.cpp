// The real program on a display, touched as a waiter would: a line is added to a table's
// ticket, the keypad is left open on a second one, and then the program is asked to end
// (a system shutdown). It ends with code 0 at once; the first line is stored, the second,
// never confirmed, is not.

#include "support/RunningProgram.h"
#include "support/SampleBar.h"
#include "support/Services.h"
#include "X11.h"

#include <gtest/gtest.h>

#include <QTest>

#include <csignal>

namespace {

// Waits for a window of the program to show; its place on the screen, or an empty one.
QRect shown(const QString& title)
{
    xcb_window_t window = 0;
    if (!QTest::qWaitFor([&] { return (window = x11::shownWindow(title)) != 0; }, 10000))
        return QRect();
    return x11::geometry(window);
}

bool gone(const QString& title)
{
    return QTest::qWaitFor([&] { return x11::shownWindow(title) == 0; }, 10000);
}

class EndWithTheKeypadOpen : public testing::TestWithParam<TestDatabase::Access> {};

TEST_P(EndWithTheKeypadOpen, StoresWhatWasConfirmedAndNothingElse)
{
    ZK_REQUIRE_DISPLAY();
    if (GetParam() == TestDatabase::Access::Server)
        ZK_REQUIRE_SERVER();
    SampleBar bar(GetParam());
    bar.install();
    const QString lines = QStringLiteral("select QTD from ITENSMOVIMENTOPROD where CODMOVIMENTO = 101 "
                                         "order by CODITEMMOVIMENTO desc");
    const int before = bar.db->rows(lines).size();
    bar.db->disconnect(); // on the embedded engine the file is the program's alone while it runs

    RunningProgram zenobra;
    ASSERT_TRUE(zenobra.start(x11::programEnvironment()));

    // Table 3 (the third tile, occupied by order 101), its first product, 5 on the pad.
    const QRect floor = shown("Zenobra - Bar e Restaurante");
    ASSERT_FALSE(floor.isEmpty());
    x11::touch(floor.topLeft() + QPoint(2 * 165 + 60, 66 + 106 + 40));
    const QRect ticket = shown("FComanda");
    ASSERT_FALSE(ticket.isEmpty());
    const QPoint firstProduct = ticket.topLeft() + QPoint(60, 66 + 20);
    x11::touch(firstProduct);
    const QRect keypad = shown("Confirmar Item");
    ASSERT_FALSE(keypad.isEmpty());
    x11::touch(keypad.topLeft() + QPoint(168 + 44, 296 + 38)); // "5"
    x11::touch(keypad.topLeft() + QPoint(380 + 70, 207 + 83)); // "Confirmar"
    ASSERT_TRUE(gone("Confirmar Item"));
    // The next touch is served once the line is saved: the keypad opens on a second line.
    x11::touch(firstProduct);
    ASSERT_FALSE(shown("Confirmar Item").isEmpty());

    ::kill(static_cast<pid_t>(zenobra.pid()), SIGTERM);
    // A hang detector, generous for a loaded machine: how fast it ends is bench_signal's.
    ASSERT_TRUE(zenobra.waitForEnd(30000)) << "still running 30 s after SIGTERM";
    EXPECT_EQ(zenobra.exitCode(), 0);
    const QList<QVariantList> after = bar.db->rows(lines);
    EXPECT_EQ(after.size(), before + 1);
    EXPECT_EQ(after.value(0).value(0), 5.0) << "the confirmed line";
}

INSTANTIATE_TEST_SUITE_P(Access, EndWithTheKeypadOpen,
                         testing::Values(TestDatabase::Access::Embedded, TestDatabase::Access::Server),
                         [](const auto& info) {
                             return info.param == TestDatabase::Access::Embedded ? "Embedded" : "Server";
                         });

} // namespace
