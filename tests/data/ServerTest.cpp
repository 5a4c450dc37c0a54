// The data module through the network protocol, on the loopback server that scripts/test
// starts: what one connection saves is seen by another only once committed; a connection the
// server ends leaves nothing waiting.

#include "data/fb/Statement.h"
#include "data/UDm.h"
#include "support/SampleBar.h"
#include "support/Services.h"
#include "support/TcpProxy.h"

#include <gtest/gtest.h>

namespace {

class ThroughTheServer : public testing::Test, protected SampleBar {
protected:
    ThroughTheServer() : SampleBar(Access::Server) {}
    void SetUp() override
    {
        ZK_REQUIRE_SERVER();
        install();
        dm = std::make_unique<TDm>();
    }

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
    db->connect(other);
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

// A server that ends a connection (here an administrator's kill) may leave its socket open
// and never answer on it again. Once the connection is known lost, nothing more waits for an
// answer on it (were the work let go by asking the server, this would wait for ever), and the
// next connection goes as usual.
TEST_F(ThroughTheServer, AConnectionTheServerEndedLeavesNothingWaiting)
{
    TcpProxy proxy(qEnvironmentVariable("ZENOBRA_TEST_FB_SERVER"));
    zk::fb::Attachment terminal;
    db->connect(terminal, proxy.address());
    zk::fb::Transaction work(terminal, "work");
    work.start();
    zk::fb::Statement update(work, "update MESAS set STATUS = 'O' where DESCRICAO = 1");

    db->exec("delete from MON$ATTACHMENTS where MON$ATTACHMENT_ID = ?", {terminal.serverId()});
    proxy.silenceAfterNextReply(); // the answer to the update is the server's last word
    try {
        update.execute(work);
        FAIL() << "the update went through a connection the server had ended";
    } catch (const zk::DatabaseError& e) {
        EXPECT_TRUE(e.connectionLost()) << e.text().toStdString();
    }
    EXPECT_FALSE(terminal.connected());

    terminal.connect();
    zk::fb::Transaction again(terminal, "again");
    again.start();
    zk::fb::Statement(again, "update MESAS set STATUS = 'O' where DESCRICAO = 1").execute(again);
    again.commit();
    EXPECT_EQ(db->value("select STATUS from MESAS where DESCRICAO = 1"), "O");
}

} // namespace
