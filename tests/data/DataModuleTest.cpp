// The data module on a copy of the sample bar: connection settings, the record sets of
// start-up, order records with their generated keys and defaults, the catalogue and the
// end of the program.

#include "base/Ufuncoes.h"
#include "data/UDm.h"
#include "support/ErrorLog.h"
#include "support/ErrorOf.h"
#include "support/SampleBar.h"
#include "support/StatementLog.h"
#include "support/TempIni.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <chrono>
#include <utility>

namespace {

// ---- database name and credentials ---------------------------------------------------------

struct NameCase {
    const char* tipo;
    const char* ip;
    const char* unidade;
    const char* dir;
    const char* name;
    friend std::ostream& operator<<(std::ostream& os, const NameCase& c) { return os << c.name; }
};
class DatabaseName : public testing::TestWithParam<NameCase> {};
TEST_P(DatabaseName, IsBuiltFromTheSettingsAsTheyAre)
{
    const NameCase& c = GetParam();
    TDm::Configuracao cfg{"", c.ip, c.unidade, "", c.tipo, c.dir};
    EXPECT_EQ(TDm::NomeDoBanco(cfg), QString::fromUtf8(c.name));
}
INSTANTIATE_TEST_SUITE_P(
    Settings, DatabaseName,
    testing::Values(NameCase{"W", "", "C:\\", "\\zenobra", "C:\\\\zenobra\\Dados\\zenobra.gdb"},
                    NameCase{"W", "192.168.0.10:", "C:\\", "\\zenobra", "192.168.0.10:C:\\\\zenobra\\Dados\\zenobra.gdb"},
                    NameCase{"L", "192.168.0.10:", "C:\\", "/", "192.168.0.10://zenobra/dados/zenobra.gdb"},
                    NameCase{"W", ":", "C:\\", "\\zenobra", ":C:\\\\zenobra\\Dados\\zenobra.gdb"},
                    NameCase{"w", "", "C:\\", "\\zenobra", "h:\\Zenobra\\Dados\\Zenobra.GDB"},
                    NameCase{"l", "", "", "/", "h:\\Zenobra\\Dados\\Zenobra.GDB"},
                    NameCase{"", "", "", "", "h:\\Zenobra\\Dados\\Zenobra.GDB"}));

TEST(DataModuleStart, ConnectsWithTheBuiltNameAndExactlyTwoParameters)
{
    TempIni ini;
    ini.write("[DADOS]\r\nMODO=SERVIDOR\r\nIP=\r\nUNIDADE=C:\\\r\nTIPOSERVIDOR=W\r\nDIR=\\zenobra\r\n");
    GravarIni("DADOS", "SENHA", Codifica(QStringLiteral("segredo ç"), DeslocamentoSenha));
    ErrorLog errors;
    TDm dm;
    EXPECT_EQ(dm.Db.databaseName(), "C:\\\\zenobra\\Dados\\zenobra.gdb");
    EXPECT_EQ(dm.Db.params(), QStringList({"user_name=SYSDBA", QStringLiteral("password=segredo ç")}));
    EXPECT_EQ(dm.MODO, "SERVIDOR");
    ASSERT_EQ(errors.messages.size(), 1) << "the connection failure is reported once, and nothing else";
    EXPECT_FALSE(dm.Db.connected());
    EXPECT_FALSE(dm.QMesas.active());
}

// The deadline of every call to the server, from the settings: a value it cannot use is told
// once, with the range, and the default holds.
struct DeadlineCase {
    const char* prazo;
    int seconds;
    bool told;
    friend std::ostream& operator<<(std::ostream& os, const DeadlineCase& c) { return os << '"' << c.prazo << '"'; }
};
class DeadlineSetting : public testing::TestWithParam<DeadlineCase> {};
TEST_P(DeadlineSetting, IsTakenFromTheSettingsWithinItsRange)
{
    const DeadlineCase& c = GetParam();
    TempIni ini;
    ini.write(QByteArray("[DADOS]\r\nTIPOSERVIDOR=L\r\nIP=\r\nDIR=/nenhum\r\n[KOVA]\r\nPRAZO=") + c.prazo + "\r\n");
    ErrorLog errors;
    TDm dm;
    EXPECT_EQ(dm.Db.deadline(), std::chrono::milliseconds(c.seconds * 1000));
    const QString told = QStringLiteral("'%1' não é um prazo válido para o servidor: PRAZO, na seção KOVA, vai de 1 a 60 "
                                        "segundos. O programa usa 5 segundos.")
                             .arg(QString::fromUtf8(c.prazo));
    EXPECT_EQ(errors.messages.contains(told), c.told) << errors.messages.join('\n').toStdString();
}
INSTANTIATE_TEST_SUITE_P(Values, DeadlineSetting,
                         testing::Values(DeadlineCase{"", 5, false}, DeadlineCase{"1", 1, false},
                                         DeadlineCase{" 60 ", 60, false}, DeadlineCase{"12", 12, false},
                                         DeadlineCase{"0", 5, true}, DeadlineCase{"61", 5, true},
                                         DeadlineCase{"-3", 5, true}, DeadlineCase{"cinco", 5, true},
                                         DeadlineCase{"2.5", 5, true}));

TEST(DataModuleStart, WithoutSettingsFileTheInstallationRunsThenEverythingReadsEmpty)
{
    TempIni ini;
    ErrorLog errors;
    bool installationShown = false;
    TDm dm([&] { installationShown = true; });
    EXPECT_TRUE(installationShown);
    EXPECT_EQ(dm.Db.databaseName(), TDm::NomePadrao);
    EXPECT_EQ(dm.Db.params(), QStringList({"user_name=SYSDBA", "password="}));
    EXPECT_FALSE(ini.exists()) << "reading a missing file never creates it";
}

TEST(DataModuleStart, ReconnectsWhenARecordSetIsOpenedAfterAFailedStart)
{
    SampleBar bar;
    bar.install();
    GravarIni("DADOS", "DIR", bar.db->folder() + "/missing");
    TDm dm;
    ASSERT_EQ(bar.errors.messages.size(), 1);
    EXPECT_EQ(errorOf([&] { dm.QPesqMesa.open(); }).section('\n', 0, 0), bar.errors.messages[0].section('\n', 0, 0))
        << "the same connection error again";
    dm.Db.setDatabaseName(bar.db->connectionName());
    dm.QPesqMesa.open();
    EXPECT_TRUE(dm.Ts.active());
    dm.QPesqMesa.last();
    EXPECT_EQ(dm.QPesqMesa.recordCount(), 30);
}

// ---- on the sample bar -------------------------------------------------------------------------

class DataModuleTest : public testing::Test, protected SampleBar {
protected:
    void SetUp() override
    {
        install();
        dm = std::make_unique<TDm>(TDm::Instalacao{}, &log);
    }
    void TearDown() override { dm.reset(); }

    zk::Field& mov(const char* name) { return dm->QMov.fieldByName(name); }
    zk::Field& item(const char* name) { return dm->QItensMov.fieldByName(name); }

    StatementLog log; // handed to the module, so it sees start-up too
    std::unique_ptr<TDm> dm;
};

TEST_F(DataModuleTest, StartUpOpensSixRecordSetsAndTheDetailsRunWithANullCode)
{
    for (zk::Query* q : {&dm->QMesas, &dm->QMov, &dm->QItensMov, &dm->QTotal, &dm->QSpItens, &dm->QConf})
        EXPECT_TRUE(q->active()) << q->name().toStdString();
    for (zk::Query* q : {&dm->QPesqMesa, &dm->QPesqProdutos, &dm->Qgrupos})
        EXPECT_FALSE(q->active()) << q->name().toStdString();
    EXPECT_TRUE(dm->QMov.isEmpty());
    EXPECT_TRUE(dm->QItensMov.isEmpty());
    EXPECT_TRUE(dm->QTotal.isEmpty());
    EXPECT_TRUE(dm->QSpItens.isEmpty());
    EXPECT_TRUE(dm->TsCAd.active() && dm->TsMov.active() && dm->Ts.active());

    EXPECT_EQ(log.summary(), QStringList({"select * from MESAS", "select * from MOVIMENTOSPRODUTOS",
                                          "select * from ITENSMOVIMENTOPROD", "SELECT * FROM TOTALMOV(?)",
                                          "SELECT * FROM SPITENSMOV(?)", "select * from CONFIGURACOES"})
                                 .replaceInStrings("(?)", "(:CODMOVIMENTO)"));
    for (int i : {2, 3, 4}) {
        EXPECT_EQ(log.entries[i].transaction, "TsMov");
        EXPECT_FALSE(log.entries[i].param("CODMOVIMENTO").isValid()) << "NULL code for " << i;
    }
    EXPECT_EQ(log.entries[1].sql, "select * from MOVIMENTOSPRODUTOS\r\nwhere codmovimento is null\r\n");
    EXPECT_EQ(errorOf([&] { dm->QMov.remove(); }), "QMov: Cannot perform this operation on an empty dataset");
}

TEST_F(DataModuleTest, NewMovementTakesOneKeyAndSendsOneInsertWithItsDefaults)
{
    const QDateTime instant(QDate(2026, 12, 10), QTime(21, 30, 15));
    dm->Relogio = [&] { return instant; };
    log.clear();
    dm->QMov.append();
    ASSERT_EQ(log.summary().value(0), "SELECT GEN_ID(\"GEN_MOVIMENTOSPRODUTOS\", 1) FROM RDB$DATABASE");
    EXPECT_EQ(mov("CODMOVIMENTO").asInteger(), 105);
    EXPECT_EQ(dm->QItensMov.recordCount(), 0) << "the details follow the new row";
    log.clear();
    dm->QMov.post();
    auto inserts = log.starting("insert into MOVIMENTOSPRODUTOS");
    ASSERT_EQ(inserts.size(), 1u);
    const SentStatement& insert = inserts[0];
    EXPECT_EQ(insert.params.size(), 30u);
    EXPECT_EQ(insert.param("CODMOVIMENTO"), 105);
    EXPECT_EQ(insert.param("CODIGOCONTABIL"), "3.1.01.001");
    EXPECT_EQ(insert.param("CODFILIAL"), 1);
    EXPECT_EQ(insert.param("DATA"), instant.date());
    EXPECT_EQ(insert.param("TIPO"), "VE");
    EXPECT_EQ(insert.param("SITUACAO"), "A");
    EXPECT_EQ(insert.param("HORA"), instant.time());
    int nulls = 0;
    for (const auto& [name, value] : insert.params)
        nulls += !value.isValid();
    EXPECT_EQ(nulls, 23);

    dm->TsMov.commitRetaining();
    EXPECT_EQ(db->rows("select TIPO, SITUACAO, CODFILIAL from MOVIMENTOSPRODUTOS where CODMOVIMENTO = 105"),
              (QList<QVariantList>{{"VE", "A", 1}}));
}

class SettingsRecordTest : public DataModuleTest, public testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {}
};
// An order opened on the stroke of midnight is dated by one reading of the clock: never the
// old day with the new day's time.
TEST_F(DataModuleTest, NewMovementDateAndTimeNameOneInstantAcrossMidnight)
{
    const QDateTime lastMoment(QDate(2026, 12, 31), QTime(23, 59, 59, 999));
    QDateTime now = lastMoment;
    dm->Relogio = [&] { return std::exchange(now, now.addMSecs(1)); };
    dm->QMov.append();
    EXPECT_EQ(mov("DATA").asDate(), QDate(2026, 12, 31));
    EXPECT_EQ(mov("HORA").asTime(), QTime(23, 59, 59, 999));
    dm->QMov.cancel();
}

TEST_P(SettingsRecordTest, NewMovementFallsBackToBranchZeroAndNoAccount)
{
    db->exec(GetParam());
    DataModuleTest::SetUp();
    log.clear();
    dm->QMov.append();
    dm->QMov.post();
    auto insert = log.starting("insert into MOVIMENTOSPRODUTOS").at(0);
    EXPECT_EQ(insert.param("CODFILIAL"), 0);
    EXPECT_FALSE(insert.param("CODIGOCONTABIL").isValid());
}
INSTANTIATE_TEST_SUITE_P(Empty, SettingsRecordTest,
                         testing::Values("delete from CONFIGURACOES",
                                         "update CONFIGURACOES set FILIALPADRAO = null, CONTAVENDA = ''",
                                         "update CONFIGURACOES set FILIALPADRAO = null, CONTAVENDA = null"));

TEST_F(DataModuleTest, SettingsTableWithSeveralRowsGivesItsFirst)
{
    dm.reset();
    db->exec("insert into CONFIGURACOES (CODCONFIGURACOES, FILIALPADRAO, CONTAVENDA) values (99, 7, '9.9')");
    auto first = db->rows("select FILIALPADRAO, CONTAVENDA from CONFIGURACOES").at(0);
    DataModuleTest::SetUp();
    dm->QMov.append();
    EXPECT_EQ(mov("CODFILIAL").asInteger(), first[0].toInt());
    EXPECT_EQ(mov("CODIGOCONTABIL").asString(), first[1].toString());
}

TEST_F(DataModuleTest, NewOrderLineTakesTheMovementsCodeAndIsVisibleOnlyAfterTheCommit)
{
    dm->AbreMovimento(101);
    log.clear();
    dm->QItensMov.append();
    EXPECT_EQ(log.summary(), QStringList({"SELECT GEN_ID(\"GEN_ITENSMOVIMENTOPROD\", 1) FROM RDB$DATABASE"}));
    EXPECT_EQ(item("CODITEMMOVIMENTO").asInteger(), 516);
    EXPECT_EQ(item("CODMOVIMENTO").asInteger(), 101);
    EXPECT_EQ(item("BAIXADO").asString(), "N");
    item("CODUNIDADE").setInteger(1);
    item("CODPRODUTO").setInteger(1007);
    item("CODTABELA").setInteger(1007);
    item("VALOR").setFloat(8.9);
    item("QTD").setFloat(2);
    log.clear();
    dm->QItensMov.post();
    ASSERT_EQ(log.summary(), QStringList({"insert into ITENSMOVIMENTOPROD"}));
    EXPECT_EQ(log.entries[0].params.size(), 31u);
    EXPECT_EQ(log.entries[0].param("BAIXADO"), "N");
    EXPECT_EQ(db->value("select count(*) from ITENSMOVIMENTOPROD where CODITEMMOVIMENTO = 516"), 0LL);
    dm->TsMov.commitRetaining();
    EXPECT_EQ(db->value("select count(*) from ITENSMOVIMENTOPROD where CODITEMMOVIMENTO = 516"), 1LL);
}

TEST_F(DataModuleTest, OpeningAMovementRewritesTheSelectAndTheDetailsFollow)
{
    log.clear();
    dm->AbreMovimento(102);
    EXPECT_EQ(dm->QMov.sqlText(), "SELECT * FROM MOVIMENTOSPRODUTOS\r\nWHERE CODMOVIMENTO=102\r\n");
    EXPECT_EQ(log.summary(), QStringList({"SELECT * FROM MOVIMENTOSPRODUTOS", "select * from ITENSMOVIMENTOPROD",
                                          "SELECT * FROM TOTALMOV(:CODMOVIMENTO)", "SELECT * FROM SPITENSMOV(:CODMOVIMENTO)"}))
        << "one select each, nothing more";
    EXPECT_EQ(dm->QSpItens.recordCount(), 5);
    EXPECT_TRUE(dm->QSpItens.allFetched());
    EXPECT_EQ(dm->QSpItens.recNo(), 0);
    EXPECT_DOUBLE_EQ(dm->QTotal.fieldByName("TOTALGERAL").asFloat(), 126.0);
    dm->QItensMov.last();
    EXPECT_EQ(dm->QItensMov.recordCount(), 5);
}

struct CodeCase {
    int code;
    const char* line;
    friend std::ostream& operator<<(std::ostream& os, const CodeCase& c) { return os << c.code; }
};
class OpenMovementCode : public DataModuleTest, public testing::WithParamInterface<CodeCase> {};
TEST_P(OpenMovementCode, WritesTheCodeRightAfterTheEqualsSign)
{
    dm->AbreMovimento(GetParam().code);
    EXPECT_EQ(dm->QMov.sql().value(1), GetParam().line);
    EXPECT_TRUE(dm->QMov.isEmpty());
    EXPECT_TRUE(dm->QItensMov.isEmpty());
    EXPECT_TRUE(dm->QSpItens.isEmpty());
    EXPECT_DOUBLE_EQ(dm->QTotal.fieldByName("TOTALGERAL").asFloat(), 0);
}
INSTANTIATE_TEST_SUITE_P(Unknown, OpenMovementCode,
                         testing::Values(CodeCase{0, "WHERE CODMOVIMENTO=0"}, CodeCase{-5, "WHERE CODMOVIMENTO=-5"},
                                         CodeCase{2147483647, "WHERE CODMOVIMENTO=2147483647"}));

TEST_F(DataModuleTest, NewMovementAfterAnOpenedOneKeepsBothAndSendsOnlyTheNew)
{
    dm->AbreMovimento(100);
    dm->QMov.append();
    log.clear();
    dm->QMov.post();
    EXPECT_EQ(dm->QMov.recordCount(), 2);
    EXPECT_EQ(mov("CODMOVIMENTO").asInteger(), 105);
    auto changes = log.starting("insert");
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].param("CODMOVIMENTO"), 105);
    EXPECT_TRUE(log.starting("update").empty() && log.starting("delete").empty());
    EXPECT_TRUE(dm->QItensMov.isEmpty());
    EXPECT_EQ(log.starting("select * from ITENSMOVIMENTOPROD").back().param("CODMOVIMENTO"), 105);
}

TEST_F(DataModuleTest, DeletedMovementGoesWithTheNextApplyBeforeTheNewOne)
{
    dm->AbreMovimento(100);
    log.clear();
    dm->QMov.remove();
    EXPECT_TRUE(log.starting("delete").empty()) << "no after-delete hook: nothing is sent yet";
    dm->QMov.append();
    dm->QMov.post();
    QStringList changes = log.summary().filter(QRegularExpression("^(insert|delete|update)"));
    EXPECT_EQ(changes, QStringList({"delete from MOVIMENTOSPRODUTOS", "insert into MOVIMENTOSPRODUTOS"}));
    EXPECT_EQ(log.starting("delete").at(0).param("OLD_CODMOVIMENTO"), 100);
}

TEST_F(DataModuleTest, DeletedMovementIsForgottenWhenAnotherIsOpened)
{
    dm->AbreMovimento(100);
    dm->QMov.remove();
    dm->AbreMovimento(100);
    EXPECT_EQ(dm->QMov.recordCount(), 1) << "closing dropped the deletion";
    dm->QMov.append();
    log.clear();
    dm->QMov.post();
    EXPECT_TRUE(log.starting("delete").empty());
}

TEST_F(DataModuleTest, CancelledMovementStillUsedItsKey)
{
    dm->QMov.append();
    dm->QMov.cancel();
    dm->QMov.append();
    EXPECT_EQ(mov("CODMOVIMENTO").asInteger(), 106);
}

TEST_F(DataModuleTest, RefusedOrderLineIsDroppedAndNeverSentAgain)
{
    // Without a current movement the line's code is 0, which no movement has.
    dm->QItensMov.append();
    EXPECT_EQ(item("CODMOVIMENTO").asInteger(), 0);
    item("CODUNIDADE").setInteger(1);
    item("CODPRODUTO").setInteger(1001);
    log.clear();
    EXPECT_EQ(errorOf([&] { dm->QItensMov.post(); }), "User abort");
    EXPECT_EQ(dm->QItensMov.recordCount(), 0) << "not shown as if saved";
    EXPECT_FALSE(dm->QItensMov.updatesPending());

    dm->AbreMovimento(103);
    dm->QItensMov.last();
    EXPECT_EQ(dm->QItensMov.recordCount(), 2);
    dm->QItensMov.append();
    item("CODUNIDADE").setInteger(1);
    item("CODPRODUTO").setInteger(1001);
    dm->QItensMov.post();
    auto inserts = log.starting("insert into ITENSMOVIMENTOPROD");
    ASSERT_EQ(inserts.size(), 2u) << "the refused line was never sent again";
    EXPECT_EQ(inserts[1].param("CODMOVIMENTO"), 103);
}

TEST_F(DataModuleTest, DeletingAnOrderLineSendsItsKeyAtOnce)
{
    dm->AbreMovimento(101);
    ASSERT_TRUE(dm->QItensMov.locate("CODITEMMOVIMENTO", 504));
    log.clear();
    dm->QItensMov.remove();
    ASSERT_EQ(log.summary(), QStringList({"delete from ITENSMOVIMENTOPROD"}));
    EXPECT_EQ(log.entries[0].param("OLD_CODITEMMOVIMENTO"), 504);
    EXPECT_EQ(log.entries[0].sql, "delete from ITENSMOVIMENTOPROD\r\nwhere\r\n  CODITEMMOVIMENTO = :OLD_CODITEMMOVIMENTO");
}

TEST_F(DataModuleTest, UpdateStatementsCoverEveryColumnInFieldOrder)
{
    QString modify = dm->UpMov.text(zk::UpdateSql::Modify);
    EXPECT_TRUE(modify.startsWith("update MOVIMENTOSPRODUTOS\r\nset\r\n  CODMOVIMENTO = :CODMOVIMENTO,\r\n"));
    EXPECT_TRUE(modify.endsWith("  DEVOLVIDA = :DEVOLVIDA\r\nwhere\r\n  CODMOVIMENTO = :OLD_CODMOVIMENTO"));
    EXPECT_EQ(modify.count(" = :"), 31);
    QString insert = dm->UpItensMov.text(zk::UpdateSql::Insert);
    EXPECT_TRUE(insert.startsWith("insert into ITENSMOVIMENTOPROD\r\n  (CODITEMMOVIMENTO, CODUNIDADE, "));
    EXPECT_EQ(insert.count(':'), 31);
    EXPECT_TRUE(insert.contains("\r\nvalues\r\n  (:CODITEMMOVIMENTO, :CODUNIDADE, "));
    for (const QString& line : insert.split("\r\n"))
        EXPECT_LE(line.size(), 80) << "long lists are wrapped between items";
    EXPECT_TRUE(dm->UpItensMov.refreshText().endsWith("from ITENSMOVIMENTOPROD \r\nwhere\r\n  CODITEMMOVIMENTO = :CODITEMMOVIMENTO"));
    EXPECT_EQ(dm->UpConf.text(zk::UpdateSql::Delete), "delete from CONFIGURACOES\r\nwhere\r\n  CODCONFIGURACOES = :OLD_CODCONFIGURACOES");
}

TEST_F(DataModuleTest, EveryStatementTheModulePreparesIsAcceptedByTheServer)
{
    // The statements no flow sends are still prepared once, so a schema drift shows here.
    zk::fb::Transaction t(dm->Db, "check");
    t.start();
    for (const zk::UpdateSql* up : {&dm->UpMesas, &dm->UpMov, &dm->UpItensMov, &dm->UpConf}) {
        for (auto kind : {zk::UpdateSql::Modify, zk::UpdateSql::Insert, zk::UpdateSql::Delete})
            EXPECT_NO_THROW(zk::fb::Statement(t, up->text(kind))) << up->text(kind).toStdString();
        EXPECT_NO_THROW(zk::fb::Statement(t, up->refreshText()));
    }
    t.commit();
}

// ---- catalogue ---------------------------------------------------------------------------------

TEST_F(DataModuleTest, CatalogueFilterLinesAndTheirPersistence)
{
    log.clear();
    dm->QPesqProdutos.open();
    EXPECT_EQ(log.entries.at(0).sql, "SELECT * FROM SPPRODUTOSPORTIPO('%','DE')\r\nORDER BY DESCRICAO\r\n");
    dm->QPesqProdutos.last();
    EXPECT_EQ(dm->QPesqProdutos.recordCount(), 58);

    log.clear();
    dm->FiltraProdutos("");
    EXPECT_EQ(log.entries.at(0).sql, "SELECT * FROM SPPRODUTOSPORTIPO('%','DE')\r\n\r\nORDER BY DESCRICAO\r\n");
    EXPECT_EQ(dm->QPesqProdutos.recordCount(), 58);
    EXPECT_TRUE(dm->QPesqProdutos.allFetched());
    EXPECT_EQ(dm->QPesqProdutos.recNo(), 0);

    dm->FiltraProdutos("WHERE CODGRUPO = 1");
    EXPECT_EQ(dm->QPesqProdutos.recordCount(), 8);
    EXPECT_EQ(dm->QPesqProdutos.sql().value(1), "WHERE CODGRUPO = 1");
    dm->QPesqProdutos.close();
    dm->QPesqProdutos.open();
    dm->QPesqProdutos.last();
    EXPECT_EQ(dm->QPesqProdutos.recordCount(), 8) << "the filter stays in force";
}

TEST_F(DataModuleTest, InvalidConditionLeavesTheCatalogueClosedWithTheNewSelect)
{
    dm->FiltraProdutos("WHERE CODGRUPO = 1");
    EXPECT_THROW(dm->FiltraProdutos("WHERE NO SUCH THING"), zk::DatabaseError);
    EXPECT_FALSE(dm->QPesqProdutos.active());
    EXPECT_EQ(dm->QPesqProdutos.sql().value(1), "WHERE NO SUCH THING");
    EXPECT_THROW(dm->QPesqProdutos.open(), zk::DatabaseError) << "the next showing fails the same way";
}

TEST_F(DataModuleTest, PriceShowsWithTwoDecimalsAndGrouping)
{
    db->exec("update PRODUTOS set PRECOVENDA = 1234.5 where CODIGO = 1007");
    dm->QPesqProdutos.open();
    ASSERT_TRUE(dm->QPesqProdutos.locate("CODIGO", 1007));
    EXPECT_EQ(dm->QPesqProdutos.fieldByName("PRECOVENDA").displayText(), "1.234,50");
}

TEST_F(DataModuleTest, ActiveGroupsCarryTheirPictures)
{
    dm->Qgrupos.open();
    dm->Qgrupos.last();
    EXPECT_EQ(dm->Qgrupos.recordCount(), 8);
    EXPECT_TRUE(dm->Qgrupos.locate("CODGRUPO", 2));
    QByteArray withHeader = dm->Qgrupos.fieldByName("IMG").asBlob();
    EXPECT_EQ(withHeader.left(8), QByteArray::fromHex("0100000136 0C0000"));
}

// ---- the end -------------------------------------------------------------------------------------

TEST_F(DataModuleTest, EndCommitsEveryActiveTransactionAndDisconnects)
{
    const QString others = QStringLiteral("select count(*) from MON$ATTACHMENTS where MON$ATTACHMENT_ID <> "
                                          "CURRENT_CONNECTION and MON$SYSTEM_FLAG = 0");
    ASSERT_GT(db->value(others).toInt(), 0) << "the module is attached";
    dm->QItensMov.append(); // a pending line is dropped, never sent
    log.clear();
    dm.reset();
    EXPECT_EQ(log.summary(), QStringList({"COMMIT Ts", "COMMIT TsCAd", "COMMIT TsMov"}));
    EXPECT_EQ(db->value(others).toInt(), 0) << "no attachment left behind";
}

} // namespace
