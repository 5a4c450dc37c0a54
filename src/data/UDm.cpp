#include "UDm.h"

#include "Campos.h"
#include "Statement.h"
#include "Ufuncoes.h"

#include <QDate>
#include <QFile>
#include <QTime>

const QString TDm::NomePadrao = QStringLiteral("h:\\Zenobra\\Dados\\Zenobra.GDB");

namespace {
QString stringLiteral(const QString& text) { return u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\''; }

const QStringList selectMovInicial{QStringLiteral("select * from MOVIMENTOSPRODUTOS"),
                                   QStringLiteral("where codmovimento is null")};
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
    QMesas.setUpdateSql(&UpMesas);
    QMesas.afterInsert = [this](zk::Query& q) { QMesasAfterInsert(q); };
    QMesas.afterPost = Aplica;
    QMesas.afterDelete = Aplica;

    QMov.setUpdateSql(&UpMov);
    QMov.setGenerator(QStringLiteral("CODMOVIMENTO"), QStringLiteral("GEN_MOVIMENTOSPRODUTOS"));
    QMov.afterInsert = [this](zk::Query& q) { QMovAfterInsert(q); };
    QMov.afterPost = Aplica; // no after-delete: a deleted movement goes with the next apply

    QItensMov.setUpdateSql(&UpItensMov);
    QItensMov.setGenerator(QStringLiteral("CODITEMMOVIMENTO"), QStringLiteral("GEN_ITENSMOVIMENTOPROD"));
    QItensMov.setMaster(&QMov);
    QItensMov.afterInsert = [this](zk::Query& q) { QItensMovAfterInsert(q); };
    QItensMov.afterPost = Aplica;
    QItensMov.afterDelete = Aplica;

    QTotal.setMaster(&QMov);
    QSpItens.setMaster(&QMov);
    QConf.setUpdateSql(&UpConf);

    Db.setDatabaseName(NomePadrao);
    Db.setObserver(observador);
    zk::fb::Client::instance();
    zk::runReported([this] { DataModuleCreate(); });
}

TDm::~TDm()
{
    for (zk::Query* q : {&QMesas, &QPesqMesa, &QPesqProdutos, &Qgrupos, &QMov, &QItensMov, &QTotal, &QSpItens, &QConf})
        q->release();
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
    if (!transacao.active())
        transacao.start();
    transacao.commitRetaining();
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

TDm::Reserva TDm::ReservaMesa(int codMesa)
{
    Db.ensureConnected();
    if (!TsCAd.active())
        TsCAd.start();
    try {
        zk::fb::Statement lock(TsCAd, QStringLiteral("SELECT STATUS FROM MESAS WHERE CODMESA = :CODMESA WITH LOCK"));
        auto cursor = lock.open(TsCAd, {codMesa});
        auto row = cursor->layout().newBuffer();
        if (!cursor->fetch(row.get()))
            return Reserva::Inexistente;
        return zk::fb::decode(cursor->layout().columns().front(), row.get()).toString() == u"L" ? Reserva::Livre
                                                                                               : Reserva::Ocupada;
    } catch (const zk::DatabaseError& e) {
        if (e.lockConflict())
            return Reserva::Ocupada; // another terminal is opening it right now
        throw;
    }
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
    q.fieldByName(QStringLiteral("DATA")).setDate(QDate::currentDate());
    q.fieldByName(QStringLiteral("HORA")).setTime(QTime::currentTime());
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

void TDm::Aplica(zk::Query& q) { q.applyUpdates(); }
