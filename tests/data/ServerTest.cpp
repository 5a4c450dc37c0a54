// The data module through the network protocol, on the loopback server that scripts/test
// starts: what one connection saves is seen by another only once committed.

#include "StatementLog.h"
#include "TempIni.h"
#include "TestDatabase.h"
#include "UDm.h"

#include <gtest/gtest.h>

namespace {

class ThroughTheServer : public testing::Test {
protected:
    void SetUp() override
    {
        if (!TestDatabase::serverAvailable())
            GTEST_SKIP() << "no loopback Firebird server (scripts/test starts one)";
        db = TestDatabase::copyOf("sample", TestDatabase::Access::Server);
        db->writeSettings();
        dm = std::make_unique<TDm>();
    }

    TempIni ini;
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<TDm> dm;
};

TEST_F(ThroughTheServer, ConnectsByAddressAndPassword)
{
    EXPECT_TRUE(dm->Db.connected());
    EXPECT_TRUE(dm->Db.databaseName().startsWith(qEnvironmentVariable("ZENOBRA_TEST_FB_SERVER") + ':'));
    EXPECT_TRUE(dm->QMesas.active());
}

TEST_F(ThroughTheServer, NewOrderLineIsSeenByAnotherConnectionOnlyAfterTheCommit)
{
    dm->AbreMovimento(101);
    dm->QItensMov.append();
    int line = dm->QItensMov.fieldByName("CODITEMMOVIMENTO").asInteger();
    dm->QItensMov.fieldByName("CODUNIDADE").setInteger(1);
    dm->QItensMov.fieldByName("CODPRODUTO").setInteger(1001);
    dm->QItensMov.post();
    const QString count = QStringLiteral("select count(*) from ITENSMOVIMENTOPROD where CODITEMMOVIMENTO = ?");
    EXPECT_EQ(db->value(count, {line}), 0LL);
    dm->TsMov.commitRetaining();
    EXPECT_EQ(db->value(count, {line}), 1LL);
}

TEST_F(ThroughTheServer, LockedRowFailsAtOnceAsUserAbort)
{
    // Another terminal holds an uncommitted change of table 3's row: no waiting.
    zk::fb::Attachment other;
    other.setDatabaseName(db->connectionName());
    other.params() = {"user_name=SYSDBA", "password=" + TestDatabase::serverPassword()};
    other.connect();
    zk::fb::Transaction holder(other, "other");
    holder.start();
    zk::fb::Statement(holder, "update MESAS set STATUS = 'O' where DESCRICAO = 3").execute(holder);

    ASSERT_TRUE(dm->QMesas.locate("DESCRICAO", 3));
    dm->QMesas.edit();
    dm->QMesas.fieldByName("STATUS").setString("L");
    try {
        dm->QMesas.post();
        FAIL() << "no error";
    } catch (const zk::Error& e) {
        EXPECT_EQ(e.text(), "User abort");
    }
    holder.commit();
}

} // namespace
