#pragma once
// The data module: the one owner of database objects. The connection and its three
// transactions, the nine record sets with their update statements and data sources, and
// the operations the windows call.

#include "data/AlteracoesDoPiso.h"
#include "data/dataset/DataSource.h"
#include "data/dataset/Query.h"
#include "data/dataset/UpdateSql.h"
#include "data/fb/Attachment.h"
#include "data/fb/Events.h"
#include "data/fb/Transaction.h"

#include <QDateTime>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TDm {
public:
    // Shown, modally, when the settings file is missing (the installation dialog).
    using Instalacao = std::function<void()>;

    // Loads the database client (ClientLibraryError when it cannot), then runs the creation
    // handler: settings, connection, the six record sets of start-up. A failure there is
    // reported and the module stays usable: opening any record set connects again.
    // The observer, when given, sees every statement from the first one (tests only).
    explicit TDm(Instalacao instalacao = {}, zk::fb::StatementObserver* observador = nullptr);
    ~TDm();
    TDm(const TDm&) = delete;
    TDm& operator=(const TDm&) = delete;

    struct Configuracao {
        QString MODO, IP, UNIDADE, SENHA, TIPOSERVIDOR, DIR;
    };
    Configuracao LeConfiguracao();
    static QString NomeDoBanco(const Configuracao& configuracao);

    // The end of every save: the change is already applied; the owning transaction is
    // started when it is not active, then committed while kept open. A refused commit undoes
    // the work it was to commit.
    static void Confirma(zk::fb::Transaction& transacao);

    void AbreMovimento(int codigo);
    void FiltraProdutos(const QString& condicao);

    // A table's row as the server has it now.
    struct MesaNoServidor {
        enum Estado { Existe, Inexistente, Presa } estado; // Presa: another terminal holds it
        QString status;
        QVariant codMovimento;
        QVariant descricao;
    };
    // Before a table's row is written: read again on the server and held in TsCAd (no
    // waiting), so no other terminal can change it until TsCAd commits.
    MesaNoServidor SeguraMesa(int codMesa);
    // Releases what SeguraMesa holds when nothing is written after all (commits TsCAd).
    void DesfazReserva();
    // QMesas on the table's row, read again when its copy does not have it (a table added
    // at another terminal since), or when its copy of the row is older than `agora`: what
    // this terminal writes back must never be older than what the server has.
    bool LocalizaMesa(int codMesa);
    void PoeMesaEmDia(int codMesa, const MesaNoServidor& agora);

    // An occupied table's row, and the situation of the order it points at (nothing when
    // that order does not exist).
    struct MesaOcupada {
        bool existe;
        QString status;
        QVariant codMovimento;
        std::optional<QVariant> situacao;
    };
    MesaOcupada LeMesaOcupada(int codMesa);
    // The order's situation as the server has it now; nothing when the order does not exist.
    std::optional<QVariant> SituacaoDaComanda(const QVariant& codMovimento);

    // The opening of a free table between its movement's key and its table's commit. Left
    // halfway, it is undone: the movement goes, unless its table already points at it.
    void IniciaAbertura(int codMesa, int codMovimento);
    void ConcluiAbertura();
    void DesfazAbertura();

    // The start of every action that reads or writes the server. After a lost connection:
    // connects again, makes the server hold exactly once each change this terminal had sent
    // or was sending (asking for its key before sending it again), undoes an opening left
    // halfway, and reads again what the windows show (each on its row, where it still
    // exists), answering true. When a change was in doubt the waiter is told and the action
    // stops there (SilentStop): the next touch acts on what the screen now shows. While the
    // server stays away it raises the lost-connection message, every time.
    bool Retoma();

    // The live floor: with db/live-floor.sql the server posts ZENOBRA_MESAS at every change
    // of a table or of an order line, whoever made it; the data module asks for it once it
    // has connected. From a posting until QPesqMesa is read again the floor is out of date,
    // and QuandoPisoMuda is called (on this thread). Without the triggers nothing is posted.
    std::function<void()> QuandoPisoMuda;
    bool PisoDesatualizado() const { return pisoDesatualizado_; }
    // Whether the server is being asked for the live floor's event at this moment (the watch
    // runs on a thread and a connection of its own, and may be waiting to ask again).
    bool PisoVivoAtivo() const;

    // How long one call to the server may take before the connection is taken for lost:
    // "PRAZO" of the section "KOVA" of the settings file, in seconds; 5 when absent.
    static constexpr int PrazoMinimo = 1, PrazoMaximo = 60;
    static std::chrono::milliseconds LePrazo();

    // After the event: the tables changed since the floor was last brought up to date merged
    // into QPesqMesa, answering true; false when it must be read whole instead (a database
    // without the procedures always answers false, as before them).
    bool MesclaPiso();

    // The clock a new order's date and time come from, read once so that the two always
    // name the same instant (also across midnight).
    std::function<QDateTime()> Relogio = [] { return QDateTime::currentDateTime(); };

    zk::fb::Attachment Db;
    zk::fb::Transaction Ts{Db, QStringLiteral("Ts")};
    zk::fb::Transaction TsCAd{Db, QStringLiteral("TsCAd")};
    zk::fb::Transaction TsMov{Db, QStringLiteral("TsMov")};

    const zk::UpdateSql UpMesas;
    const zk::UpdateSql UpMov;
    const zk::UpdateSql UpItensMov;
    const zk::UpdateSql UpConf;

    zk::Query QMesas;
    zk::Query QPesqMesa;
    zk::Query QPesqProdutos;
    zk::Query Qgrupos;
    zk::Query QMov;
    zk::Query QItensMov;
    zk::Query QTotal;
    zk::Query QSpItens;
    zk::Query QConf;

    zk::DataSource DsMesas{QMesas};
    zk::DataSource DsPesqMesa{QPesqMesa};
    zk::DataSource DsPesqProdutos{QPesqProdutos};
    zk::DataSource DsGrupos{Qgrupos};
    zk::DataSource DsMov{QMov};
    zk::DataSource DsItensMov{QItensMov};
    zk::DataSource DsTotal{QTotal};
    zk::DataSource DsSpItens{QSpItens};
    zk::DataSource DsConf{QConf};

    AlteracoesDoPiso PisoAlterado{Db};

    // The settings' server mode: read and kept, used by nothing else.
    QString MODO;

    static const QString NomePadrao; // the built-in database name

private:
    // Whether QMesas' current row holds what the server has.
    bool MesaEmDia(const MesaNoServidor& agora);
    void DataModuleCreate();
    void QMesasAfterInsert(zk::Query& q);
    void QMovAfterInsert(zk::Query& q);
    void QItensMovAfterInsert(zk::Query& q);
    void Aplica(zk::Query& q); // after-post and after-delete hooks: apply at once

    void AssinaPisoVivo();

    // Recovery after a lost connection (Retoma).
    void QuandoPerdida();
    void RecolhePendentes();
    void EncerraConexoesPerdidas();
    void ResolveAbertura();
    struct Recuperacao {
        bool emDuvida;   // a change had been sent, or was being sent, when the connection went
        int naoGravadas; // changes the server refused once it was back
    };
    Recuperacao Recupera();
    int GravaPendentes();
    bool LinhaForaDeComandaAberta(const zk::Query::Change& change);
    void ReleOQueSeVe();

    struct Pendente {
        zk::Query* recordSet;
        zk::Query::Change change;
    };
    struct Abertura {
        int codMesa;
        int codMovimento;
    };

    Instalacao instalacao_;
    bool recuperacaoPendente_ = false;
    std::unique_ptr<zk::fb::EventWatch> pisoVivo_;
    bool pisoDesatualizado_ = false;
    std::vector<Pendente> pendentes_;
    std::optional<Abertura> abertura_;
};
