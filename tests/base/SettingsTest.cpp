#include "base/Erros.h"
#include "base/Ufuncoes.h"
#include "base/Win1252.h"
#include "support/ErrorOf.h"
#include "support/TempIni.h"

#include <gtest/gtest.h>

#include <QFile>

#include <sys/stat.h>
#include <random>

namespace {

// Each case on a settings file of its own, missing until written.
class SettingsFile : public testing::Test {
protected:
    TempIni ini;
};

TEST_F(SettingsFile, MissingFileReadsEmptyAndIsNotCreated)
{
    EXPECT_EQ(LerIni("KOVA", "MODO"), QString());
    EXPECT_FALSE(ini.exists());
}

TEST_F(SettingsFile, WritingMissingFileCreatesJustThatSectionAndKey)
{
    GravarIni("KOVA", "MODO", "-1");
    EXPECT_EQ(ini.bytes(), QByteArray("[KOVA]\r\nMODO=-1\r\n"));
    EXPECT_EQ(LerIni("KOVA", "MODO"), "-1");
}

TEST_F(SettingsFile, SectionsAndKeysMatchWithoutLetterCase)
{
    ini.write("[dados]\r\nmodo=CLIENTE\r\n");
    EXPECT_EQ(LerIni("Dados", "MODO"), "CLIENTE");
    GravarIni("DADOS", "Modo", "SERVIDOR");
    EXPECT_EQ(ini.bytes(), QByteArray("[dados]\r\nModo=SERVIDOR\r\n"));
}

TEST_F(SettingsFile, WritingReplacesOrAddsInTheRightSection)
{
    ini.write("[DADOS]\nMODO=SERVIDOR\nIP=\n\n[KOVA]\nMODO=0\n");
    GravarIni("DADOS", "DIR", "\\zenobra");
    GravarIni("KOVA", "MODO", "-1");
    GravarIni("OUTRA", "X", "1");
    EXPECT_EQ(ini.bytes(), QByteArray("[DADOS]\r\nMODO=SERVIDOR\r\nIP=\r\nDIR=\\zenobra\r\n\r\n[KOVA]\r\nMODO=-1\r\n"
                                      "\r\n[OUTRA]\r\nX=1\r\n"));
    EXPECT_EQ(LerIni("DADOS", "MODO"), "SERVIDOR");
    EXPECT_EQ(LerIni("KOVA", "MODO"), "-1");
}

TEST_F(SettingsFile, EmptyValueKeepsTheKey)
{
    GravarIni("DADOS", "IP", "192.168.0.10:");
    GravarIni("DADOS", "IP", "");
    EXPECT_EQ(ini.bytes(), QByteArray("[DADOS]\r\nIP=\r\n"));
    EXPECT_EQ(LerIni("DADOS", "IP"), "");
}

TEST_F(SettingsFile, AbsentKeyOrSectionReadsEmpty)
{
    ini.write("[DADOS]\r\nMODO=SERVIDOR\r\n");
    EXPECT_EQ(LerIni("DADOS", "SENHA"), "");
    EXPECT_EQ(LerIni("KOVA", "MODO"), "");
}

TEST_F(SettingsFile, LongValuesReadBackAsTheFirst2047Characters)
{
    QString longValue;
    for (int i = 0; i < 3000; ++i)
        longValue += QChar(u'a' + i % 26);
    GravarIni("DADOS", "DIR", longValue);
    EXPECT_EQ(LerIni("DADOS", "DIR"), longValue.left(2047));
}

TEST_F(SettingsFile, BlanksAndQuotesAtTheEndsReadBackWhole)
{
    for (QString value : {QStringLiteral(" lead"), QStringLiteral("trail "), QStringLiteral("\"quoted\""),
                          QStringLiteral("'x'"), QStringLiteral("\"half"), QStringLiteral("á é ç")}) {
        GravarIni("DADOS", "SENHA", value);
        EXPECT_EQ(LerIni("DADOS", "SENHA"), value);
    }
}

TEST_F(SettingsFile, ValuesThatWouldBreakALineAreRefusedAndNothingIsWritten)
{
    GravarIni("DADOS", "SENHA", "antes");
    for (QString value : {QStringLiteral("a\nb"), QStringLiteral("a\rb"), QString(QChar(0)) + "x"}) {
        EXPECT_THROW(GravarIni("DADOS", "SENHA", value), zk::ConversionError);
        EXPECT_EQ(LerIni("DADOS", "SENHA"), "antes");
    }
    EXPECT_THROW(GravarIni("DADOS", "SENHA", QStringLiteral("日本")), zk::ConversionError);
}

TEST_F(SettingsFile, GarbageAndBinaryContentIsReadAsFarAsItMakesSense)
{
    static const char garbage[] = "\x01\x02[\xff\xfe]\r\n=novalue\r\n[KOVA\r\nMODO=1\r\n\0\0\n[DADOS]\nDIR= /x \n";
    ini.write(QByteArray(garbage, sizeof garbage - 1));
    EXPECT_EQ(LerIni("KOVA", "MODO"), "1");
    EXPECT_EQ(LerIni("DADOS", "DIR"), "/x");
    EXPECT_EQ(LerIni("\xff\xfe", "x"), "");
}

TEST_F(SettingsFile, UnwritableFileRaisesUnableToWrite)
{
    QString blocker = ini.path() + "/inside";
    qputenv("ZENOBRA_INI", blocker.toLocal8Bit());
    ini.write("not a folder");
    try {
        GravarIni("KOVA", "MODO", "-1");
        FAIL() << "no error";
    } catch (const zk::Error& e) {
        EXPECT_EQ(e.text(), "Unable to write to " + blocker);
    }
}

// It holds the server's password: no other local user may read it, whatever the umask and
// however the file was before (a file an older version left readable is closed too).
TEST_F(SettingsFile, IsTheOwnersAloneWhenCreatedAndWhenRewritten)
{
    const mode_t umaskBefore = ::umask(0);
    GravarIni("DADOS", "SENHA", "x");
    ::umask(umaskBefore);
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser;
    EXPECT_EQ(QFile::permissions(ini.path()), ownerOnly);

    ASSERT_TRUE(QFile::setPermissions(ini.path(), ownerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    GravarIni("KOVA", "MODO", "-1");
    EXPECT_EQ(QFile::permissions(ini.path()), ownerOnly);
    EXPECT_EQ(LerIni("DADOS", "SENHA"), "x");
}

TEST(Scrambling, EveryByteStringSurvivesARoundTrip)
{
    std::mt19937 random(7);
    for (int shift : {1, 13, 128, 240, 255}) {
        for (int n = 0; n < 200; ++n) {
            QByteArray bytes(n % 40, Qt::Uninitialized);
            for (char& b : bytes)
                b = static_cast<char>(random());
            QString text = zk::fromWin1252(bytes);
            QString scrambled = Codifica(text, shift);
            EXPECT_EQ(scrambled.size(), text.size());
            EXPECT_EQ(Decodifica(scrambled, shift), text);
        }
    }
    EXPECT_EQ(Codifica("", DeslocamentoSenha), "");
}

TEST(Scrambling, CodesWrapWithinTheByteRange)
{
    QString c255 = zk::fromWin1252(QByteArray("\xff", 1));
    QString wrapped = Codifica(c255, DeslocamentoSenha);
    EXPECT_EQ(*zk::toWin1252(wrapped), QByteArray(1, char(DeslocamentoSenha - 1)));
    EXPECT_EQ(Decodifica(wrapped, DeslocamentoSenha), c255);
}

TEST(Scrambling, NoTypableCharacterScramblesIntoALineBreaker)
{
    for (int code = 0x20; code < 0x100; ++code) {
        if (code == 0x7F)
            continue;
        QString c = zk::fromWin1252(QByteArray(1, char(code)));
        char scrambled = zk::toWin1252(Codifica(c, DeslocamentoSenha))->at(0);
        EXPECT_NE(scrambled, '\0') << code;
        EXPECT_NE(scrambled, '\n') << code;
        EXPECT_NE(scrambled, '\r') << code;
    }
}

TEST(Scrambling, EveryTypablePasswordReadsBackFromTheFile)
{
    TempIni ini;
    QByteArray all;
    for (int code = 0x20; code < 0x100; ++code)
        if (code != 0x7F)
            all += char(code);
    for (QString password : {zk::fromWin1252(all), QStringLiteral(" 0 "), QStringLiteral("\"")}) {
        GravarIni("DADOS", "SENHA", Codifica(password, DeslocamentoSenha));
        EXPECT_EQ(Decodifica(LerIni("DADOS", "SENHA"), DeslocamentoSenha), password);
    }
}

struct BoolCase {
    const char* text;
    bool value;
    friend std::ostream& operator<<(std::ostream& os, const BoolCase& c) { return os << '"' << c.text << '"'; }
};
class TruthValues : public testing::TestWithParam<BoolCase> {};
TEST_P(TruthValues, Convert) { EXPECT_EQ(StrToBool(GetParam().text), GetParam().value); }
INSTANTIATE_TEST_SUITE_P(Settings, TruthValues,
                         testing::Values(BoolCase{"-1", true}, BoolCase{"1", true}, BoolCase{"TRUE", true},
                                         BoolCase{"true", true}, BoolCase{"0", false}, BoolCase{"false", false},
                                         BoolCase{"False", false}, BoolCase{"2.5", true}));

TEST(TruthValues, OtherTextsAreRefused)
{
    EXPECT_EQ(errorOf([] { StrToBool("yes"); }), "'yes' is not a valid boolean value");
    EXPECT_EQ(errorOf([] { StrToBool(""); }), "'' is not a valid boolean value");
    EXPECT_EQ(BoolToStr(true), "-1");
    EXPECT_EQ(BoolToStr(false), "0");
}

struct IntCase {
    const char* text;
    bool accepted;
    int value;
    friend std::ostream& operator<<(std::ostream& os, const IntCase& c) { return os << '"' << c.text << '"'; }
};
class IntegerText : public testing::TestWithParam<IntCase> {};
TEST_P(IntegerText, Converts)
{
    const IntCase& c = GetParam();
    int value = -999;
    EXPECT_EQ(TryStrToInt(c.text, value), c.accepted);
    if (c.accepted) {
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(StrToInt(c.text), c.value);
    } else {
        EXPECT_EQ(errorOf([&] { StrToInt(c.text); }),
                  QStringLiteral("'%1' is not a valid integer value").arg(c.text));
    }
}
INSTANTIATE_TEST_SUITE_P(
    Conversions, IntegerText,
    testing::Values(IntCase{"12", true, 12}, IntCase{" 12", true, 12}, IntCase{"  +12", true, 12},
                    IntCase{"-7", true, -7}, IntCase{"007", true, 7}, IntCase{"$C", true, 12},
                    IntCase{"0xC", true, 12}, IntCase{"0Xc", true, 12}, IntCase{"xff", true, 255},
                    IntCase{"-$10", true, -16}, IntCase{"2147483647", true, 2147483647},
                    IntCase{"-2147483648", true, -2147483647 - 1}, IntCase{"0", true, 0},
                    IntCase{"12 ", false, 0}, IntCase{"1.5", false, 0}, IntCase{"", false, 0},
                    IntCase{" ", false, 0}, IntCase{"+", false, 0}, IntCase{"$", false, 0},
                    IntCase{"0x", false, 0}, IntCase{"2147483648", false, 0}, IntCase{"9999999999", false, 0},
                    IntCase{"abc", false, 0}, IntCase{"\t1", false, 0}, IntCase{"１", false, 0},
                    IntCase{"$G", false, 0}));

TEST(ErrorBox, FullStopFollowsTheLastCharacterRule)
{
    EXPECT_EQ(zk::withFullStop("User abort"), "User abort.");
    EXPECT_EQ(zk::withFullStop("'yes' is not a valid boolean value"), "'yes' is not a valid boolean value.");
    EXPECT_EQ(zk::withFullStop("fim."), "fim.");
    EXPECT_EQ(zk::withFullStop("(x)"), "(x)");
    EXPECT_EQ(zk::withFullStop("valor 7"), "valor 7.");
    EXPECT_EQ(zk::withFullStop(""), "");
}

} // namespace
