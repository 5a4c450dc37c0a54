// zk_screenshots <folder> [database]: starts the program on a copy of the sample bar (or of
// the given database) and writes every screen listed below as a PNG file into the folder.
// Each screen is one entry: the file name, the layout it is taken in, and how to bring the
// screen up from a freshly started program.

#include "Aplicacao.h"
#include "Memo.h"
#include "Program.h"
#include "URegistra.h"
#include "Ufuncoes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <functional>

namespace {

struct Screen {
    QString file;
    bool tablet;
    std::function<QWidget&(Program&)> show; // brings the screen up, returns the window to take
};

// The ticket of the sample's table 8, prepared as touching its tile does.
QWidget& comandaDaMesa8(Program& p)
{
    p.Dm.AbreMovimento(102);
    p.FComanda.CodMesa = 28;
    p.FComanda.LbMesa->setText(QStringLiteral("8"));
    p.FComanda.LbCodMov->setText(QStringLiteral("102"));
    return p.FComanda;
}

// Shown by start-up only when the settings file is missing; here it goes when closed.
QWidget& instalacao(Program&)
{
    auto* dialog = new TFRegistra([] {});
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    return *dialog;
}

const std::vector<Screen> screens = {
    {QStringLiteral("mesas.png"), false, [](Program& p) -> QWidget& { return p.FPRincipal; }},
    {QStringLiteral("mesas-tablet.png"), true, [](Program& p) -> QWidget& { return p.FPRincipal; }},
    {QStringLiteral("comanda.png"), false, comandaDaMesa8},
    {QStringLiteral("comanda-tablet.png"), true, comandaDaMesa8},
    {QStringLiteral("quantidade.png"), false,
     [](Program& p) -> QWidget& {
         p.FInformaQtd.MemoDesc->setPlainText(QStringLiteral("Caipirinha de Limão"));
         p.FInformaQtd.EdQtd->setText(QStringLiteral("1"));
         return p.FInformaQtd;
     }},
    {QStringLiteral("pergunta.png"), false,
     [](Program& p) -> QWidget& {
         p.FMsgSimNaoTablet.MemoDesc->setPlainText(QStringLiteral("Mesa livre, Abrir Nova Comanda?"));
         return p.FMsgSimNaoTablet;
     }},
    {QStringLiteral("mensagem.png"), false,
     [](Program& p) -> QWidget& {
         p.FMensagem.DefineMensagem(QStringLiteral("Senha Obrigatória"));
         p.FMensagem.Timer1->setInterval(600000);
         return p.FMensagem;
     }},
    {QStringLiteral("cadastro-mesas.png"), false, [](Program& p) -> QWidget& { return p.FPesqMesa; }},
    {QStringLiteral("configuracoes.png"), false, [](Program& p) -> QWidget& { return p.FConf; }},
    {QStringLiteral("instalacao.png"), false, instalacao},
};

// The screen the tablet layout fills; the desktop layout is centred on it.
constexpr int screenWidth = 1280;
constexpr int screenHeight = 800;

// Settings that open the database copy through the embedded engine: a "Linux server"
// whose folder is the copy's.
void writeSettings(const QString& folder, bool tablet)
{
    GravarIni(QStringLiteral("DADOS"), QStringLiteral("TIPOSERVIDOR"), QStringLiteral("L"));
    GravarIni(QStringLiteral("DADOS"), QStringLiteral("IP"), QString());
    GravarIni(QStringLiteral("DADOS"), QStringLiteral("DIR"), folder);
    GravarIni(QStringLiteral("DADOS"), QStringLiteral("SENHA"), Codifica(QString(), DeslocamentoSenha));
    GravarIni(QStringLiteral("KOVA"), QStringLiteral("MODO"), BoolToStr(tablet));
}

bool take(const Screen& screen, const QString& folder, const QString& database)
{
    QTemporaryDir work;
    QString copy = work.filePath(QStringLiteral("zenobra/dados/zenobra.gdb"));
    QDir().mkpath(QFileInfo(copy).absolutePath());
    if (!QFile::copy(database, copy)) {
        QTextStream(stderr) << "cannot copy " << database << '\n';
        return false;
    }
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    qputenv("ZENOBRA_INI", work.filePath(QStringLiteral("ZENOBRA.Ini")).toLocal8Bit());
    writeSettings(work.path(), screen.tablet);

    Program program;
    QWidget& window = screen.show(program);
    window.show();
    // Long enough for the lists to read what they show and lay themselves out.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 200)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    QString file = QDir(folder).filePath(screen.file);
    if (!window.grab().save(file)) {
        QTextStream(stderr) << "cannot write " << file << '\n';
        return false;
    }
    QTextStream(stdout) << file << ' ' << window.width() << 'x' << window.height() << '\n';
    window.close();
    return true;
}

// Qt's offscreen platform with one screen of the given size, unless a platform was chosen.
void offscreenPlatform(QTemporaryDir& dir)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    QString config = dir.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (file.open(QIODevice::WriteOnly))
        file.write(QStringLiteral(R"({"screens": [{"name": "tablet", "x": 0, "y": 0, "width": %1, "height": %2,
                                     "logicalDpi": 96, "dpr": 1}]})")
                       .arg(screenWidth)
                       .arg(screenHeight)
                       .toUtf8());
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir platformDir;
    offscreenPlatform(platformDir);
    ZenobraApp app(argc, argv);
    zk::setErrorReporter([](const QString& text) { QTextStream(stderr) << "error: " << text << '\n'; });
    QStringList args = QApplication::arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: zk_screenshots <folder> [database]\n";
        return 2;
    }
    QString folder = args[1];
    QString database = args.size() > 2 ? args[2] : QStringLiteral(ZK_SAMPLE_FDB);
    QDir().mkpath(folder);
    bool ok = true;
    for (const Screen& screen : screens)
        ok = take(screen, folder, database) && ok;
    return ok ? 0 : 1;
}
