// Every test program runs inside the real application object, on Qt's offscreen platform.

#include "support/EndOnSignal.h"
#include "ui/Aplicacao.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    endOnSignal();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ZenobraApp app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
