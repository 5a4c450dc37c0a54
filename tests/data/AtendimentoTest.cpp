// A waiter's whole session through the data layer alone, with no window built: the same
// calls the floor and the ticket make, and what each leaves on the server.

#include "data/Atendimento.h"
#include "data/UDm.h"
#include "support/SampleBar.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <optional>

namespace {

using atendimento::MesaLida;
using atendimento::Resultado;

class WaiterSession : public testing::Test, protected SampleBar {
protected:
    void SetUp() override
    {
        install();
        dm.emplace();
        dm->QPesqMesa.open(); // the floor, as its window reads it when it shows
    }

    // Table `numero` as this terminal's floor shows it.
    MesaLida onTheFloor(int numero)
    {
        zk::Query& floor = dm->QPesqMesa;
        floor.last(); // every table, as the tile grid reads them
        EXPECT_TRUE(floor.locate("DESCRICAO", numero)) << numero;
        return {floor.fieldByName("CODMESA").asInteger(), floor.fieldByName("STATUS").asString().trimmed(),
                floor.fieldByName("CODMOVIMENTO").value()};
    }
    // One line of `quantidade` of a product, as the keypad's "Confirmar" saves it.
    Resultado addLine(int codigoProduto, const QString& quantidade)
    {
        EXPECT_TRUE(dm->QPesqProdutos.locate("CODIGO", codigoProduto)) << codigoProduto;
        atendimento::IniciaLinha(*dm);
        return atendimento::GravaLinha(*dm, quantidade);
    }
    QList<QVariantList> stored(int codMovimento)
    {
        return db->rows("select CODPRODUTO, QTD, VALOR from ITENSMOVIMENTOPROD where CODMOVIMENTO = ? "
                        "order by CODITEMMOVIMENTO",
                        {codMovimento});
    }

    std::optional<TDm> dm;
};

TEST_F(WaiterSession, OpensAFreeTableTakesTheOrderAndFreesIt)
{
    const MesaLida livre = onTheFloor(1);
    ASSERT_EQ(livre.status, "L");
    ASSERT_EQ(atendimento::AbreMesaLivre(*dm, livre), Resultado::Feito);
    const int comanda = dm->QMov.fieldByName("CODMOVIMENTO").asInteger();
    EXPECT_EQ(table(1), QVariantList({"O", comanda}));
    EXPECT_EQ(onTheFloor(1).status, "O") << "the floor was read again";

    dm->QPesqProdutos.open(); // the catalogue, as the ticket reads it when it shows
    ASSERT_EQ(addLine(1001, "3"), Resultado::Feito);
    ASSERT_EQ(addLine(1013, "2"), Resultado::Feito);
    EXPECT_EQ(stored(comanda), QList<QVariantList>({{1001, 3.0, 9.90}, {1013, 2.0, 28.00}}));
    EXPECT_DOUBLE_EQ(dm->QTotal.fieldByName("TOTALGERAL").asFloat(), 3 * 9.90 + 2 * 28.00);

    dm->QItensMov.last();
    ASSERT_EQ(atendimento::ExcluiLinha(*dm, dm->QItensMov.fieldByName("CODITEMMOVIMENTO").asInteger()),
              Resultado::Feito);
    EXPECT_EQ(stored(comanda), QList<QVariantList>({{1001, 3.0, 9.90}}));
    EXPECT_DOUBLE_EQ(dm->QTotal.fieldByName("TOTALGERAL").asFloat(), 3 * 9.90);

    ASSERT_EQ(atendimento::LiberaMesa(*dm, livre.codMesa, comanda), Resultado::Feito);
    EXPECT_EQ(table(1), QVariantList({"L", 0}));
    EXPECT_EQ(stored(comanda).size(), 1) << "the order stays stored for billing";
    EXPECT_EQ(onTheFloor(1).status, "L");

    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty()) << "no window took part";
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

// A terminal that still shows a table free after another one opened it gets no second
// order, and the answer says why.
TEST_F(WaiterSession, ATableOpenedElsewhereMeanwhileGetsNoSecondOrder)
{
    const MesaLida lida = onTheFloor(1);
    TDm other;
    ASSERT_EQ(atendimento::AbreMesaLivre(other, lida), Resultado::Feito);
    const QVariantList openedElsewhere = table(1);
    const QVariant orders = db->value("select count(*) from MOVIMENTOSPRODUTOS");

    EXPECT_EQ(atendimento::AbreMesaLivre(*dm, lida), Resultado::MesaTomada);
    EXPECT_EQ(table(1), openedElsewhere);
    EXPECT_EQ(db->value("select count(*) from MOVIMENTOSPRODUTOS"), orders);
    EXPECT_EQ(onTheFloor(1).status, "O") << "the floor shows it taken now";
}

TEST_F(WaiterSession, AnOccupiedTableOpensItsOwnOrder)
{
    const MesaLida ocupada = onTheFloor(3);
    ASSERT_EQ(ocupada.status, "O");
    ASSERT_EQ(atendimento::AbreMesaOcupada(*dm, ocupada).resultado, Resultado::Feito);
    EXPECT_EQ(dm->QMov.fieldByName("CODMOVIMENTO").value(), ocupada.codMovimento);
    dm->QItensMov.last();
    EXPECT_EQ(dm->QItensMov.recordCount(), stored(ocupada.codMovimento.toInt()).size());
}

} // namespace
