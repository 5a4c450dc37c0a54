#include "dialogs/UPesqMesa.h"

#include "base/Ufuncoes.h"
#include "data/Atendimento.h"
#include "data/UDm.h"
#include "ui/Aplicacao.h"
#include "ui/Behaviours.h"
#include "ui/DbGrid.h"
#include "ui/InputQuery.h"

#include <QFrame>
#include <QPushButton>

namespace {

// The last number typed in, or loaded by "Alterar", offered by the next question: kept
// for the whole run, whether it converted or not, so a wrong entry can be corrected.
QString UltimaDescricao;

const QString Legenda = QStringLiteral("Digite a Descricao");

QPushButton* botao(const QString& texto, int left, QWidget* barra)
{
    auto* botao = new QPushButton(texto, barra);
    botao->setGeometry(left, 10, 75, 25);
    return botao;
}

} // namespace

TFPesqMesa::TFPesqMesa(TDm& Dm)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      Dm(Dm)
{
    setObjectName(QStringLiteral("FPesqMesa"));
    setWindowTitle(QStringLiteral("Mesas"));
    setFixedSize(314, 248);
    QFont fonte(QStringLiteral("MS Sans Serif"));
    fonte.setPixelSize(11);
    setFont(fonte);

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(0, 0, 314, 42);

    DBGrid1 = new zk::DbGrid(Dm.DsMesas, {{QStringLiteral("CODMESA"), 77}, {QStringLiteral("DESCRICAO"), 117}}, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(0, 42, 314, 165);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(0, 207, 314, 41);
    BitBtn1 = botao(QStringLiteral("Cadastrar"), 60, Panel1);
    BitBtn2 = botao(QStringLiteral("Alterar"), 140, Panel1);
    BitBtn3 = botao(QStringLiteral("Sair"), 220, Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    setTabOrder(DBGrid1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    setTabOrder(BitBtn2, BitBtn3);

    connect(BitBtn1, &QPushButton::clicked, this, zk::reported([this] { BitBtn1Click(); }));
    connect(BitBtn2, &QPushButton::clicked, this, zk::reported([this] { BitBtn2Click(); }));
    connect(BitBtn3, &QPushButton::clicked, this, zk::reported([this] { BitBtn3Click(); }));
    zk::enterPressesOnlyTheFocusedButton(*this);
}

// After a lost connection the list was read again: the user looks at it before acting.
void TFPesqMesa::BitBtn1Click()
{
    if (Dm.Retoma())
        return;
    QString texto = UltimaDescricao;
    if (!zk::InputQuery(Legenda, QStringLiteral("Cadastrar Mesa"), texto))
        return;
    UltimaDescricao = texto;
    atendimento::CadastraMesa(Dm, StrToInt(texto));
}

void TFPesqMesa::BitBtn2Click()
{
    if (Dm.Retoma())
        return;
    const zk::Field& descricao = Dm.QMesas.fieldByName(QStringLiteral("DESCRICAO"));
    UltimaDescricao = descricao.isNull() ? QString() : QString::number(descricao.asInteger());
    QString texto = UltimaDescricao;
    if (!zk::InputQuery(Legenda, QStringLiteral("Alterar Mesa"), texto))
        return;
    UltimaDescricao = texto;
    // A number changed elsewhere meanwhile is not written over.
    const atendimento::Resultado alterada = atendimento::AlteraMesa(Dm, StrToInt(texto));
    if (alterada != atendimento::Resultado::Feito)
        Mensagem(atendimento::TextoDe(alterada));
}

void TFPesqMesa::BitBtn3Click() { done(2); }

void TFPesqMesa::reject() { done(2); }
