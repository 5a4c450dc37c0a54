// The installation dialog driven as a user would, and the first start of the program with it.

#include "app/Program.h"
#include "base/Ufuncoes.h"
#include "base/Win1252.h"
#include "dialogs/URegistra.h"
#include "support/ErrorLog.h"
#include "support/Ink.h"
#include "support/Modal.h"
#include "support/Services.h"
#include "support/TempIni.h"
#include "support/TestDatabase.h"
#include "ui/BtnMetal.h"
#include "ui/Memo.h"
#include "ui/UMensagem.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <functional>

namespace {

// Replaces the whole text of a box with what a user types, key by key.
void digita(QWidget* box, const QString& texto)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    for (char32_t codigo : texto.toUcs4())
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString::fromUcs4(&codigo, 1), Qt::NoModifier);
}

// Replaces the whole text of a box with what a user pastes.
void cola(QWidget* box, const QString& texto)
{
    QGuiApplication::clipboard()->setText(texto);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

void clica(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

// The settings file line by line, as stored.
QStringList linhas(const TempIni& ini)
{
    return zk::fromWin1252(ini.bytes()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

QString senhaGravada(const QString& senha) { return "SENHA=" + Codifica(senha, DeslocamentoSenha); }

// Tables of cases print by their name.
template <class Case>
    requires requires(const Case& c) { c.name; }
void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

// The dialog on screen, with the message window and the default error handler recorded.
class Registra : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegistraMensagem([this](const QString& texto) { mensagens << texto; });
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    void TearDown() override { RegistraMensagem({}); }

    // Nothing written, the dialog still open, the end not requested.
    void expectStillOpenAndNothingWritten()
    {
        EXPECT_FALSE(ini.exists());
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(fimSolicitado, 0);
    }

    TempIni ini;
    ErrorLog errors;
    QStringList mensagens;
    int fimSolicitado = 0;
    TFRegistra dialog{[this] { ++fimSolicitado; }};
};

// ---------------------------------------------------------------------------------------------
// What "Confirmar" writes.

struct WriteCase {
    const char* name;
    std::function<void(TFRegistra&)> user;
    QStringList lines;
};

class RegistraWrites : public Registra, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(RegistraWrites, TheKeysInOrder)
{
    GetParam().user(dialog);
    clica(dialog.BtnGravar);
    EXPECT_EQ(linhas(ini), GetParam().lines);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(fimSolicitado, 0);
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Registra, RegistraWrites,
    ::testing::Values(
        WriteCase{"Defaults",
                  [](TFRegistra&) {},
                  {"[DADOS]", "MODO=SERVIDOR", "IP=", "UNIDADE=C:\\", senhaGravada("lunarcedo"), "TIPOSERVIDOR=W",
                   "DIR=\\zenobra"}},
        WriteCase{"ClientWithAddress",
                  [](TFRegistra& d) {
                      d.EdModo->setCurrentIndex(0);
                      digita(d.EdIP, "192.168.0.10");
                  },
                  {"[DADOS]", "MODO=CLIENTE", "IP=192.168.0.10:", "UNIDADE=C:\\", senhaGravada("lunarcedo"),
                   "TIPOSERVIDOR=W", "DIR=\\zenobra"}},
        WriteCase{"ClientWithoutAddressEndsWithTheColonAlone",
                  [](TFRegistra& d) { digita(d.EdModo, "CLIENTE"); },
                  {"[DADOS]", "MODO=CLIENTE", "IP=:", "UNIDADE=C:\\", senhaGravada("lunarcedo"), "TIPOSERVIDOR=W",
                   "DIR=\\zenobra"}},
        WriteCase{"ServerWithAddressWritesNoAddress",
                  [](TFRegistra& d) { digita(d.EdIP, "192.168.0.10"); },
                  {"[DADOS]", "MODO=SERVIDOR", "UNIDADE=C:\\", senhaGravada("lunarcedo"), "TIPOSERVIDOR=W",
                   "DIR=\\zenobra"}},
        WriteCase{"LowerCaseClientIsNotClient",
                  [](TFRegistra& d) {
                      digita(d.EdModo, "cliente");
                      digita(d.EdIP, "10.0.0.1");
                  },
                  {"[DADOS]", "MODO=cliente", "UNIDADE=C:\\", senhaGravada("lunarcedo"), "TIPOSERVIDOR=W",
                   "DIR=\\zenobra"}},
        WriteCase{"LinuxKeepsTheGreyedDrive",
                  [](TFRegistra& d) {
                      digita(d.EdUnidade, "D");
                      digita(d.EdIP, "192.168.0.10");
                      clica(d.CbLinux);
                  },
                  {"[DADOS]", "MODO=CLIENTE", "IP=192.168.0.10:", "UNIDADE=D:\\", senhaGravada("lunarcedo"),
                   "TIPOSERVIDOR=L", "DIR=/"}},
        WriteCase{"LinuxThenWindowsStaysClient",
                  [](TFRegistra& d) {
                      clica(d.CbLinux);
                      clica(d.CbWindows);
                  },
                  {"[DADOS]", "MODO=CLIENTE", "IP=:", "UNIDADE=C:\\", senhaGravada("lunarcedo"), "TIPOSERVIDOR=W",
                   "DIR=\\zenobra"}},
        WriteCase{"TypedDriveOutsideTheList",
                  [](TFRegistra& d) {
                      digita(d.EdUnidade, "W");
                      digita(d.EdSenha, "outra");
                      digita(d.EdDir, "\\dados");
                  },
                  {"[DADOS]", "MODO=SERVIDOR", "IP=", "UNIDADE=W:\\", senhaGravada("outra"), "TIPOSERVIDOR=W",
                   "DIR=\\dados"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Registra, ThePasswordIsStoredScrambled)
{
    clica(dialog.BtnGravar);
    const QString stored = LerIni("Dados", "SENHA");
    EXPECT_NE(stored, "lunarcedo");
    EXPECT_EQ(Decodifica(stored, DeslocamentoSenha), "lunarcedo");
}

TEST_F(Registra, TextsReadBackExactlyAsTyped)
{
    // Blanks and quotes at the ends, accents, and a password whose scrambled form starts
    // and ends with a blank.
    const QString senha = QStringLiteral("0 ação€ \"0");
    const QString diretorio = QStringLiteral(" \\Bar do Zé\\'dados' ");
    digita(dialog.EdModo, QStringLiteral("\"SERVIDOR\""));
    digita(dialog.EdSenha, senha);
    digita(dialog.EdDir, diretorio);
    clica(dialog.BtnGravar);
    ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    EXPECT_EQ(LerIni("Dados", "MODO"), "\"SERVIDOR\"");
    EXPECT_EQ(Decodifica(LerIni("Dados", "SENHA"), DeslocamentoSenha), senha);
    EXPECT_EQ(LerIni("Dados", "DIR"), diretorio);
}

TEST_F(Registra, TheLongestTextEachBoxTakesReadsBackWhole)
{
    const QString longo(3000, u'x');
    digita(dialog.EdModo, "CLIENTE");
    for (QWidget* box : std::initializer_list<QWidget*>{dialog.EdUnidade, dialog.EdIP, dialog.EdSenha, dialog.EdDir})
        cola(box, longo);
    clica(dialog.BtnGravar);
    ASSERT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    // What is appended to a box's text counts towards the 2047 characters that are read back.
    const std::pair<QString, QString> readAndTyped[] = {
        {LerIni("Dados", "IP"), dialog.EdIP->text() + ":"},
        {LerIni("Dados", "UNIDADE"), dialog.EdUnidade->currentText() + ":\\"},
        {Decodifica(LerIni("Dados", "SENHA"), DeslocamentoSenha), dialog.EdSenha->text()},
        {LerIni("Dados", "DIR"), dialog.EdDir->text()}};
    for (const auto& [read, typed] : readAndTyped) {
        EXPECT_EQ(read, typed);
        EXPECT_EQ(read.size(), 2047);
    }
}

// ---------------------------------------------------------------------------------------------
// What keeps the dialog open.

TEST_F(Registra, EmptyPasswordShowsTheMessageAndWritesNothing)
{
    digita(dialog.EdSenha, QString());
    QTest::keyClick(dialog.EdSenha, Qt::Key_Return);
    EXPECT_EQ(mensagens, QStringList({"Senha Obrigatória"}));
    EXPECT_TRUE(errors.messages.isEmpty());
    expectStillOpenAndNothingWritten();
    EXPECT_EQ(dialog.EdModo->currentText(), "SERVIDOR") << "the content is unchanged";
}

struct RefusedCase {
    const char* name;
    const char* box;
    bool pasted;
    QString text;
    QString message;
};

class RegistraRefuses : public Registra, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RegistraRefuses, BeforeAnythingIsWritten)
{
    const RefusedCase& c = GetParam();
    auto* box = dialog.findChild<QWidget*>(c.box);
    ASSERT_NE(box, nullptr);
    (c.pasted ? cola : digita)(box, c.text);
    clica(dialog.BtnGravar);
    EXPECT_EQ(errors.messages, QStringList({c.message}));
    expectStillOpenAndNothingWritten();
}

INSTANTIATE_TEST_SUITE_P(
    Registra, RegistraRefuses,
    ::testing::Values(
        RefusedCase{"LetterOutsideTheCodePage", "EdDir", false, QStringLiteral("\\zenobra\\łódź"),
                    QStringLiteral("O campo Diretório não pode conter o caractere 'ł'.")},
        RefusedCase{"CharacterBeyondSixteenBits", "EdIP", false, QStringLiteral("🍺"),
                    QStringLiteral("O campo IP do Servidor não pode conter o caractere '🍺'.")},
        RefusedCase{"PastedTabInThePassword", "EdSenha", true, QStringLiteral("senha\tforte"),
                    QStringLiteral("O campo Senha do Banco de Dados não pode conter caracteres de controle (código 9).")},
        RefusedCase{"PastedControlCodeInTheMode", "EdModo", true, QStringLiteral("CLIENTE\x1a"),
                    QStringLiteral("O campo Modo não pode conter caracteres de controle (código 26).")},
        RefusedCase{"GreekLetterInTheDrive", "EdUnidade", false, QStringLiteral("Ω"),
                    QStringLiteral("O campo Unidade não pode conter o caractere 'Ω'.")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Registra, UnwritableSettingsFileIsReportedOnceAndTheDialogStaysOpen)
{
    const QString blocker = ini.path() + "/ZENOBRA.Ini";
    ini.write("a file where a folder should be");
    qputenv("ZENOBRA_INI", blocker.toLocal8Bit());
    clica(dialog.BtnGravar);
    EXPECT_EQ(errors.messages, QStringList({"Unable to write to " + blocker + "."}));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(fimSolicitado, 0);
}

// ---------------------------------------------------------------------------------------------
// Keys, choices and closing.

enum class Outcome { Nothing, Confirms, Cancels };

struct EnterCase {
    const char* name;
    Outcome outcome;
};

class RegistraEnter : public Registra, public ::testing::WithParamInterface<EnterCase> {};

TEST_P(RegistraEnter, InEachControl)
{
    auto* control = dialog.findChild<QWidget*>(GetParam().name);
    ASSERT_NE(control, nullptr);
    control->setFocus();
    QTest::keyClick(control, Qt::Key_Return);
    switch (GetParam().outcome) {
    case Outcome::Nothing:
        expectStillOpenAndNothingWritten();
        break;
    case Outcome::Confirms:
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), 1);
        EXPECT_EQ(LerIni("Dados", "TIPOSERVIDOR"), "W");
        break;
    case Outcome::Cancels:
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), 2);
        EXPECT_EQ(fimSolicitado, 1);
        EXPECT_FALSE(ini.exists());
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Registra, RegistraEnter,
                         ::testing::Values(EnterCase{"EdModo", Outcome::Nothing}, EnterCase{"EdUnidade", Outcome::Nothing},
                                           EnterCase{"EdIP", Outcome::Nothing}, EnterCase{"CbWindows", Outcome::Nothing},
                                           EnterCase{"CbLinux", Outcome::Nothing}, EnterCase{"EdSenha", Outcome::Confirms},
                                           EnterCase{"EdDir", Outcome::Confirms},
                                           EnterCase{"BtnGravar", Outcome::Confirms},
                                           EnterCase{"BtnCancelar", Outcome::Cancels}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Registra, FocusStartsOnTheModeAndTabFollowsTheFormOrder)
{
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    // Tab stops at the checked choice only; the arrow keys move between the choices.
    EXPECT_EQ(order, QStringList({"EdModo", "EdUnidade", "EdIP", "EdSenha", "BtnGravar", "BtnCancelar", "CbWindows",
                                  "EdDir", "EdModo", "EdUnidade"}));
    clica(dialog.CbLinux);
    QTest::keyClick(dialog.CbLinux, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog.EdDir);
}

TEST_F(Registra, LinuxGreysModeAndDriveAndWindowsBringsThemBack)
{
    dialog.EdModo->setCurrentIndex(0);
    digita(dialog.EdModo, "servidor"); // typed over the "CLIENTE" item
    clica(dialog.CbLinux);
    EXPECT_EQ(dialog.EdModo->currentText(), "CLIENTE");
    EXPECT_FALSE(dialog.EdModo->isEnabled());
    EXPECT_FALSE(dialog.EdUnidade->isEnabled());
    EXPECT_EQ(dialog.EdDir->text(), "/");
    EXPECT_FALSE(dialog.CbWindows->isChecked());

    clica(dialog.CbWindows);
    EXPECT_TRUE(dialog.EdModo->isEnabled());
    EXPECT_TRUE(dialog.EdUnidade->isEnabled());
    EXPECT_EQ(dialog.EdModo->currentText(), "CLIENTE");
    EXPECT_EQ(dialog.EdDir->text(), "\\zenobra");
    EXPECT_FALSE(dialog.CbLinux->isChecked());
}

TEST_F(Registra, TheListsOfferModesAndEveryDriveButW)
{
    const auto items = [](const QComboBox* box) {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    };
    EXPECT_EQ(items(dialog.EdModo), QStringList({"CLIENTE", "SERVIDOR"}));
    EXPECT_EQ(items(dialog.EdUnidade), QString("ABCDEFGHIJKLMNOPQRSTUVXYZ").split("", Qt::SkipEmptyParts));
    EXPECT_EQ(dialog.EdUnidade->currentText(), "C");
    EXPECT_TRUE(dialog.EdModo->isEditable());
    EXPECT_TRUE(dialog.EdUnidade->isEditable());
}

TEST_F(Registra, OnlyTheButtonsAndASystemCloseRequestCloseIt)
{
    QTest::keyClick(dialog.EdIP, Qt::Key_Escape);
    expectStillOpenAndNothingWritten();

    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 2);
    EXPECT_EQ(fimSolicitado, 0) << "the program goes on";
    EXPECT_FALSE(ini.exists());
}

TEST_F(Registra, CancelAsksForTheEndAndWritesNothing)
{
    digita(dialog.EdSenha, "outra");
    clica(dialog.BtnCancelar);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 2);
    EXPECT_EQ(fimSolicitado, 1);
    EXPECT_FALSE(ini.exists());
}

// ---------------------------------------------------------------------------------------------
// The look. With ZK_SCREENSHOT set to a file name, the dialog is also saved there.

TEST_F(Registra, LooksAsDesigned)
{
    EXPECT_EQ(dialog.windowTitle(), "Instalação do Sistema");
    EXPECT_EQ(dialog.size(), QSize(339, 214));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "not resizable";
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    // A dialog without a parent window is centred on the screen, frame included.
    const QPoint offCentre = dialog.frameGeometry().center() - dialog.screen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 2);

    const QImage image = shot(dialog);
    if (const QString file = qEnvironmentVariable("ZK_SCREENSHOT"); !file.isEmpty())
        image.save(file);

    // The black frame, white inside.
    for (const QPoint edge : {QPoint(0, 0), QPoint(338, 0), QPoint(0, 213), QPoint(338, 213), QPoint(169, 213)})
        EXPECT_EQ(colourName(image.pixel(edge)), "#000000") << edge.x() << "," << edge.y();
    EXPECT_EQ(colourName(image.pixel(1, 1)), "#ffffff");
    EXPECT_EQ(colourName(image.pixel(300, 125)), "#ffffff");

    // Each label on its blue backdrop, outlined in the shadow colour, the text dark on it.
    const std::string shadow = colourName(dialog.palette().color(QPalette::Dark).rgb());
    for (const char* name : {"Label7", "Label5", "Label6", "Label8", "Label1", "Label2"}) {
        SCOPED_TRACE(name);
        const QRect label = dialog.findChild<QLabel*>(name)->geometry();
        EXPECT_EQ(colourName(image.pixel(label.left() - 2, label.center().y())), "#a4d2ec");
        EXPECT_EQ(colourName(image.pixel(label.left() - 1, label.top() - 2)), shadow);
        EXPECT_GT(pixelCount(image, label, [](QColor c) { return c.lightness() < 60; }), 20);
    }

    // The pictures are there, without their magenta background.
    EXPECT_EQ(pixelCount(image, image.rect(), [](QColor c) { return c == QColor(0xFF, 0, 0xFF); }), 0);
    for (const char* name : {"Image1", "Image2", "Image3"}) {
        const QRect picture = dialog.findChild<QLabel*>(name)->geometry();
        EXPECT_GT(pixelCount(image, picture, [](QColor c) { return c != Qt::white; }), picture.width() * picture.height() / 4)
            << name;
    }

    // The password shows as stars.
    digita(dialog.EdSenha, "ab");
    EXPECT_EQ(dialog.EdSenha->displayText(), "**");
}

TEST_F(Registra, ButtonsShowTheGradientTheirGlyphsAndWhichHasTheFocus)
{
    dialog.BtnGravar->setFocus();
    const QImage image = shot(dialog);
    const struct {
        TBtnMetal* button;
        const char* outline;
    } buttons[] = {{dialog.BtnGravar, "#000080"}, {dialog.BtnCancelar, "#000000"}};
    for (const auto& [button, outline] : buttons) {
        SCOPED_TRACE(button->objectName().toStdString());
        const QRect area = button->geometry();
        EXPECT_EQ(area.size(), QSize(86, 29));
        EXPECT_EQ(colourName(image.pixel(area.left(), area.center().y())), outline);
        EXPECT_EQ(colourName(image.pixel(area.left() + 3, area.bottom() - 1)), "#edf4fc") << "the last band";
        // The glyph's silver background is left out; its colours and the black caption show.
        EXPECT_EQ(pixelCount(image, area, [](QColor c) { return c == QColor(0xC0, 0xC0, 0xC0); }), 0);
        EXPECT_GT(pixelCount(image, area, [](QColor c) { return c.hsvSaturation() > 150; }), 10);
        EXPECT_GT(pixelCount(image, area, [](QColor c) { return c.lightness() < 60; }), 40);
    }
}

// ---------------------------------------------------------------------------------------------
// The first start of the program, without a settings file.

template <class Window>
Window* topLevelOf()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(w))
            return window;
    return nullptr;
}

// Watches the program run: the windows shown, in order, and whether the message loop ran;
// once it runs, closes the table floor as "Sair" would.
class ProgramWatch : public QObject {
public:
    ProgramWatch()
    {
        qApp->installEventFilter(this);
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* floor = topLevelOf<TFPRincipal>();
            if (!floor || !floor->isVisible() || QThread::currentThread()->loopLevel() == 0)
                return;
            messageLoopRan = true;
            floor->BitBtn1->click();
        });
        timer_.start(20);
    }
    ~ProgramWatch() override { qApp->removeEventFilter(this); }

    QStringList shown;
    bool messageLoopRan = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            if (auto* w = qobject_cast<QWidget*>(watched); w && w->isWindow() && !w->parentWidget())
                shown << w->objectName();
        return false;
    }

private:
    QTimer timer_;
};

// Runs `user` on the installation dialog as soon as it is shown.
void whenTheDialogShows(std::function<void(TFRegistra&)> user)
{
    whenModalOpens([user = std::move(user)](QWidget& window) {
        auto* dialog = qobject_cast<TFRegistra*>(&window);
        ASSERT_NE(dialog, nullptr) << "no installation dialog";
        user(*dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the dialog did not close";
            dialog->close();
        }
    });
}

// "Linux" makes the terminal a client, so the database is reached through a server.
TEST(FirstStart, ShowsTheDialogBeforeAnyOtherWindowAndConnectsWithWhatItWrote)
{
    ZK_REQUIRE_SERVER();
    TempIni ini;
    auto db = TestDatabase::copyOf("sample", TestDatabase::Access::Server);
    const QString address = db->connectionName().section(u':', 0, 0);
    ErrorLog errors;
    ProgramWatch watch;
    QStringList othersWhileAsking;
    whenTheDialogShows([&](TFRegistra& dialog) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != &dialog && !w->parentWidget())
                othersWhileAsking << w->metaObject()->className();
        clica(dialog.CbLinux);
        digita(dialog.EdIP, address);
        digita(dialog.EdSenha, TestDatabase::serverPassword());
        digita(dialog.EdDir, db->folder());
        clica(dialog.BtnGravar);
    });
    EXPECT_EQ(ExecutaPrograma(), 0);
    EXPECT_TRUE(othersWhileAsking.isEmpty()) << othersWhileAsking.join(", ").toStdString();
    ASSERT_FALSE(watch.shown.isEmpty());
    EXPECT_EQ(watch.shown.front(), "FRegistra");
    EXPECT_TRUE(watch.shown.contains("FPRincipal"));
    EXPECT_TRUE(watch.messageLoopRan);
    EXPECT_TRUE(errors.messages.isEmpty()) << "connected: " << errors.messages.join('\n').toStdString();
    // The server's password is new at every run: a scrambled one that ends in a blank is
    // written in quotes, so it is checked by reading it back.
    QStringList written = linhas(ini);
    ASSERT_EQ(written.size(), 7);
    EXPECT_TRUE(written[4].startsWith("SENHA="));
    written.removeAt(4);
    EXPECT_EQ(written, QStringList({"[DADOS]", "MODO=CLIENTE", "IP=" + address + ":", "UNIDADE=C:\\",
                                    "TIPOSERVIDOR=L", "DIR=" + db->folder()}));
    EXPECT_EQ(Decodifica(LerIni("DADOS", "SENHA"), DeslocamentoSenha), TestDatabase::serverPassword());
}

TEST(FirstStart, CancelEndsTheProgramAfterStartUpRanOnWithTheDefaultName)
{
    TempIni ini;
    ErrorLog errors;
    ProgramWatch watch;
    whenTheDialogShows([](TFRegistra& dialog) { clica(dialog.BtnCancelar); });
    EXPECT_EQ(ExecutaPrograma(), 0);
    EXPECT_FALSE(watch.messageLoopRan) << "the end was requested before the message loop";
    EXPECT_TRUE(watch.shown.contains("FPRincipal")) << "the floor is shown for a moment";
    // The data module's connection and the floor's view both try the built-in name.
    ASSERT_EQ(errors.messages.size(), 2) << errors.messages.join('\n').toStdString();
    EXPECT_EQ(errors.messages[0], errors.messages[1]);
    EXPECT_FALSE(ini.exists()) << "nothing is written";
}

// At a real first start the dialog runs while the data module is being built, before the
// program's message window exists: "Senha Obrigatória" must show all the same.
TEST(FirstStart, EmptyPasswordShowsTheMessageAndWritesNothing)
{
    TempIni ini;
    ErrorLog errors;
    ProgramWatch watch;
    QString message;
    bool dialogStayedOpen = false;
    whenTheDialogShows([&](TFRegistra& dialog) {
        digita(dialog.EdSenha, QString());
        whenModalOpens([&](QWidget& modal) {
            auto* window = qobject_cast<TFMensagem*>(&modal);
            ASSERT_NE(window, nullptr) << "no message window came up";
            message = window->LbMsg->toPlainText().trimmed();
            QTest::keyClick(window, Qt::Key_Escape);
        });
        clica(dialog.BtnGravar);
        dialogStayedOpen = dialog.isVisible();
        clica(dialog.BtnCancelar);
    });
    EXPECT_EQ(ExecutaPrograma(), 0);
    EXPECT_EQ(message, "Senha Obrigatória");
    EXPECT_TRUE(dialogStayedOpen);
    EXPECT_FALSE(ini.exists()) << "nothing is written";
}

} // namespace

