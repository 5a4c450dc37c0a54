// The test program of the real display: on the bare X server that scripts/test starts
// (ZENOBRA_TEST_DISPLAY), through Qt's xcb platform. Without it the program runs on the
// offscreen platform and every case skips itself (fails, under scripts/test).

#include "support/EndOnSignal.h"
#include "ui/Aplicacao.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    endOnSignal();
    const QByteArray display = qgetenv("ZENOBRA_TEST_DISPLAY");
    qputenv("QT_QPA_PLATFORM", display.isEmpty() ? "offscreen" : "xcb");
    if (!display.isEmpty())
        qputenv("DISPLAY", display);
    ZenobraApp app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
