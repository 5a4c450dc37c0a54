#include "ui/UMsgSimNaoTablet.h"

#include "ui/Aplicacao.h"
#include "ui/Behaviours.h"
#include "ui/Memo.h"
#include "ui/Screen.h"

#include <QKeyEvent>
#include <QPushButton>

namespace {
const QColor silver(0xC0, 0xC0, 0xC0);
}

TFMsgSimNaoTablet::TFMsgSimNaoTablet()
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint),
      BtnConfirmar(new QPushButton(QStringLiteral("Sim"), this)),
      BitBtn2(new QPushButton(QStringLiteral("Não"), this)),
      MemoDesc(new zk::Memo(this))
{
    setObjectName(QStringLiteral("FMsgSimNaoTablet"));
    setFixedSize(643, 258);
    zk::fillWith(*this, silver);

    const QFont buttonFont = zk::pixelFont(QStringLiteral("Arial"), 27);
    BtnConfirmar->setObjectName(QStringLiteral("BtnConfirmar"));
    BtnConfirmar->setGeometry(110, 122, 176, 115);
    BtnConfirmar->setFont(buttonFont);
    connect(BtnConfirmar, &QPushButton::clicked, this, zk::reported([this] { BtnConfirmarClick(); }));

    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(355, 122, 171, 115);
    BitBtn2->setFont(buttonFont);
    connect(BitBtn2, &QPushButton::clicked, this, zk::reported([this] { BitBtn2Click(); }));

    MemoDesc->setObjectName(QStringLiteral("MemoDesc"));
    MemoDesc->setGeometry(25, 24, 601, 78);
    MemoDesc->setReadOnly(true);
    MemoDesc->centreLines();
    MemoDesc->setFont(zk::pixelFont(QStringLiteral("Arial"), 33));
    zk::setColour(*MemoDesc, QPalette::Base, silver);

    setTabOrder(BtnConfirmar, BitBtn2);
    setTabOrder(BitBtn2, MemoDesc);
    zk::enterPressesOnlyTheFocusedButton(*this); // Enter on the question answers nothing
}

void TFMsgSimNaoTablet::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    zk::centreOnScreen(*this);
    FormShow();
}

// Enter or Space answers yes at once.
void TFMsgSimNaoTablet::FormShow() { BtnConfirmar->setFocus(Qt::OtherFocusReason); }

void TFMsgSimNaoTablet::BtnConfirmarClick() { done(1); }

void TFMsgSimNaoTablet::BitBtn2Click() { done(2); }

// A close from outside is a "Não", never the toolkit's 0.
void TFMsgSimNaoTablet::reject() { done(2); }

void TFMsgSimNaoTablet::keyPressEvent(QKeyEvent* event)
{
    // Esc means nothing here: only the two buttons answer.
    if (event->key() == Qt::Key_Escape)
        event->accept();
    else
        QDialog::keyPressEvent(event);
}
