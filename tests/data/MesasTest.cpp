// The table records of the data module against a real database: the update statements of
// QMesas, what each save sends and stores, searching by key, and the table floor view.

#include "data/dataset/Formatos.h"
#include "data/UDm.h"
#include "support/StatementLog.h"
#include "support/TempIni.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

class MesasTest : public testing::Test {
protected:
    // Tables as (CODMESA, DESCRICAO, STATUS, CODMOVIMENTO), stored before the module starts.
    void start(const QList<QVariantList>& tables)
    {
        if (!tables.isEmpty())
            db->execMany("insert into MESAS (CODMESA, DESCRICAO, STATUS, CODMOVIMENTO) values (?, ?, ?, ?)", tables);
        db->exec("set generator GEN_MESAS to 100"); // past the keys above: new rows get keys of their own
        db->writeSettings();
        dm = std::make_unique<TDm>();
        log = std::make_unique<StatementLog>(dm->Db);
    }
    void TearDown() override
    {
        log.reset();
        dm.reset();
    }

    zk::Field& mesa(const char* name) { return dm->QMesas.fieldByName(name); }
    std::vector<SentStatement> sent(const char* prefix) const { return log->starting(prefix); }
    QList<QVariantList> stored(int codmesa)
    {
        return db->rows("select DESCRICAO, STATUS, CODMOVIMENTO from MESAS where CODMESA = ?", {codmesa});
    }

    TempIni ini;
    std::unique_ptr<TestDatabase> db = TestDatabase::copyOf("template");
    std::unique_ptr<TDm> dm;
    std::unique_ptr<StatementLog> log;
};

TEST_F(MesasTest, UpdateStatementsAreTheTablesOwnLinesJoinedByCrLf)
{
    start({});
    EXPECT_EQ(dm->UpMesas.text(zk::UpdateSql::Modify),
              "update MESAS\r\nset\r\n  CODMESA = :CODMESA,\r\n  DESCRICAO = :DESCRICAO,\r\n  STATUS = :STATUS,\r\n"
              "  CODMOVIMENTO = :CODMOVIMENTO\r\nwhere\r\n  CODMESA = :OLD_CODMESA");
    EXPECT_EQ(dm->UpMesas.text(zk::UpdateSql::Insert),
              "insert into MESAS\r\n  (CODMESA, DESCRICAO, STATUS, CODMOVIMENTO)\r\nvalues\r\n"
              "  (:CODMESA, :DESCRICAO, :STATUS, :CODMOVIMENTO)");
    EXPECT_EQ(dm->UpMesas.text(zk::UpdateSql::Delete), "delete from MESAS\r\nwhere\r\n  CODMESA = :OLD_CODMESA");
    EXPECT_EQ(dm->UpMesas.refreshText(), "Select \r\n  CODMESA,\r\n  DESCRICAO,\r\n  STATUS,\r\n  CODMOVIMENTO\r\n"
                                         "from MESAS \r\nwhere\r\n  CODMESA = :CODMESA");
}

TEST_F(MesasTest, OpeningAFreeTableSendsAllFourColumnsKeyedOnTheOldKey)
{
    start({{3, 5, "L", 0}, {7, 12, "L", 0}});
    ASSERT_TRUE(dm->QMesas.locate("CODMESA", 7));
    dm->QMesas.edit();
    mesa("CODMOVIMENTO").setInteger(345);
    mesa("STATUS").setString("O");
    dm->QMesas.post();
    dm->TsCAd.commitRetaining();

    ASSERT_EQ(log->summary(), QStringList({"update MESAS", "COMMIT RETAINING TsCAd"}));
    const SentStatement& update = log->entries[0];
    EXPECT_EQ(update.transaction, "TsCAd");
    EXPECT_EQ(update.sql, dm->UpMesas.text(zk::UpdateSql::Modify));
    EXPECT_EQ(update.param("CODMESA"), 7);
    EXPECT_EQ(update.param("DESCRICAO"), 12);
    EXPECT_EQ(update.param("STATUS"), "O");
    EXPECT_EQ(update.param("CODMOVIMENTO"), 345);
    EXPECT_EQ(update.param("OLD_CODMESA"), 7);
    EXPECT_EQ(stored(7), (QList<QVariantList>{{12, "O", 345}}));
    EXPECT_EQ(stored(3), (QList<QVariantList>{{5, "L", 0}})) << "no other table changes";
}

TEST_F(MesasTest, NewRowIsSentWithKeyZeroFreeAndNothingElse)
{
    start({{1, 1, "L", 0}});
    dm->QMesas.insert();
    dm->QMesas.post();
    dm->TsCAd.commitRetaining();

    auto inserts = sent("insert into MESAS");
    ASSERT_EQ(inserts.size(), 1u);
    EXPECT_EQ(inserts[0].param("CODMESA"), 0) << "an integer zero, not NULL";
    EXPECT_EQ(inserts[0].param("STATUS"), "L");
    EXPECT_FALSE(inserts[0].param("DESCRICAO").isValid());
    EXPECT_FALSE(inserts[0].param("CODMOVIMENTO").isValid());
    EXPECT_EQ(db->rows("select CODMESA, DESCRICAO, STATUS, CODMOVIMENTO from MESAS where CODMESA <> 1"),
              (QList<QVariantList>{{101, QVariant(), "L", QVariant()}}))
        << "the server gives the row a key of its own";
}

TEST_F(MesasTest, ReleasingStoresMovementZeroNotNull)
{
    start({{4, 9, "O", 345}});
    ASSERT_TRUE(dm->QMesas.locate("CODMESA", 4));
    dm->QMesas.edit();
    mesa("CODMOVIMENTO").setInteger(0);
    mesa("STATUS").setString("L");
    dm->QMesas.post();
    dm->TsCAd.commitRetaining();

    EXPECT_EQ(sent("update MESAS").at(0).param("CODMOVIMENTO"), 0);
    EXPECT_EQ(db->value("select count(*) from MESAS where CODMESA = 4 and CODMOVIMENTO = 0"), 1LL);
    EXPECT_EQ(stored(4), (QList<QVariantList>{{9, "L", 0}}));
}

TEST_F(MesasTest, ClearedNumberIsSentAsNull)
{
    start({{4, 9, "L", 0}});
    dm->QMesas.edit();
    mesa("DESCRICAO").setText(""); // what the register grid hands over for an emptied cell
    dm->QMesas.post();
    dm->TsCAd.commitRetaining();

    auto updates = sent("update MESAS");
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0].params.size(), 5u);
    EXPECT_FALSE(updates[0].param("DESCRICAO").isValid());
    EXPECT_EQ(updates[0].param("CODMOVIMENTO"), 0);
    EXPECT_EQ(stored(4), (QList<QVariantList>{{QVariant(), "L", 0}}));
}

// ---- searching by key, in both record sets -------------------------------------------------

struct SearchCase {
    const char* recordSet;
    zk::Query& (*of)(TDm&);
    friend std::ostream& operator<<(std::ostream& os, const SearchCase& c) { return os << c.recordSet; }
};
class SearchByKey : public MesasTest, public testing::WithParamInterface<SearchCase> {
protected:
    zk::Query& query()
    {
        zk::Query& q = GetParam().of(*dm);
        q.open();
        return q;
    }
};

TEST_P(SearchByKey, FindsTheFirstMatchOrStaysWhereItWas)
{
    start({{10, 1, "L", 0}, {20, 2, "O", 5}, {30, 3, "L", 0}});
    zk::Query& q = query();
    q.last();
    q.first();
    EXPECT_TRUE(q.locate("CODMESA", 20));
    EXPECT_EQ(q.fieldByName("DESCRICAO").asInteger(), 2);
    EXPECT_EQ(q.fieldByName("STATUS").asString(), "O");

    q.last();
    EXPECT_FALSE(q.locate("CODMESA", 99)) << "a table added elsewhere since the last read";
    EXPECT_EQ(q.fieldByName("CODMESA").asInteger(), 30) << "the current row stays";
    EXPECT_EQ(q.recNo(), 2);
}

TEST_P(SearchByKey, EmptyTablesAnswerFalse)
{
    start({});
    zk::Query& q = query();
    EXPECT_TRUE(q.isEmpty());
    EXPECT_FALSE(q.locate("CODMESA", 0));
    EXPECT_FALSE(q.locate("CODMESA", 1));
}

INSTANTIATE_TEST_SUITE_P(RecordSets, SearchByKey,
                         testing::Values(SearchCase{"QMesas", [](TDm& dm) -> zk::Query& { return dm.QMesas; }},
                                         SearchCase{"QPesqMesa", [](TDm& dm) -> zk::Query& { return dm.QPesqMesa; }}));

// ---- the table floor view ------------------------------------------------------------------

TEST_F(MesasTest, FloorViewListsTablesByNumberWithTotalsInTheRegionalCurrency)
{
    ASSERT_EQ(zk::regionalLocale().name(), "pt_BR") << "the tests run without a regional setting of their own";
    start({{1, 30, "O", 77}, {2, 4, "L", 0}, {3, 12, "O", 78}});
    db->exec("insert into MOVIMENTOSPRODUTOS (CODMOVIMENTO, CODFILIAL, TIPO) values (77, 1, 'VE')");
    db->exec("insert into MOVIMENTOSPRODUTOS (CODMOVIMENTO, CODFILIAL, TIPO) values (78, 1, 'VE')");
    db->execMany("insert into ITENSMOVIMENTOPROD (CODITEMMOVIMENTO, CODUNIDADE, CODPRODUTO, CODMOVIMENTO, QTD, VALOR) "
                 "values (?, 1, 1, ?, ?, ?)",
                 {{1, 77, 2.0, 617.25}, {2, 77, 1.0, 0.0}});

    dm->QPesqMesa.open();
    QStringList tiles;
    for (; !dm->QPesqMesa.eof(); dm->QPesqMesa.next())
        tiles << dm->QPesqMesa.fieldByName("DESCRICAO").displayText() + u'|' +
                     dm->QPesqMesa.fieldByName("TOTAL").displayText();
    EXPECT_EQ(tiles, QStringList({"4|", "12|", QStringLiteral("30|R$\u00a01.234,50")}))
        << "a table without lines has no total and shows none";
}

} // namespace
