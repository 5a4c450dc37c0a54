// The settings dialog driven as a user would: the tablet button stores its state at every
// press, the dialog's buttons only close it, and the floor opens it on the start-up mode.

#include "app/Program.h"
#include "base/Ufuncoes.h"
#include "support/ErrorLog.h"
#include "support/Modal.h"
#include "support/TempIni.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

const QByteArray tabletOff = "[DADOS]\r\nMODO=SERVIDOR\r\n[KOVA]\r\nMODO=0\r\n";

void press(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

struct CloseCase {
    const char* name;
    std::function<void(TFConf&)> close;
    int result;
    friend std::ostream& operator<<(std::ostream& os, const CloseCase& c) { return os << c.name; }
};
class ClosingConf : public testing::TestWithParam<CloseCase> {};
TEST_P(ClosingConf, WithoutAPressLeavesTheFileAsItWas)
{
    TempIni ini;
    ini.write(tabletOff);
    TFConf FConf;
    whenModalOpens([&](QWidget&) { GetParam().close(FConf); });
    EXPECT_EQ(FConf.exec(), GetParam().result);
    EXPECT_EQ(ini.bytes(), tabletOff);
}
INSTANTIATE_TEST_SUITE_P(
    Ways, ClosingConf,
    testing::Values(CloseCase{"Gravar", [](TFConf& f) { press(f.BitBtn1); }, 1},
                    CloseCase{"Cancelar", [](TFConf& f) { press(f.BitBtn2); }, 2},
                    CloseCase{"Esc", [](TFConf& f) { QTest::keyClick(&f, Qt::Key_Escape); }, 2},
                    CloseCase{"CloseBox", [](TFConf& f) { f.close(); }, 2}));

TEST(Conf, LooksAsDesigned)
{
    TFConf FConf;
    EXPECT_EQ(FConf.windowTitle(), QStringLiteral("Configurações"));
    EXPECT_EQ(FConf.size(), QSize(510, 349));
    EXPECT_EQ(FConf.minimumSize(), FConf.maximumSize()) << "fixed border";
    EXPECT_EQ(FConf.BtnModo->geometry(), QRect(20, 25, 111, 96));
    EXPECT_EQ(FConf.BitBtn1->geometry(), QRect(270, 285, 106, 56));
    EXPECT_EQ(FConf.BitBtn2->geometry(), QRect(380, 285, 106, 56));
    EXPECT_EQ(FConf.BtnModo->text(), "Modo Tablet");
    EXPECT_EQ(FConf.BitBtn1->text(), "Gravar");
    EXPECT_EQ(FConf.BitBtn2->text(), "Cancelar");
}

TEST(Conf, PressThenCancelKeepsTheNewStateInTheFile)
{
    TempIni ini;
    ini.write(tabletOff);
    TFConf FConf;
    whenModalOpens([&](QWidget&) {
        press(FConf.BtnModo);
        EXPECT_EQ(LerIni("KOVA", "MODO"), "-1") << "written at the press";
        EXPECT_NE(QApplication::focusWidget(), FConf.BtnModo) << "the toggle never takes the focus";
        press(FConf.BitBtn2);
    });
    EXPECT_EQ(FConf.exec(), 2);
    EXPECT_TRUE(FConf.BtnModo->isChecked());
    EXPECT_EQ(ini.bytes(), "[DADOS]\r\nMODO=SERVIDOR\r\n[KOVA]\r\nMODO=-1\r\n");
}

TEST(Conf, TwoPressesWriteTwiceAndEndOnTheStartState)
{
    TempIni ini;
    ini.write("[DADOS]\r\nMODO=SERVIDOR\r\n");
    TFConf FConf;
    FConf.BtnModo->setChecked(true);
    QStringList written;
    whenModalOpens([&](QWidget&) {
        press(FConf.BtnModo);
        written << LerIni("KOVA", "MODO");
        press(FConf.BtnModo);
        written << LerIni("KOVA", "MODO");
        press(FConf.BitBtn1);
    });
    FConf.exec();
    EXPECT_EQ(written, QStringList({"0", "-1"}));
    EXPECT_EQ(ini.bytes(), "[DADOS]\r\nMODO=SERVIDOR\r\n\r\n[KOVA]\r\nMODO=-1\r\n") << "the key is written though it was absent";
}

TEST(Conf, RefusedWriteIsReportedAndTheToggleKeepsItsNewState)
{
    TempIni ini;
    ini.write("not a folder");
    QString blocked = ini.path() + "/ZENOBRA.Ini";
    qputenv("ZENOBRA_INI", blocked.toLocal8Bit());
    ErrorLog errors;
    TFConf FConf;
    whenModalOpens([&](QWidget&) {
        press(FConf.BtnModo);
        press(FConf.BitBtn1);
    });
    FConf.exec();
    EXPECT_EQ(errors.messages, QStringList({"Unable to write to " + blocked + "."}));
    EXPECT_TRUE(FConf.BtnModo->isChecked());
}

// ---- opened from the floor -------------------------------------------------------------

class ConfFromTheFloor : public testing::TestWithParam<bool> {};
TEST_P(ConfFromTheFloor, ShowsTheStartUpModeEveryTimeUntilTheNextStart)
{
    const bool tablet = GetParam();
    TempIni ini;
    auto db = TestDatabase::copyOf("template");
    db->writeSettings();
    GravarIni("KOVA", "MODO", BoolToStr(tablet));
    Program program;
    TFPRincipal& floor = program.FPRincipal;
    const bool vendasShown = floor.ImVendas->isVisibleTo(&floor);

    for (int visit = 0; visit < 2; ++visit) {
        bool shownDown = !tablet;
        QString stored;
        whenModalOpens([&](QWidget& modal) {
            EXPECT_EQ(&modal, &program.FConf);
            shownDown = program.FConf.BtnModo->isChecked();
            press(program.FConf.BtnModo);
            stored = LerIni("KOVA", "MODO");
            press(program.FConf.BitBtn2);
        });
        press(floor.SpeedButton1);
        EXPECT_EQ(shownDown, tablet) << "visit " << visit;
        EXPECT_EQ(stored, BoolToStr(!tablet)) << "visit " << visit;
    }
    EXPECT_EQ(floor.ModoTablet, tablet);
    EXPECT_EQ(floor.ImVendas->isVisibleTo(&floor), vendasShown) << "the layout waits for the next start";
}
INSTANTIATE_TEST_SUITE_P(StartUpModes, ConfFromTheFloor, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Tablet" : "Desktop"; });

} // namespace
