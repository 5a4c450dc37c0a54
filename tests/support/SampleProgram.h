#pragma once
// The whole program started on a copy of the sample bar, as a terminal at the bar runs it,
// what its connection sends from then on, and the waiter's touches on it.

#include "app/Program.h"
#include "base/Ufuncoes.h"
#include "support/SampleBar.h"
#include "support/StatementLog.h"
#include "support/TcpProxy.h"
#include "support/Waiter.h"

#include <QPushButton>

#include <functional>
#include <memory>
#include <optional>

class SampleProgram : public SampleBar {
public:
    using SampleBar::SampleBar;

    // The program reaches the loopback server through a proxy the test can cut (before start()).
    void throughAProxy() { proxy = std::make_unique<TcpProxy>(qEnvironmentVariable("ZENOBRA_TEST_FB_SERVER")); }

    // Start-up: the data module and the windows; the log sees every statement from here on.
    void start()
    {
        install(proxy ? proxy->address() : QString());
        if (deadlineSeconds)
            GravarIni(QStringLiteral("KOVA"), QStringLiteral("PRAZO"), QString::number(deadlineSeconds));
        program.emplace();
        log.emplace(program->Dm.Db);
        // The live floor's watch asks the server on a thread of its own: from the moment it has,
        // every change elsewhere reaches this terminal.
        if (dm().Db.connected() && liveFloorAtStart) {
            ASSERT_TRUE(QTest::qWaitFor([this] { return dm().PisoVivoAtivo(); }, 10000)) << "the live floor's event";
        }
    }
    // The floor on screen, as start-up leaves it; a message shown closes at once.
    void showFloor()
    {
        floor().show();
        program->FMensagem.Timer1->setInterval(10);
    }

    TDm& dm() { return program->Dm; }
    TFPRincipal& floor() { return program->FPRincipal; }
    TFComanda& ticket() { return program->FComanda; }

    // A waiter's touch on the tile of table `numero`.
    void touchTable(int numero) { waiter::touchRecord(*floor().DBCtrlGrid1, "DESCRICAO", numero); }
    void touchProduct(int codigo) { waiter::touchRecord(*ticket().GRidPesqProd, "CODIGO", codigo); }
    // On the open ticket: touches the product and confirms the quantity on the keypad.
    void addProduct(int codigo, const QString& quantidade)
    {
        whenModalOpens(waiter::keypad(quantidade));
        touchProduct(codigo);
    }
    // Runs `actions` on the occupied table's ticket, then leaves it with "Sair" if still open.
    // The ticket may not open (the touch that brings a lost connection back only settles it):
    // nothing armed here outlives the touch.
    void inTicket(int numero, const std::function<void()>& actions)
    {
        QObject touch;
        whenModal(&touch, [&](QWidget* modal) {
            if (modal != &ticket())
                return false;
            actions();
            if (ticket().isVisible())
                ticket().BtnSair->click();
            return true;
        });
        touchTable(numero);
    }

    int deadlineSeconds = 0;      // the settings' "PRAZO" when not 0 (before start())
    bool liveFloorAtStart = true; // start() waits until the live floor's event is asked for
    std::unique_ptr<TcpProxy> proxy; // outlives the program, which may be connected through it
    std::optional<Program> program;
    std::optional<StatementLog> log;
};
