#include "dialogs/URegistra.h"

#include "base/Erros.h"
#include "base/Ufuncoes.h"
#include "base/Win1252.h"
#include "ui/Aplicacao.h"
#include "ui/Behaviours.h"
#include "ui/BtnMetal.h"
#include "ui/Screen.h"

#include <QComboBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>

namespace {

const QString secao = QStringLiteral("DADOS");
const QString diretorioWindows = QStringLiteral("\\zenobra");

// The settings file gives back at most 2047 characters of a value; each box leaves room for
// what is appended to its text, so that what was typed reads back whole.
constexpr int limiteDoValor = 2047;

// The backdrops of the labels ("Shape1" to "Shape5", "Shape25").
constexpr QRect fundosDosRotulos[] = {{106, 11, 55, 18}, {179, 11, 151, 18}, {27, 69, 101, 18},
                                      {179, 69, 101, 18}, {179, 119, 116, 18}, {7, 11, 41, 18}};
const QColor corDosFundos(0xA4, 0xD2, 0xEC);

// The designed faces are Windows fonts; where they are missing, a narrow stand-in keeps each
// text inside its place (fontconfig would pick a much wider face for these names).
QFont fonte(const QString& familia, bool negrito) { return zk::narrowFont(familia, 11, negrito); }

template <class Widget>
Widget* componente(QWidget* parent, const char* nome, const QRect& area)
{
    auto* widget = new Widget(parent);
    widget->setObjectName(QLatin1String(nome));
    widget->setGeometry(area);
    return widget;
}

void rotulo(QWidget* parent, const char* nome, const QRect& area, const QString& texto)
{
    auto* label = componente<QLabel>(parent, nome, area);
    label->setText(texto);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setFont(fonte(QStringLiteral("Tahoma"), true));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
}

// A bitmap whose bottom-left colour is its background, left out when drawn.
QPixmap semFundo(const QString& arquivo)
{
    QPixmap pixmap(arquivo);
    const QColor fundo = pixmap.toImage().pixelColor(0, pixmap.height() - 1);
    pixmap.setMask(pixmap.createMaskFromColor(fundo, Qt::MaskInColor));
    return pixmap;
}

void figura(QWidget* parent, const char* nome, const QRect& area, const QPixmap& pixmap, Qt::Alignment alinhamento)
{
    auto* picture = componente<QLabel>(parent, nome, area);
    picture->setPixmap(pixmap);
    picture->setAlignment(alinhamento);
}

QLineEdit* caixaDeTexto(QWidget* parent, const char* nome, const QRect& area, const QString& texto, int limite)
{
    auto* edit = componente<QLineEdit>(parent, nome, area);
    edit->setMaxLength(limite);
    edit->setText(texto);
    return edit;
}

QComboBox* caixaDeEscolha(QWidget* parent, const char* nome, const QRect& area, const QStringList& itens,
                          const QString& padrao, int limite)
{
    auto* box = componente<QComboBox>(parent, nome, area);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // Typed text is stored as typed: "cliente" must not turn into the item "CLIENTE".
    box->completer()->setCaseSensitivity(Qt::CaseSensitive);
    box->lineEdit()->setMaxLength(limite);
    box->addItems(itens);
    box->setCurrentIndex(box->findText(padrao));
    return box;
}

TBtnMetal* botao(QWidget* parent, const char* nome, const QRect& area, const QString& texto, const QString& glyph)
{
    auto* button = componente<TBtnMetal>(parent, nome, area);
    button->setText(texto);
    button->setFont(fonte(QStringLiteral("MS Sans Serif"), true));
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, Qt::black);
    button->setPalette(palette);
    button->setPrimeiraCor(QColor(0xFF, 0xFF, 0xFF));
    button->setUltimaCor(QColor(0xED, 0xF4, 0xFC));
    button->setCores(25);
    button->setDirecao(DiTopoBaixo);
    button->setCorMouseOver(QColor(0x00, 0x80, 0xFF));
    button->setCorFocado(QColor(0x00, 0x00, 0x80));
    button->setCorDesFocado(Qt::black);
    button->setLarguraDaBorda(1);
    button->setFocoPontilhado(true);
    button->setSpacing(3);
    button->setImageIndex(0);
    button->setGlyph(QImage(glyph));
    return button;
}

bool ehEnter(const QKeyEvent* key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

// A text goes to the settings file only if it reads back exactly as typed: one line of
// Windows-1252, so no control character and no character outside that code page.
void confere(const QString& campo, const QString& texto)
{
    for (char32_t codigo : texto.toUcs4()) {
        const QString caractere = QString::fromUcs4(&codigo, 1);
        if (QChar::category(codigo) == QChar::Other_Control)
            throw zk::ConversionError(
                QStringLiteral("O campo %1 não pode conter caracteres de controle (código %2).").arg(campo).arg(codigo));
        if (!zk::toWin1252(caractere))
            throw zk::ConversionError(
                QStringLiteral("O campo %1 não pode conter o caractere '%2'.").arg(campo, caractere));
    }
}

} // namespace

TFRegistra::TFRegistra(std::function<void()> solicitaFim)
    // Without a parent window, showing it centres it on the screen.
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      solicitaFim(std::move(solicitaFim))
{
    setObjectName(QStringLiteral("FRegistra"));
    setWindowTitle(QStringLiteral("Instalação do Sistema"));
    setFixedSize(339, 214);
    setFont(fonte(QStringLiteral("MS Sans Serif"), false));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    // Flat boxes: a plain black line around a white field.
    setStyleSheet(QStringLiteral("QLineEdit, QComboBox { border: 1px solid black; background: white; }"
                                 "QComboBox:disabled { background: palette(button); }"
                                 "QLineEdit { lineedit-password-character: 42; }"));

    rotulo(this, "Label7", {11, 13, 31, 13}, QStringLiteral("Modo"));
    rotulo(this, "Label5", {111, 13, 46, 13}, QStringLiteral("Unidade"));
    rotulo(this, "Label6", {183, 71, 80, 13}, QStringLiteral("IP do Servidor"));
    rotulo(this, "Label8", {183, 13, 144, 13}, QStringLiteral("Senha do Banco de Dados"));
    rotulo(this, "Label1", {32, 71, 92, 13}, QStringLiteral("Tipo de Servidor"));
    figura(this, "Image1", {89, 97, 48, 45}, semFundo(QStringLiteral(":/assets/pinguim.bmp")), Qt::AlignLeft | Qt::AlignTop);
    figura(this, "Image2", {16, 92, 48, 57}, semFundo(QStringLiteral(":/assets/janela.bmp")), Qt::AlignCenter);
    rotulo(this, "Label2", {183, 121, 50, 13}, QStringLiteral("Diretório"));
    figura(this, "Image3", {9, 176, 125, 29}, QPixmap(QStringLiteral(":/assets/marca.jpg")), Qt::AlignLeft | Qt::AlignTop);

    EdIP = caixaDeTexto(this, "EdIP", {181, 93, 149, 19}, QString(), limiteDoValor - 1); // + ":"
    EdSenha = caixaDeTexto(this, "EdSenha", {181, 36, 149, 19}, QStringLiteral("lunarcedo"), limiteDoValor);
    EdSenha->setEchoMode(QLineEdit::Password);
    BtnGravar = botao(this, "BtnGravar", {155, 172, 86, 29}, QStringLiteral("Confirmar"),
                      QStringLiteral(":/assets/confirmar.bmp"));
    BtnCancelar = botao(this, "BtnCancelar", {244, 172, 86, 29}, QStringLiteral("Cancelar"),
                        QStringLiteral(":/assets/cancelar.bmp"));
    CbWindows = componente<QRadioButton>(this, "CbWindows", {14, 150, 66, 17});
    CbWindows->setText(QStringLiteral("Windows"));
    CbWindows->setChecked(true);
    CbLinux = componente<QRadioButton>(this, "CbLinux", {89, 150, 51, 17});
    CbLinux->setText(QStringLiteral("Linux"));
    EdDir = caixaDeTexto(this, "EdDir", {181, 143, 149, 19}, diretorioWindows, limiteDoValor);
    EdModo = caixaDeEscolha(this, "EdModo", {8, 35, 90, 21}, {QStringLiteral("CLIENTE"), QStringLiteral("SERVIDOR")},
                            QStringLiteral("SERVIDOR"), limiteDoValor);
    QStringList letras;
    for (char letra = 'A'; letra <= 'Z'; ++letra)
        if (letra != 'W')
            letras << QString(QLatin1Char(letra));
    EdUnidade = caixaDeEscolha(this, "EdUnidade", {108, 35, 57, 21}, letras, QStringLiteral("C"),
                               limiteDoValor - 2); // + ":\"

    QWidget* ordem[] = {EdModo, EdUnidade, EdIP, EdSenha, BtnGravar, BtnCancelar, CbWindows, CbLinux, EdDir};
    for (std::size_t i = 1; i < std::size(ordem); ++i)
        setTabOrder(ordem[i - 1], ordem[i]);

    EdSenha->installEventFilter(this);
    EdDir->installEventFilter(this);
    connect(BtnGravar, &QPushButton::clicked, this, zk::reported([this] { BtnGravarClick(); }));
    connect(BtnCancelar, &QPushButton::clicked, this, zk::reported([this] { BtnCancelarClick(); }));
    zk::enterPressesOnlyTheFocusedButton(*this); // no default button: Enter in a box writes nothing
    connect(CbLinux, &QRadioButton::toggled, this, zk::reported([this] {
                if (CbLinux->isChecked())
                    CbLinuxClick();
            }));
    connect(CbWindows, &QRadioButton::toggled, this, zk::reported([this] {
                if (CbWindows->isChecked())
                    CbWindowsClick();
            }));
}

void TFRegistra::FormShow() { EdModo->setFocus(); }

void TFRegistra::CbLinuxClick()
{
    EdModo->setCurrentIndex(0); // also replaces a text typed over the item
    EdModo->setEnabled(false);
    EdUnidade->setEnabled(false);
    EdDir->setText(QStringLiteral("/"));
}

void TFRegistra::CbWindowsClick()
{
    EdModo->setEnabled(true);
    EdUnidade->setEnabled(true);
    EdDir->setText(diretorioWindows);
}

void TFRegistra::BtnGravarClick()
{
    if (EdSenha->text().isEmpty()) {
        // At a first start this dialog runs while the data module is being built, before the
        // program's message window exists: it then shows the message in one of its own.
        if (!MensagemDisponivel() && !mensagens_)
            mensagens_ = std::make_unique<TFMensagem>();
        Mensagem(QStringLiteral("Senha Obrigatória"));
        return;
    }
    ConfereTextos();
    const QString modo = EdModo->currentText();
    GravarIni(secao, QStringLiteral("MODO"), modo);
    if (EdIP->text().isEmpty())
        GravarIni(secao, QStringLiteral("IP"), QString());
    if (modo == u"CLIENTE")
        GravarIni(secao, QStringLiteral("IP"), EdIP->text() + u':');
    GravarIni(secao, QStringLiteral("UNIDADE"), EdUnidade->currentText() + QStringLiteral(":\\"));
    GravarIni(secao, QStringLiteral("SENHA"), Codifica(EdSenha->text(), DeslocamentoSenha));
    if (CbWindows->isChecked())
        GravarIni(secao, QStringLiteral("TIPOSERVIDOR"), QStringLiteral("W"));
    if (CbLinux->isChecked())
        GravarIni(secao, QStringLiteral("TIPOSERVIDOR"), QStringLiteral("L"));
    GravarIni(secao, QStringLiteral("DIR"), EdDir->text());
    done(1);
}

// Everything is checked before the first write: a half-written file would keep this dialog
// from ever showing again.
void TFRegistra::ConfereTextos() const
{
    confere(QStringLiteral("Modo"), EdModo->currentText());
    confere(QStringLiteral("Unidade"), EdUnidade->currentText());
    confere(QStringLiteral("IP do Servidor"), EdIP->text());
    confere(QStringLiteral("Senha do Banco de Dados"), EdSenha->text());
    confere(QStringLiteral("Diretório"), EdDir->text());
}

void TFRegistra::BtnCancelarClick()
{
    solicitaFim();
    done(2);
}

void TFRegistra::reject() { done(2); }

void TFRegistra::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TFRegistra::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // "Shape6": the dialog's black frame.
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Dark));
    painter.setBrush(corDosFundos);
    for (const QRect& fundo : fundosDosRotulos)
        painter.drawRoundedRect(fundo.adjusted(0, 0, -1, -1), 2, 2); // corners a quarter of the height across
}

void TFRegistra::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        return; // only the two buttons and the system close this dialog
    QDialog::keyPressEvent(event);
}

bool TFRegistra::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == EdSenha || watched == EdDir) && event->type() == QEvent::KeyPress)
        return EdSenhaKeyPress(static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}

// The password and directory boxes: Enter confirms, every other key types as usual.
bool TFRegistra::EdSenhaKeyPress(QKeyEvent* key)
{
    if (!ehEnter(key))
        return false;
    BtnGravar->click();
    return true;
}
