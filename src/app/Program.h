#pragma once
// The running program: the data module and the seven windows, each created once, in the
// fixed start-up order, and kept until the end.

#include "data/UDm.h"
#include "dialogs/UConf.h"
#include "dialogs/UPesqMesa.h"
#include "floor/UPrincipal.h"
#include "ticket/UComanda.h"
#include "ticket/UInformaQtd.h"
#include "ui/UMensagem.h"
#include "ui/UMsgSimNaoTablet.h"

struct Program {
    // A failure in any step is reported and start-up goes on; only a database client that
    // cannot be loaded stops it (ClientLibraryError, from Dm).
    Program();

    bool fimSolicitado = false; // the installation dialog was cancelled

    // Members are created in declaration order: this is the start-up order.
    TDm Dm;
    TFPRincipal FPRincipal;
    TFMensagem FMensagem;
    TFPesqMesa FPesqMesa;
    TFComanda FComanda;
    TFInformaQtd FInformaQtd;
    TFConf FConf;
    TFMsgSimNaoTablet FMsgSimNaoTablet;
};

// Start-up, the message loop and the end; returns the process exit code.
int ExecutaPrograma();
