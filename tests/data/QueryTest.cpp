// The cached record set against a real database: fetching, navigation, field checks,
// cached changes and their application, generated keys, master and detail.

#include "data/dataset/Query.h"
#include "support/ErrorLog.h"
#include "support/ErrorOf.h"
#include "support/StatementLog.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

using zk::FieldDef;
using zk::FieldType;
using zk::Query;

namespace {

constexpr FieldDef itemFields[] = {
    {"ID", FieldType::Integer, 0, true}, {"NOME", FieldType::String, 8}, {"PRECO", FieldType::Float},
    {"SIGLA", FieldType::FixedChar, 3},  {"DIA", FieldType::Date},        {"HORA", FieldType::Time},
    {"VALOR", FieldType::Bcd},           {"FOTO", FieldType::Blob},       {"POUCO", FieldType::SmallInt},
};

constexpr FieldDef partFields[] = {{"ID", FieldType::Integer}, {"ITEM", FieldType::Integer}, {"NOTA", FieldType::String, 20}};

class QueryTest : public testing::Test {
protected:
    void SetUp() override
    {
        db = TestDatabase::empty();
        db->exec("create table ITENS (ID integer not null primary key, NOME varchar(10), PRECO double precision, "
                 "SIGLA char(3), DIA date, HORA time, VALOR numeric(18,2), FOTO blob sub_type 0, POUCO smallint, "
                 "EXTRA integer)");
        db->exec("create table PARTES (ID integer not null primary key, ITEM integer, NOTA varchar(20))");
        db->exec("create generator GEN_ITENS");
        db->connect(connection);
    }
    void TearDown() override
    {
        items.reset();
        parts.reset();
        if (transaction.active())
            transaction.commit();
    }

    void fill(int count)
    {
        QList<QVariantList> rows;
        for (int i = 1; i <= count; ++i)
            rows << QVariantList{i, QStringLiteral("item %1").arg(i)};
        db->execMany("insert into ITENS (ID, NOME) values (?, ?)", rows);
    }

    Query& itemQuery(QStringList sql = {"select * from ITENS", "order by ID"})
    {
        items = std::make_unique<Query>("QItens", transaction, itemFields, sql);
        items->setUpdateSql(&updates);
        return *items;
    }
    // A new row with its key alone, posted.
    static void postNew(Query& q, int id)
    {
        q.append();
        q.fieldByName("ID").setInteger(id);
        q.post();
    }

    std::unique_ptr<TestDatabase> db;
    zk::fb::Attachment connection;
    zk::fb::Transaction transaction{connection, "Tr"};
    zk::UpdateSql updates = zk::UpdateSql::derive("ITENS", "ID", itemFields);
    std::unique_ptr<Query> items;
    std::unique_ptr<Query> parts;
};

TEST_F(QueryTest, RowsArriveOnDemandAndLastFetchesThemAll)
{
    fill(2500);
    Query& q = itemQuery();
    q.open();
    EXPECT_TRUE(q.transaction().active());
    EXPECT_EQ(q.recordCount(), 1);
    EXPECT_FALSE(q.allFetched());
    q.moveBy(1200);
    EXPECT_EQ(q.recNo(), 1200);
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 1201);
    EXPECT_EQ(q.recordCount(), 1201);
    q.last();
    EXPECT_TRUE(q.allFetched());
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(q.recordCount(), 2500);
    EXPECT_EQ(q.fieldByName("NOME").asString(), "item 2500");
    q.next();
    EXPECT_EQ(q.recNo(), 2499);
    q.first();
    EXPECT_TRUE(q.bof());
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 1);
    q.prior();
    EXPECT_EQ(q.recNo(), 0);
    q.moveTo(41);
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 42);
}

TEST_F(QueryTest, LocateFindsTheFirstMatchOrStaysWhereItWas)
{
    fill(30);
    db->exec("update ITENS set NOME = 'dup' where ID in (12, 20)");
    Query& q = itemQuery();
    q.open();
    q.moveTo(5);
    EXPECT_TRUE(q.locate("nome", QStringLiteral("dup")));
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 12);
    EXPECT_FALSE(q.locate("ID", 99));
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 12);
    EXPECT_TRUE(q.locate("ID", 30));
    EXPECT_EQ(q.recNo(), 29);
}

TEST_F(QueryTest, ShowingARowReadsItWithoutMovingAndPastTheEndReadsNothing)
{
    fill(3);
    Query& q = itemQuery();
    q.open();
    int moves = 0;
    QObject::connect(&q, &Query::currentChanged, [&] { ++moves; });
    {
        Query::ShowRow row(q, 2);
        EXPECT_EQ(q.fieldByName("ID").asInteger(), 3);
        Query::ShowRow past(q, 3);
        EXPECT_TRUE(q.fieldByName("ID").isNull()) << "never the current row instead";
    }
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 1);
    EXPECT_EQ(q.recNo(), 0);
    EXPECT_EQ(moves, 0);
}

TEST_F(QueryTest, EmptyResultHasNoCurrentRowAndReadsEmptyFields)
{
    Query& q = itemQuery();
    q.open();
    EXPECT_TRUE(q.isEmpty());
    EXPECT_EQ(q.recNo(), -1);
    EXPECT_TRUE(q.eof() && q.bof());
    EXPECT_TRUE(q.fieldByName("ID").isNull());
    EXPECT_EQ(q.fieldByName("NOME").asString(), "");
    EXPECT_FALSE(q.locate("ID", 1));
    EXPECT_EQ(errorOf([&] { q.remove(); }), "QItens: Cannot perform this operation on an empty dataset");
}

TEST_F(QueryTest, ClosedRecordSetRefusesEveryOperation)
{
    Query& q = itemQuery();
    const QString closed = "QItens: Cannot perform this operation on a closed dataset";
    for (auto action : std::vector<std::function<void()>>{
             [&] { q.next(); }, [&] { q.first(); }, [&] { q.last(); }, [&] { q.locate("ID", 1); },
             [&] { q.append(); }, [&] { q.insert(); }, [&] { q.edit(); }, [&] { q.remove(); }})
        EXPECT_EQ(errorOf(action), closed);
    EXPECT_TRUE(q.fieldByName("ID").isNull());
}

struct ColumnCase {
    const char* select;
    const char* error;
    friend std::ostream& operator<<(std::ostream& os, const ColumnCase& c) { return os << c.select; }
};
class FieldCheckTest : public QueryTest, public testing::WithParamInterface<ColumnCase> {};
TEST_P(FieldCheckTest, OpeningChecksEveryFieldAgainstTheResult)
{
    Query& q = itemQuery({GetParam().select});
    EXPECT_EQ(errorOf([&] { q.open(); }), GetParam().error);
    EXPECT_FALSE(q.active());
}
INSTANTIATE_TEST_SUITE_P(
    Columns, FieldCheckTest,
    testing::Values(
        ColumnCase{"select ID, NOME, PRECO, SIGLA, DIA, HORA, VALOR, FOTO from ITENS", "QItens: Field 'POUCO' not found"},
        ColumnCase{"select ID, NOME as PRECO, PRECO as NOME, SIGLA, DIA, HORA, VALOR, FOTO, POUCO from ITENS",
                   "QItens: Type mismatch for field 'NOME', expecting: String actual: Float"},
        ColumnCase{"select NOME as ID, NOME, PRECO, SIGLA, DIA, HORA, VALOR, FOTO, POUCO from ITENS",
                   "QItens: Type mismatch for field 'ID', expecting: Integer actual: String"},
        ColumnCase{"select ID, NOME, PRECO, SIGLA, HORA as DIA, HORA, VALOR, FOTO, POUCO from ITENS",
                   "QItens: Type mismatch for field 'DIA', expecting: Date actual: Time"},
        ColumnCase{"select ID, NOME, PRECO, SIGLA, DIA, HORA, VALOR, ID as FOTO, POUCO from ITENS",
                   "QItens: Type mismatch for field 'FOTO', expecting: Blob actual: Integer"},
        ColumnCase{"select ID, NOME, PRECO, SIGLA, DIA, HORA, VALOR, FOTO, ID as POUCO from ITENS",
                   "QItens: Type mismatch for field 'POUCO', expecting: SmallInt actual: Integer"}));

TEST_F(QueryTest, ValuesOfEveryTypeTravelBothWays)
{
    Query& q = itemQuery();
    q.open();
    q.append();
    q.fieldByName("ID").setInteger(7);
    q.fieldByName("NOME").setString(QStringLiteral("Pão de queijo com café"));
    q.fieldByName("PRECO").setFloat(12.5);
    q.fieldByName("SIGLA").setString("L");
    q.fieldByName("DIA").setDate(QDate(2026, 12, 10));
    q.fieldByName("HORA").setTime(QTime(21, 30, 15, 250));
    q.fieldByName("VALOR").setFloat(1234.56);
    q.fieldByName("FOTO").setBlob(QByteArray("BM\0\1\2", 5));
    q.fieldByName("POUCO").setInteger(-3);
    q.post();
    q.applyUpdates();
    transaction.commitRetaining();

    auto row = db->rows("select ID, NOME, PRECO, SIGLA, DIA, HORA, VALOR, octet_length(FOTO), POUCO from ITENS").value(0);
    EXPECT_EQ(row, (QVariantList{7, QStringLiteral("Pão de q"), 12.5, QStringLiteral("L  "), QDate(2026, 12, 10),
                                 QTime(21, 30, 15, 250), 1234.56, 5LL, -3}));

    q.close();
    q.open();
    EXPECT_EQ(q.fieldByName("NOME").asString(), QStringLiteral("Pão de q")) << "cut to the field's size";
    EXPECT_EQ(q.fieldByName("SIGLA").asString(), "L") << "fixed-length text reads without its padding";
    EXPECT_EQ(q.fieldByName("FOTO").asBlob(), QByteArray("BM\0\1\2", 5));
    EXPECT_DOUBLE_EQ(q.fieldByName("VALOR").asFloat(), 1234.56);
    EXPECT_EQ(q.fieldByName("HORA").asTime(), QTime(21, 30, 15, 250));
}

TEST_F(QueryTest, TextsThatWindows1252CannotHoldAreRefused)
{
    Query& q = itemQuery();
    q.open();
    q.append();
    for (const char* field : {"NOME", "SIGLA", "FOTO"}) {
        EXPECT_EQ(errorOf([&] { q.fieldByName(field).setString(QStringLiteral("日本")); }),
                  QStringLiteral("%1 não pode conter o caractere '日'.").arg(field));
        EXPECT_TRUE(q.fieldByName(field).isNull()) << field;
    }
    q.fieldByName("NOME").setString(QStringLiteral("€ Œ"));
    EXPECT_EQ(q.fieldByName("NOME").asString(), QStringLiteral("€ Œ"));
}

TEST_F(QueryTest, PostChecksRequiredFieldsAndSendsNothing)
{
    Query& q = itemQuery();
    q.afterPost = [](Query& self) { self.applyUpdates(); };
    q.open();
    StatementLog log(connection);
    q.append();
    q.fieldByName("NOME").setString("sem chave");
    EXPECT_EQ(errorOf([&] { q.post(); }), "Field 'ID' must have a value");
    EXPECT_EQ(q.state(), Query::State::Insert);
    EXPECT_TRUE(log.entries.empty());
}

TEST_F(QueryTest, ChangesWaitInTheCacheUntilApplied)
{
    fill(3);
    Query& q = itemQuery();
    q.open();
    StatementLog log(connection);
    q.locate("ID", 2);
    q.edit();
    q.fieldByName("ID").setInteger(20);
    q.fieldByName("NOME").clear();
    q.post();
    q.next();
    q.remove();
    postNew(q, 4);
    EXPECT_TRUE(log.entries.empty()) << "post and delete change only the cache";
    EXPECT_EQ(q.recordCount(), 3);

    q.applyUpdates();
    ASSERT_EQ(log.summary(), QStringList({"update ITENS", "delete from ITENS", "insert into ITENS"}));
    EXPECT_EQ(log.entries[0].param("ID"), 20);
    EXPECT_EQ(log.entries[0].param("OLD_ID"), 2) << "the key as the server had it";
    EXPECT_FALSE(log.entries[0].param("NOME").isValid()) << "an empty field binds NULL";
    EXPECT_EQ(log.entries[1].param("OLD_ID"), 3);
    EXPECT_EQ(log.entries[2].param("ID"), 4);
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 4) << "the current row stays current";
    EXPECT_FALSE(q.updatesPending());

    transaction.commitRetaining();
    EXPECT_EQ(db->rows("select ID, NOME from ITENS order by ID"),
              (QList<QVariantList>{{1, QStringLiteral("item 1")}, {4, QVariant()}, {20, QVariant()}}));
}

TEST_F(QueryTest, OldValuesFollowWhatTheServerLastReceived)
{
    Query& q = itemQuery();
    q.open();
    StatementLog log(connection);
    postNew(q, 0);
    q.applyUpdates();
    q.edit();
    q.fieldByName("ID").setInteger(5);
    q.post();
    q.applyUpdates();
    q.edit();
    q.fieldByName("NOME").setString("x");
    q.post();
    q.applyUpdates();
    ASSERT_EQ(log.summary(), QStringList({"insert into ITENS", "update ITENS", "update ITENS"}));
    EXPECT_EQ(log.entries[1].param("OLD_ID"), 0);
    EXPECT_EQ(log.entries[2].param("OLD_ID"), 5);
}

// A refused change is User abort and goes: kept, it would be sent first at every later apply
// and stop them all, for ever.
TEST_F(QueryTest, RefusedChangeIsUserAbortAndDoesNotStopTheNextOne)
{
    fill(2);
    Query& q = itemQuery();
    q.afterPost = [](Query& self) { self.applyUpdates(); };
    q.open();
    StatementLog log(connection);
    q.append();
    q.fieldByName("ID").setInteger(1); // the server already has this key
    EXPECT_EQ(errorOf([&] { q.post(); }), "User abort");
    EXPECT_EQ(q.recordCount(), 2) << "the refused new row is gone";
    EXPECT_FALSE(q.updatesPending());

    q.first();
    q.edit();
    q.fieldByName("ID").setInteger(2); // the other row's key
    EXPECT_EQ(errorOf([&] { q.post(); }), "User abort");
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 1) << "the row shows what the server has again";
    EXPECT_FALSE(q.updatesPending());

    postNew(q, 3);
    EXPECT_EQ(log.summary(), QStringList({"insert into ITENS", "update ITENS", "insert into ITENS"}))
        << "each change sent once; the last one alone";
    transaction.commitRetaining();
    EXPECT_EQ(db->rows("select ID from ITENS order by ID"), (QList<QVariantList>{{1}, {2}, {3}}));
}

TEST_F(QueryTest, ChangeThatTouchesNoRowFails)
{
    fill(2);
    Query& q = itemQuery();
    q.afterPost = [](Query& self) { self.applyUpdates(); };
    q.open();
    db->exec("delete from ITENS where ID = 1");
    q.edit();
    q.fieldByName("NOME").setString("gone");
    EXPECT_EQ(errorOf([&] { q.post(); }), "User abort");
}

TEST_F(QueryTest, DeletingAnUnappliedNewRowJustDropsIt)
{
    Query& q = itemQuery();
    q.open();
    StatementLog log(connection);
    postNew(q, 9);
    q.remove();
    q.applyUpdates();
    EXPECT_TRUE(log.entries.empty());
    EXPECT_TRUE(q.isEmpty());
}

TEST_F(QueryTest, UntouchedNewRowIsDroppedAndTouchedOneIsPostedWhenLeaving)
{
    fill(2);
    Query& q = itemQuery();
    q.open();
    q.append();
    q.first();
    EXPECT_EQ(q.state(), Query::State::Browse);
    EXPECT_EQ(q.recordCount(), 2);

    q.insert();
    q.fieldByName("ID").setInteger(50);
    q.last();
    EXPECT_EQ(q.recordCount(), 3);
    EXPECT_TRUE(q.updatesPending());

    q.edit();
    q.cancel();
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 2);
    q.edit();
    q.fieldByName("NOME").setString("mudado");
    q.cancel();
    EXPECT_EQ(q.fieldByName("NOME").asString(), "item 2") << "cancel restores the row";
}

// Leaving an untouched new row drops it, and every row after it moves up by one: the row
// asked for is the one that was at that place, as a grid's user saw it.
TEST_F(QueryTest, MovingOffAnUntouchedNewRowLandsOnTheRowAskedFor)
{
    fill(5);
    Query& q = itemQuery();
    q.open();
    q.last(); // every row fetched, as a grid's scroll bar wants them
    q.moveTo(1);
    q.insert(); // shown as the second row, above item 2
    q.moveTo(3); // the row showing item 3
    EXPECT_EQ(q.recordCount(), 5) << "the new row was dropped";
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 3);
    EXPECT_EQ(q.recNo(), 2);

    q.append(); // below item 5
    q.moveTo(0);
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 1);
    q.insert();
    q.moveTo(0); // the new row itself: dropped, and the row now first is current
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 1);
    EXPECT_EQ(q.recordCount(), 5);
}

TEST_F(QueryTest, EditOnAnEmptySetStartsANewRow)
{
    Query& q = itemQuery();
    int hookRuns = 0;
    q.afterInsert = [&](Query& self) {
        ++hookRuns;
        self.fieldByName("ID").setInteger(0);
    };
    q.open();
    q.edit();
    EXPECT_EQ(q.state(), Query::State::Insert);
    EXPECT_EQ(hookRuns, 1);
    EXPECT_EQ(q.recordCount(), 1);
}

TEST_F(QueryTest, GeneratedKeyComesBeforeTheHookAndIsUsedUpEvenWhenCancelled)
{
    db->exec("set generator GEN_ITENS to 41");
    Query& q = itemQuery();
    q.setGenerator("ID", "GEN_ITENS");
    int keySeenByHook = -1;
    q.afterInsert = [&](Query& self) { keySeenByHook = self.fieldByName("ID").asInteger(); };
    q.open();
    StatementLog log(connection);
    q.append();
    EXPECT_EQ(keySeenByHook, 42);
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].sql, "SELECT GEN_ID(\"GEN_ITENS\", 1) FROM RDB$DATABASE");
    q.cancel();
    q.append();
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 43);
}

// A table whose trigger replaces the key sent (0) with its own: each new row learns its key
// when it is sent, rows alike included, and never the key of a row another connection added.
// A trigger that also changes what was sent leaves the key as sent: the insert still stands.
TEST_F(QueryTest, ANewRowLearnsTheKeyTheServerGivesIt)
{
    db->exec("set generator GEN_ITENS to 100");
    db->exec("create trigger ITENS_ID for ITENS before insert as begin "
             "if (new.ID = 0) then new.ID = gen_id(GEN_ITENS, 1); "
             "if (new.NOME = 'mudar') then new.NOME = 'mudado'; end");
    fill(2);
    Query& q = itemQuery();
    q.setKeyFromServer("ID");
    q.open();
    auto added = [&](const char* nome) {
        q.append();
        q.fieldByName("ID").setInteger(0);
        q.fieldByName("NOME").setString(nome);
        q.post();
        q.applyUpdates();
        return q.fieldByName("ID").asInteger();
    };
    EXPECT_EQ(added("igual"), 101);
    EXPECT_EQ(added("igual"), 102) << "a row alike gets its own key";
    db->exec("insert into ITENS (ID, NOME) values (0, 'igual')"); // 103, another connection's
    EXPECT_EQ(added("igual"), 104);
    EXPECT_EQ(added("mudar"), 0);
    transaction.commitRetaining();
    EXPECT_EQ(db->value("select count(*) from ITENS where NOME = 'mudado'"), 1LL);
    EXPECT_FALSE(q.updatesPending());

    for (int id : {101, 102, 104})
        EXPECT_TRUE(q.locate("ID", id)) << id;
    q.locate("ID", 102);
    q.edit();
    q.fieldByName("NOME").setString("outro");
    q.post();
    q.applyUpdates(); // found by the key it learned
    transaction.commitRetaining();
    EXPECT_EQ(db->value("select NOME from ITENS where ID = 102"), "outro");
}

TEST_F(QueryTest, GeneratorNamesAreQuotedWithInnerQuotesDoubled)
{
    db->exec("create generator \"GEN\"\"X\"");
    Query& q = itemQuery();
    q.setGenerator("ID", "GEN\"X");
    q.open();
    StatementLog log(connection);
    q.append();
    EXPECT_EQ(log.entries.at(0).sql, "SELECT GEN_ID(\"GEN\"\"X\", 1) FROM RDB$DATABASE");
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 1);
}

TEST_F(QueryTest, FailingGeneratorStartsNoRowAndRunsNoHook)
{
    Query& q = itemQuery();
    q.setGenerator("ID", "NO_SUCH_GENERATOR");
    bool hookRan = false;
    q.afterInsert = [&](Query&) { hookRan = true; };
    q.open();
    EXPECT_THROW(q.append(), zk::DatabaseError);
    EXPECT_FALSE(hookRan);
    EXPECT_EQ(q.state(), Query::State::Browse);
    EXPECT_TRUE(q.isEmpty());
}

TEST_F(QueryTest, CommitRetainingMakesChangesVisibleToOthersAndKeepsPosition)
{
    fill(5);
    Query& q = itemQuery();
    q.afterPost = [](Query& self) { self.applyUpdates(); };
    q.open();
    q.moveTo(3);
    q.edit();
    q.fieldByName("NOME").setString("novo");
    q.post();
    EXPECT_EQ(db->value("select NOME from ITENS where ID = 4"), "item 4");
    transaction.commitRetaining();
    EXPECT_EQ(db->value("select NOME from ITENS where ID = 4"), "novo");
    EXPECT_TRUE(transaction.active());
    EXPECT_EQ(q.recNo(), 3);
    q.next();
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 5) << "the cursor survives the commit";
}

TEST_F(QueryTest, CommittingAnInactiveTransactionFails)
{
    EXPECT_EQ(errorOf([&] { transaction.commitRetaining(); }), "Transaction is not active");
}

TEST_F(QueryTest, SelectCanBeRewrittenOnlyWhileClosed)
{
    fill(3);
    Query& q = itemQuery();
    q.open();
    EXPECT_EQ(errorOf([&] { q.setSql({"select * from ITENS"}); }),
              "QItens: A consulta não pode ser trocada enquanto está aberta");
    q.close();
    q.setSql({"select * from ITENS", "where ID = 2"});
    EXPECT_EQ(q.sqlText(), "select * from ITENS\r\nwhere ID = 2\r\n");
    q.open();
    EXPECT_EQ(q.recordCount(), 1);
}

class MasterDetailTest : public QueryTest {
protected:
    void SetUp() override
    {
        QueryTest::SetUp();
        fill(3);
        db->execMany("insert into PARTES values (?, ?, ?)",
                     {{1, 1, "a"}, {2, 1, "b"}, {3, 2, "c"}, {4, 3, "d"}, {5, 3, "e"}, {6, 3, "f"}});
        itemQuery();
        parts = std::make_unique<Query>("QPartes", transaction, partFields,
                                        QStringList{"select * from PARTES where ITEM = :ID order by ID"});
        parts->setMaster(items.get());
    }
    int partsShown() { return parts->isEmpty() ? 0 : (parts->last(), parts->recordCount()); }
};

TEST_F(MasterDetailTest, DetailFollowsTheMastersCurrentRow)
{
    items->open();
    parts->open();
    EXPECT_EQ(partsShown(), 2);
    StatementLog log(connection);
    items->next();
    EXPECT_EQ(partsShown(), 1);
    items->last();
    EXPECT_EQ(partsShown(), 3);
    ASSERT_EQ(log.entries.size(), 2u) << "one re-run per move";
    EXPECT_EQ(log.entries[1].param("ID"), 3);
}

TEST_F(MasterDetailTest, WithoutMasterRowTheParameterIsNullAndTheDetailEmpty)
{
    items->close();
    items->setSql({"select * from ITENS where ID < 0"});
    items->open();
    StatementLog log(connection);
    parts->open();
    EXPECT_TRUE(parts->isEmpty());
    EXPECT_FALSE(log.entries.at(0).param("ID").isValid());
}

TEST_F(MasterDetailTest, ClosingTheMasterLeavesTheDetailAsItWas)
{
    items->open();
    parts->open();
    items->close();
    EXPECT_TRUE(parts->active());
    EXPECT_EQ(partsShown(), 2);
}

TEST_F(MasterDetailTest, NewMasterRowRerunsTheDetailOnceItsKeyIsSet)
{
    db->exec("set generator GEN_ITENS to 99");
    items->setGenerator("ID", "GEN_ITENS");
    items->afterPost = [](Query& self) { self.applyUpdates(); };
    items->open();
    parts->open();
    StatementLog log(connection);
    items->append();
    EXPECT_EQ(log.summary(), QStringList({"SELECT GEN_ID(\"GEN_ITENS\", 1) FROM RDB$DATABASE",
                                          "select * from PARTES where ITEM = :ID order by ID"}));
    EXPECT_EQ(log.entries[1].param("ID"), 100);
    log.clear();
    items->post();
    EXPECT_EQ(log.summary(), QStringList({"insert into ITENS", "select * from PARTES where ITEM = :ID order by ID"}))
        << "post and the apply of its hook re-run the detail once";
}

} // namespace
