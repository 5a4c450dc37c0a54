#include "data/UDm.h"

#include "base/Log.h"
#include "base/Ufuncoes.h"
#include "data/Atendimento.h"
#include "data/Campos.h"
#include "data/fb/Statement.h"

#include <QFile>

const QString TDm::NomePadrao = QStringLiteral("h:\\Zenobra\\Dados\\Zenobra.GDB");

namespace {
QString stringLiteral(const QString& text) { return u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\''; }

const QStringList selectMovInicial{QStringLiteral("select * from MOVIMENTOSPRODUTOS"),
                                   QStringLiteral("where codmovimento is null")};

QString NaoGravadas(int quantas)
{
    return quantas == 1 ? QStringLiteral("A conexão voltou, mas uma alteração feita antes da queda não pôde ser "
                                         "gravada. A tela foi atualizada: confira e repita o que faltar.")
                        : QStringLiteral("A conexão voltou, mas %1 alterações feitas antes da queda não puderam ser "
                                         "gravadas. A tela foi atualizada: confira e repita o que faltar.")
                              .arg(quantas);
}
} // namespace

TDm::TDm(Instalacao instalacao, zk::fb::StatementObserver* observador)
    : UpMesas(zk::UpdateSql::derive(QStringLiteral("MESAS"), QStringLiteral("CODMESA"), campos::Mesas)),
      UpMov(zk::UpdateSql::derive(QStringLiteral("MOVIMENTOSPRODUTOS"), QStringLiteral("CODMOVIMENTO"), campos::Mov)),
      UpItensMov(zk::UpdateSql::derive(QStringLiteral("ITENSMOVIMENTOPROD"), QStringLiteral("CODITEMMOVIMENTO"),
                                       campos::ItensMov)),
      UpConf(zk::UpdateSql::derive(QStringLiteral("CONFIGURACOES"), QStringLiteral("CODCONFIGURACOES"), campos::Conf)),
      QMesas(QStringLiteral("QMesas"), TsCAd, campos::Mesas, {QStringLiteral("select * from MESAS")}),
      QPesqMesa(QStringLiteral("QPesqMesa"), Ts, campos::PesqMesa,
                {QStringLiteral("SELECT * FROM SPMESAS"), QStringLiteral("ORDER BY DESCRICAO")}),
      QPesqProdutos(QStringLiteral("QPesqProdutos"), Ts, campos::PesqProdutos,
                    {QStringLiteral("SELECT * FROM SPPRODUTOSPORTIPO('%','DE')"), QStringLiteral("ORDER BY DESCRICAO")}),
      Qgrupos(QStringLiteral("Qgrupos"), Ts, campos::Grupos,
              {QStringLiteral("select * from grupo"), QStringLiteral("where status='A'")}),
      QMov(QStringLiteral("QMov"), TsMov, campos::Mov, selectMovInicial),
      QItensMov(QStringLiteral("QItensMov"), TsMov, campos::ItensMov,
                {QStringLiteral("select * from ITENSMOVIMENTOPROD"), QStringLiteral("WHERE CODMOVIMENTO=:CODMOVIMENTO")}),
      QTotal(QStringLiteral("QTotal"), TsMov, campos::Total, {QStringLiteral("SELECT * FROM TOTALMOV(:CODMOVIMENTO)")}),
      QSpItens(QStringLiteral("QSpItens"), TsMov, campos::SpItens,
               {QStringLiteral("SELECT * FROM SPITENSMOV(:CODMOVIMENTO)")}),
      QConf(QStringLiteral("QConf"), Ts, campos::Conf, {QStringLiteral("select * from CONFIGURACOES")}),
      instalacao_(std::move(instalacao))
{
    const zk::Query::Hook aplica = [this](zk::Query& q) { Aplica(q); };
    QMesas.setUpdateSql(&UpMesas);
    QMesas.setKeyFromServer(QStringLiteral("CODMESA")); // the server's trigger replaces the 0 sent
    QMesas.afterInsert = [this](zk::Query& q) { QMesasAfterInsert(q); };
    QMesas.afterPost = aplica;
    QMesas.afterDelete = aplica;

    QMov.setUpdateSql(&UpMov);
    QMov.setGenerator(QStringLiteral("CODMOVIMENTO"), QStringLiteral("GEN_MOVIMENTOSPRODUTOS"));
    QMov.afterInsert = [this](zk::Query& q) { QMovAfterInsert(q); };
    QMov.afterPost = aplica; // no after-delete: a deleted movement goes with the next apply

    QItensMov.setUpdateSql(&UpItensMov);
    QItensMov.setGenerator(QStringLiteral("CODITEMMOVIMENTO"), QStringLiteral("GEN_ITENSMOVIMENTOPROD"));
    QItensMov.setMaster(&QMov);
    QItensMov.afterInsert = [this](zk::Query& q) { QItensMovAfterInsert(q); };
    QItensMov.afterPost = aplica;
    QItensMov.afterDelete = aplica;

    QTotal.setMaster(&QMov);
    QSpItens.setMaster(&QMov);
    QConf.setUpdateSql(&UpConf);

    Db.setDatabaseName(NomePadrao);
    Db.setObserver(observador);
    Db.onLost = [this] { QuandoPerdida(); };
    Db.onConnected = [this] { AssinaPisoVivo(); };
    QPesqMesa.afterOpen = [this](zk::Query&) { pisoDesatualizado_ = false; };
    zk::fb::loadClient();
    zk::runReported([this] { DataModuleCreate(); });
}

TDm::~TDm()
{
    Db.onLost = nullptr;
    Db.onConnected = nullptr;
    pisoVivo_.reset(); // told to the server while the connection is there
    for (zk::Query* q : {&QMesas, &QPesqMesa, &QPesqProdutos, &Qgrupos, &QMov, &QItensMov, &QTotal, &QSpItens, &QConf})
        q->release();
    zk::runReported([this] { PisoAlterado.Libera(); });
    for (zk::fb::Transaction* t : {&Ts, &TsCAd, &TsMov}) {
        if (t->active())
            zk::runReported([t] { t->commit(); });
    }
    zk::runReported([this] { Db.disconnect(); });
}

void TDm::DataModuleCreate()
{
    Configuracao cfg = LeConfiguracao();
    MODO = cfg.MODO;
    zk::runReported([this] { Db.setDeadline(LePrazo()); }); // a value it cannot use keeps the default
    Db.setDatabaseName(NomeDoBanco(cfg));
    Db.params() = {QStringLiteral("user_name=SYSDBA"),
                   QStringLiteral("password=") + Decodifica(cfg.SENHA, DeslocamentoSenha)};
    Db.connect();
    for (zk::Query* q : {&QMesas, &QMov, &QItensMov, &QTotal, &QSpItens, &QConf})
        q->open();
}

TDm::Configuracao TDm::LeConfiguracao()
{
    if (!QFile::exists(CaminhoIni()) && instalacao_)
        instalacao_();
    Configuracao cfg;
    const QString secao = QStringLiteral("Dados");
    cfg.MODO = LerIni(secao, QStringLiteral("MODO"));
    cfg.IP = LerIni(secao, QStringLiteral("IP"));
    cfg.UNIDADE = LerIni(secao, QStringLiteral("UNIDADE"));
    cfg.SENHA = LerIni(secao, QStringLiteral("SENHA"));
    cfg.TIPOSERVIDOR = LerIni(secao, QStringLiteral("TIPOSERVIDOR"));
    cfg.DIR = LerIni(secao, QStringLiteral("DIR"));
    return cfg;
}

QString TDm::NomeDoBanco(const Configuracao& cfg)
{
    // The parts are joined as they are: a "C:\" drive and a "\zenobra" folder give "C:\\zenobra".
    if (cfg.TIPOSERVIDOR == u"W")
        return cfg.IP + cfg.UNIDADE + cfg.DIR + QStringLiteral("\\Dados\\zenobra.gdb");
    if (cfg.TIPOSERVIDOR == u"L")
        return cfg.IP + cfg.DIR + QStringLiteral("/zenobra/dados/zenobra.gdb");
    return NomePadrao;
}

void TDm::Confirma(zk::fb::Transaction& transacao)
{
    transacao.ensureStarted();
    try {
        transacao.commitRetaining();
    } catch (const zk::DatabaseError& e) {
        // A commit the server refused leaves nothing of what it was to make permanent: kept,
        // it would go unseen with the next save's commit, after the waiter was told it failed.
        if (!e.connectionLost())
            try {
                transacao.rollbackRetaining();
            } catch (const zk::Error&) {
            }
        throw;
    }
}

void TDm::AbreMovimento(int codigo)
{
    QMov.close(); // drops its cached changes, a pending deletion included
    QMov.setSql({QStringLiteral("SELECT * FROM MOVIMENTOSPRODUTOS"), QStringLiteral("WHERE CODMOVIMENTO=") + QString::number(codigo)});
    QMov.open();
    QItensMov.open();
    QSpItens.open();
    QTotal.open();
    QSpItens.last();
    QSpItens.first();
}

void TDm::FiltraProdutos(const QString& condicao)
{
    QPesqProdutos.close();
    QPesqProdutos.setSql({QStringLiteral("SELECT * FROM SPPRODUTOSPORTIPO(") + stringLiteral(QStringLiteral("%")) + u',' +
                              stringLiteral(QStringLiteral("DE")) + u')',
                          condicao, QStringLiteral("ORDER BY DESCRICAO")});
    QPesqProdutos.open();
    QPesqProdutos.last();
    QPesqProdutos.first();
}

namespace {
// The first row of a select run once on a transaction, its columns decoded; empty when none.
QVariantList primeiraLinha(zk::fb::Transaction& transacao, const QString& sql, const QVariantList& parametros)
{
    transacao.ensureStarted();
    zk::fb::Statement statement(transacao, sql);
    return statement.open(transacao, parametros)->next().value_or(QVariantList());
}

QString semBrancos(const QVariant& texto) { return texto.toString().trimmed(); }
} // namespace

TDm::MesaNoServidor TDm::SeguraMesa(int codMesa)
{
    Db.ensureConnected();
    try {
        const QVariantList linha = primeiraLinha(
            TsCAd, QStringLiteral("SELECT STATUS, CODMOVIMENTO, DESCRICAO FROM MESAS WHERE CODMESA = :CODMESA WITH LOCK"),
            {codMesa});
        if (linha.isEmpty())
            return {MesaNoServidor::Inexistente, {}, {}, {}};
        return {MesaNoServidor::Existe, semBrancos(linha[0]), linha[1], linha[2]};
    } catch (const zk::DatabaseError& e) {
        if (e.lockConflict())
            return {MesaNoServidor::Presa, {}, {}, {}}; // another terminal is writing it right now
        throw;
    }
}

bool TDm::MesaEmDia(const MesaNoServidor& agora)
{
    return !QMesas.isEmpty() && semBrancos(QMesas.fieldByName(QStringLiteral("STATUS")).value()) == agora.status &&
           QMesas.fieldByName(QStringLiteral("CODMOVIMENTO")).value() == agora.codMovimento &&
           QMesas.fieldByName(QStringLiteral("DESCRICAO")).value() == agora.descricao;
}

bool TDm::LocalizaMesa(int codMesa)
{
    const QString chave = QStringLiteral("CODMESA");
    if (QMesas.locate(chave, codMesa))
        return true;
    QMesas.reopen();
    return QMesas.locate(chave, codMesa);
}

void TDm::PoeMesaEmDia(int codMesa, const MesaNoServidor& agora)
{
    if (MesaEmDia(agora))
        return;
    QMesas.reopen();
    QMesas.locate(QStringLiteral("CODMESA"), codMesa);
}

TDm::MesaOcupada TDm::LeMesaOcupada(int codMesa)
{
    const QVariantList linha = primeiraLinha(
        TsMov,
        QStringLiteral("SELECT m.STATUS, m.CODMOVIMENTO, v.CODMOVIMENTO, v.SITUACAO FROM MESAS m "
                       "LEFT JOIN MOVIMENTOSPRODUTOS v ON v.CODMOVIMENTO = m.CODMOVIMENTO WHERE m.CODMESA = :CODMESA"),
        {codMesa});
    if (linha.isEmpty())
        return {false, {}, {}, {}};
    const bool temComanda = !linha[2].isNull();
    return {true, semBrancos(linha[0]), linha[1], temComanda ? std::optional(linha[3]) : std::nullopt};
}

std::optional<QVariant> TDm::SituacaoDaComanda(const QVariant& codMovimento)
{
    const QVariantList linha = primeiraLinha(
        TsMov, QStringLiteral("SELECT SITUACAO FROM MOVIMENTOSPRODUTOS WHERE CODMOVIMENTO = :CODMOVIMENTO"),
        {codMovimento.isNull() ? QVariant(0) : codMovimento});
    return linha.isEmpty() ? std::nullopt : std::optional(linha[0]);
}

void TDm::DesfazReserva()
{
    if (TsCAd.active())
        TsCAd.commitRetaining();
}

void TDm::QMesasAfterInsert(zk::Query& q)
{
    q.fieldByName(QStringLiteral("CODMESA")).setInteger(0);
    q.fieldByName(QStringLiteral("STATUS")).setString(QStringLiteral("L"));
}

void TDm::QMovAfterInsert(zk::Query& q)
{
    const QDateTime agora = Relogio();
    q.fieldByName(QStringLiteral("DATA")).setDate(agora.date());
    q.fieldByName(QStringLiteral("HORA")).setTime(agora.time());
    q.fieldByName(QStringLiteral("TIPO")).setString(QStringLiteral("VE"));
    q.fieldByName(QStringLiteral("SITUACAO")).setString(QStringLiteral("A"));
    q.fieldByName(QStringLiteral("CODFILIAL")).setInteger(QConf.fieldByName(QStringLiteral("FILIALPADRAO")).asInteger());
    QString conta = QConf.fieldByName(QStringLiteral("CONTAVENDA")).asString();
    if (!conta.isEmpty())
        q.fieldByName(QStringLiteral("CODIGOCONTABIL")).setString(conta);
}

void TDm::QItensMovAfterInsert(zk::Query& q)
{
    q.fieldByName(QStringLiteral("CODMOVIMENTO")).setInteger(QMov.fieldByName(QStringLiteral("CODMOVIMENTO")).asInteger());
    q.fieldByName(QStringLiteral("BAIXADO")).setString(QStringLiteral("N"));
}

// A change waits while a lost connection is being recovered: it would reach the server before
// what the terminal had sent earlier (see Retoma).
void TDm::Aplica(zk::Query& q)
{
    if (recuperacaoPendente_)
        throw zk::DatabaseError(zk::fb::connectionLostText(QString()), zk::DatabaseError::Cause::ConnectionLost);
    q.applyUpdates();
}

// Once there is a connection to copy: the watch keeps its own, and asks again by itself after
// every failure. A server whose port for events is closed by a firewall leaves the floor as
// it always was, read again at its usual moments only, and nothing waits for it.
void TDm::AssinaPisoVivo()
{
    if (pisoVivo_)
        return;
    pisoVivo_ = std::make_unique<zk::fb::EventWatch>(
        zk::fb::EventWatch::Connection{Db.databaseName(), Db.params(), Db.deadline()}, QByteArrayLiteral("ZENOBRA_MESAS"),
        [this] {
            pisoDesatualizado_ = true;
            if (QuandoPisoMuda)
                QuandoPisoMuda();
        });
}

bool TDm::PisoVivoAtivo() const { return pisoVivo_ && pisoVivo_->registered(); }

std::chrono::milliseconds TDm::LePrazo()
{
    const QString texto = LerIni(QStringLiteral("KOVA"), QStringLiteral("PRAZO"));
    if (texto.trimmed().isEmpty())
        return zk::fb::Attachment::defaultDeadline;
    bool numero = false;
    const int segundos = texto.trimmed().toInt(&numero);
    if (!numero || segundos < PrazoMinimo || segundos > PrazoMaximo)
        throw zk::ConversionError(QStringLiteral("'%1' não é um prazo válido para o servidor: PRAZO, na seção KOVA, vai "
                                                 "de %2 a %3 segundos. O programa usa %4 segundos.")
                                      .arg(texto)
                                      .arg(PrazoMinimo)
                                      .arg(PrazoMaximo)
                                      .arg(zk::fb::Attachment::defaultDeadline.count() / 1000));
    return std::chrono::seconds(segundos);
}

bool TDm::MesclaPiso()
{
    if (!PisoAlterado.Mescla(QPesqMesa))
        return false;
    pisoDesatualizado_ = false;
    return true;
}

// ---- after a lost connection ----------------------------------------------------------

void TDm::IniciaAbertura(int codMesa, int codMovimento) { abertura_ = Abertura{codMesa, codMovimento}; }

void TDm::ConcluiAbertura() { abertura_.reset(); }

// The movement of an opening that did not reach its table goes: no order stays without its
// table. Nothing can have been added to it: its ticket never opened.
void TDm::DesfazAbertura()
{
    if (!abertura_)
        return;
    TsMov.ensureStarted();
    zk::fb::Statement(TsMov, QStringLiteral("DELETE FROM MOVIMENTOSPRODUTOS WHERE CODMOVIMENTO = :CODMOVIMENTO"))
        .execute(TsMov, {abertura_->codMovimento});
    TsMov.commitRetaining();
    abertura_.reset();
}

void TDm::QuandoPerdida()
{
    recuperacaoPendente_ = true;
    RecolhePendentes();
    qCWarning(lcDb) << "connection to the server lost;" << pendentes_.size() << "change(s) held for the reconnect";
}

// What the server may not hold yet: sent and not committed, or still waiting in a cache.
void TDm::RecolhePendentes()
{
    for (zk::Query* q : {&QMov, &QItensMov, &QMesas}) {
        for (zk::Query::Change& change : q->takeUnconfirmed()) {
            const bool known = std::any_of(pendentes_.begin(), pendentes_.end(), [&](const Pendente& p) {
                return p.recordSet == q && p.change.sameAs(change);
            });
            if (!known)
                pendentes_.push_back({q, std::move(change)});
        }
    }
}

// The server may not have noticed yet that an earlier connection of this terminal is gone
// (a network that went silent tells it nothing); ended now, its uncommitted work is undone
// and its locks let go before anything is asked about it. One that could not be ended yet is
// tried again at the next recovery.
void TDm::EncerraConexoesPerdidas()
{
    const std::vector<qint64> perdidas = Db.lostConnectionIds();
    if (perdidas.empty())
        return;
    TsCAd.ensureStarted();
    zk::fb::Statement encerra(TsCAd, QStringLiteral("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = :ID"));
    for (qint64 id : perdidas) {
        encerra.execute(TsCAd, {id});
        Db.lostConnectionEnded(id);
    }
}

// An opening left halfway stays only if its table already points at its movement.
void TDm::ResolveAbertura()
{
    if (!abertura_)
        return;
    const auto [codMesa, codMovimento] = *abertura_;
    const QVariantList mesa =
        primeiraLinha(TsCAd, QStringLiteral("SELECT CODMOVIMENTO FROM MESAS WHERE CODMESA = :CODMESA"), {codMesa});
    const bool concluida = !mesa.isEmpty() && mesa.front() == QVariant(codMovimento);
    // Its own steps are settled here, whichever way it went.
    std::erase_if(pendentes_, [&](const Pendente& p) {
        return (p.recordSet == &QMov && p.change.value(QStringLiteral("CODMOVIMENTO")) == QVariant(codMovimento)) ||
               (p.recordSet == &QMesas && p.change.value(QStringLiteral("CODMESA")) == QVariant(codMesa));
    });
    if (concluida)
        abertura_.reset();
    else
        DesfazAbertura();
}

// Each change once on the server, in the order of the record sets (a movement before its
// lines); answers how many could not go. A row held elsewhere is left for the next touch.
int TDm::GravaPendentes()
{
    int naoGravadas = 0;
    for (const Pendente& p : pendentes_) {
        try {
            if (p.recordSet == &QItensMov && LinhaForaDeComandaAberta(p.change)) {
                ++naoGravadas;
                continue;
            }
            const zk::Query::Resolution r = p.recordSet->resolve(p.change);
            if (r != zk::Query::Resolution::AlreadyThere && r != zk::Query::Resolution::Sent)
                ++naoGravadas;
        } catch (const zk::DatabaseError& e) {
            if (!e.lockConflict())
                throw;
            // The lost connection's transaction is still being undone on the server (or another
            // terminal holds the row): nothing was written twice, and the next touch tries again.
            throw zk::DatabaseError(
                zk::fb::connectionLostText(QStringLiteral("O servidor ainda segura o que a conexão perdida gravava.")),
                zk::DatabaseError::Cause::ConnectionLost, e.codes());
        }
    }
    return naoGravadas;
}

// A line goes into, or out of, an order still open only, as at the ticket: an order billed or
// cancelled during the outage refuses it, unless the server already holds the change.
bool TDm::LinhaForaDeComandaAberta(const zk::Query::Change& change)
{
    if (atendimento::EstadoDe(SituacaoDaComanda(change.value(QStringLiteral("CODMOVIMENTO")))) ==
        atendimento::Comanda::Aberta)
        return false;
    const bool linhaNoServidor =
        !primeiraLinha(TsMov, QStringLiteral("SELECT 1 FROM ITENSMOVIMENTOPROD WHERE CODITEMMOVIMENTO = :CODITEMMOVIMENTO"),
                       {change.value(QStringLiteral("CODITEMMOVIMENTO"))})
             .isEmpty();
    switch (change.kind) {
    case zk::UpdateSql::Insert: return !linhaNoServidor;
    case zk::UpdateSql::Delete: return linhaNoServidor;
    case zk::UpdateSql::Modify: break;
    }
    return true;
}

TDm::Recuperacao TDm::Recupera()
{
    RecolhePendentes(); // changes made since the loss, such as a grid row that could not go
    Db.ensureConnected();
    EncerraConexoesPerdidas();
    const bool emDuvida = abertura_ || !pendentes_.empty();
    ResolveAbertura();
    const int naoGravadas = GravaPendentes();
    Confirma(TsMov);
    Confirma(TsCAd);
    pendentes_.clear();
    recuperacaoPendente_ = false;
    return {emDuvida, naoGravadas};
}

// Read again, each on the row it was on where that row still exists.
void TDm::ReleOQueSeVe()
{
    for (zk::Query* mesas : {&QPesqMesa, &QMesas})
        if (mesas->active())
            mesas->reopenKeepingRow(QStringLiteral("CODMESA"));
    if (!QMov.active())
        return;
    const QVariant item = QSpItens.active() && !QSpItens.isEmpty()
                              ? QSpItens.fieldByName(QStringLiteral("CODITEMMOVIMENTO")).value()
                              : QVariant();
    if (QMov.isEmpty())
        QMov.reopen();
    else
        AbreMovimento(QMov.fieldByName(QStringLiteral("CODMOVIMENTO")).asInteger());
    if (!item.isNull())
        QSpItens.locate(QStringLiteral("CODITEMMOVIMENTO"), item);
}

bool TDm::Retoma()
{
    if (!recuperacaoPendente_)
        return false;
    const Recuperacao feita = [this] {
        try {
            return Recupera();
        } catch (const zk::Error& e) {
            qCWarning(lcDb).noquote() << "reconnect failed:" << e.text();
            throw;
        }
    }();
    if (feita.naoGravadas > 0)
        qCWarning(lcDb) << "reconnected;" << feita.naoGravadas << "change(s) made before the loss could not be saved";
    else
        qCInfo(lcDb) << "reconnected;" << (feita.emDuvida ? "every held change is on the server once" : "nothing was held");
    ReleOQueSeVe();
    if (feita.naoGravadas > 0)
        throw zk::Error(NaoGravadas(feita.naoGravadas));
    if (feita.emDuvida) {
        // What was being sent when the connection went is now on the screen, saved: the touch
        // does nothing more, or the waiter could add a line that was saved after all again.
        Mensagem(QStringLiteral("A conexão com o servidor voltou. A tela foi atualizada: confira e continue."));
        throw zk::SilentStop();
    }
    return true;
}
