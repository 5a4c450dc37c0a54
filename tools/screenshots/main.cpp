// zk_screenshots <folder> [database]: starts the program on a copy of the sample bar (or of
// the given database) and writes every screen listed below as a PNG file into the folder.
// Each screen is one entry: the file name, the layout it is taken in, and how to bring the
// screen up from a freshly started program. The pictures are taken on Qt's offscreen
// platform with screens of real sizes (see screenSizes), each in a process of its own.

#include "app/Program.h"
#include "base/Ufuncoes.h"
#include "dialogs/URegistra.h"
#include "ui/Aplicacao.h"
#include "ui/Memo.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
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

// The screens the pictures are taken on. The first gets every picture, the desktop layout
// centred on it; the others (smaller tablets) get the tablet pictures only, with the
// screen's size in the file name.
struct ScreenSize {
    int width, height;
    QString name() const { return QStringLiteral("%1x%2").arg(width).arg(height); }
};
const ScreenSize screenSizes[] = {{1280, 800}, {1024, 600}};

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

bool take(const Screen& screen, const QString& file, const QString& database)
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
    if (!window.grab().save(file)) {
        QTextStream(stderr) << "cannot write " << file << '\n';
        return false;
    }
    QTextStream(stdout) << file << ' ' << window.width() << 'x' << window.height() << '\n';
    window.close();
    return true;
}

// The pictures of one screen size, in this process: Qt's offscreen platform given one
// screen of that size.
int takeOn(const ScreenSize& size, bool first, const QString& folder, const QString& database, int argc, char** argv)
{
    QTemporaryDir platformDir;
    QString config = platformDir.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(QStringLiteral(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": %1, "height": %2,
                                  "logicalDpi": 96, "dpr": 1}]})")
                   .arg(size.width)
                   .arg(size.height)
                   .toUtf8());
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());

    ZenobraApp app(argc, argv);
    zk::setErrorReporter([](const QString& text) { QTextStream(stderr) << "error: " << text << '\n'; });
    QDir().mkpath(folder);
    bool ok = true;
    for (const Screen& screen : screens) {
        if (!first && !screen.tablet)
            continue;
        QString name = first ? screen.file : screen.file.chopped(4) + u'-' + size.name() + QStringLiteral(".png");
        ok = take(screen, QDir(folder).filePath(name), database) && ok;
    }
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    // zk_screenshots --screen <n> <folder> <database>: one screen size's pictures.
    if (argc == 5 && qstrcmp(argv[1], "--screen") == 0) {
        const int index = std::atoi(argv[2]);
        return takeOn(screenSizes[index], index == 0, QString::fromLocal8Bit(argv[3]),
                      QString::fromLocal8Bit(argv[4]), argc, argv);
    }
    if (argc < 2 || argc > 3 || argv[1][0] == '-') {
        QTextStream(stderr) << "usage: zk_screenshots <folder> [database]\n";
        return 2;
    }
    QCoreApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString database = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(ZK_SAMPLE_FDB);
    int status = 0;
    for (int index = 0; index < int(std::size(screenSizes)); ++index) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--screen"), QString::number(index), folder, database});
        if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
            status = 1;
    }
    return status;
}
