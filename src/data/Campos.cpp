#include "data/Campos.h"

namespace campos {

namespace {
using zk::DisplayFormat;
using zk::FieldDef;
using zk::FieldType;

constexpr FieldDef inteiro(const char* n, bool obrigatorio = false) { return {n, FieldType::Integer, 0, obrigatorio}; }
constexpr FieldDef pequeno(const char* n) { return {n, FieldType::SmallInt}; }
constexpr FieldDef real(const char* n, DisplayFormat d = DisplayFormat::Plain) { return {n, FieldType::Float, 0, false, d}; }
constexpr FieldDef moeda(const char* n) { return real(n, DisplayFormat::Currency); }
constexpr FieldDef decimal(const char* n) { return {n, FieldType::Bcd}; }
constexpr FieldDef texto(const char* n, int tamanho) { return {n, FieldType::String, tamanho}; }
constexpr FieldDef fixo(const char* n, int tamanho) { return {n, FieldType::FixedChar, tamanho}; }
constexpr FieldDef data(const char* n) { return {n, FieldType::Date}; }
constexpr FieldDef hora(const char* n) { return {n, FieldType::Time}; }
constexpr FieldDef blob(const char* n) { return {n, FieldType::Blob}; }

constexpr FieldDef mesas[] = {inteiro("CODMESA", true), inteiro("DESCRICAO"), fixo("STATUS", 1),
                              inteiro("CODMOVIMENTO")};

constexpr FieldDef pesqMesa[] = {inteiro("CODMESA"), fixo("STATUS", 1), moeda("TOTAL"), inteiro("DESCRICAO"),
                                 inteiro("CODMOVIMENTO")};

constexpr FieldDef mov[] = {
    inteiro("CODMOVIMENTO", true), texto("CODIGOCONTABIL", 20), inteiro("CODFUNCIONARIO"),
    inteiro("CODFILIAL", true),    data("DATA"),                texto("TIPO", 2),
    hora("HORA"),                  real("VALORTOTAL"),          data("PREVENTREGA"),
    texto("SITUACAO", 2),          real("TOTALIPI"),            inteiro("CODDEPARTAMENTO"),
    data("DATASAIDAENTRADA"),      real("TOTALPRODUTOS"),       real("TOTALCUSTO"),
    real("TOTALDESPESAS"),         real("PARCELAS"),            real("CHEQUE"),
    real("TOTALGERAL"),            inteiro("CODUSUARIO"),       inteiro("CODACUMULADOR"),
    inteiro("CODESPECIE"),         inteiro("CODEMPRESA"),       texto("NOMEPC", 30),
    texto("REFERENCIA", 10),       real("COMISSAOFUNC"),        fixo("CONFERIDO", 1),
    inteiro("CODSITUACAONOTA"),    data("DATARETORNO"),         fixo("DEVOLVIDA", 1)};

constexpr FieldDef itensMov[] = {
    inteiro("CODITEMMOVIMENTO", true), inteiro("CODUNIDADE", true), inteiro("CODPRODUTO", true),
    inteiro("CODMOVIMENTO", true),     real("QTD"),                 moeda("VALOR"),
    fixo("BAIXADO", 1),                texto("LOTE", 20),           data("VENCIMENTO"),
    real("IPI"),                       real("VALORUNIT"),           real("DESCONTO"),
    real("VALORCUSTO"),                fixo("TIPODESCONTO", 1),     inteiro("CODTABELA"),
    inteiro("CODTABELASIMPLES"),       inteiro("VOLUMES"),          real("ICMS"),
    real("ESTOQUEATUAL"),              texto("CODALIQUOTA", 10),    real("COMISSAO"),
    real("VALORAVISTA"),               fixo("TIPO", 1),             fixo("FABRICADO", 1),
    data("DATAFAB"),                   texto("REFCLIENTE", 30),     real("PIS"),
    real("COFINS"),                    texto("NCM", 30),            texto("CFOP", 10),
    fixo("TRTIPO", 1)};

constexpr FieldDef spItens[] = {
    inteiro("CODITEMMOVIMENTO"),     inteiro("CODMOVIMENTO"),      inteiro("CODUNIDADE"),
    inteiro("CODPRODUTO"),           inteiro("CODTABELA"),         texto("REFERENCIA", 20),
    texto("PRODUTO", 50),            texto("DESCTABELA", 30),      inteiro("CODGRUPO"),
    texto("GRUPO", 30),              inteiro("CODFABRICANTE"),     texto("FABRICANTE", 40),
    real("QTD"),                     texto("UNIDADE", 30),         moeda("VALOR"),
    moeda("TOTAL"),                  fixo("BAIXADO", 1),           real("VALORUNIT"),
    real("DESCONTO"),                real("TOTALUNIT"),            texto("CODALIQUOTA", 10),
    real("ALIQUOTA"),                texto("SIGLA", 3),            texto("DESCRICAOADICIONAL", 100),
    texto("DESCADICIONAL", 50),      texto("APRESENTACAO", 40),    inteiro("CODTABELASIMPLES"),
    texto("COR", 40),                real("QTDENTREGUE"),          real("FALTAENTREGA"),
    inteiro("VOLUMES"),              real("ICMS"),                 real("IPI"),
    real("TOTALIPI"),                real("TOTALICMS"),            real("ACRESSUGESTAO"),
    real("ESTOQUEATUAL"),            real("COMISSAO"),             real("VALORCOMISSAO"),
    texto("CORGRADE", 40),           texto("TAM", 5),              inteiro("NR"),
    real("DESCONTOMOV"),             real("TOTALCOMDESCONTO"),     real("VALORAVISTA"),
    real("TOTALAVISTA"),             fixo("FABRICADO", 1),         data("DATAFAB"),
    texto("CODNCM", 30),             texto("CST", 10),             real("INFPRVENDA"),
    texto("CFOP", 10),               texto("ORIGEM", 4),           texto("TRTIPO", 1),
    texto("CODBARRAS", 30)};

constexpr FieldDef total[] = {
    real("TOTALPRODUTOSSEMDESC"), real("TOTALPRODUTOS"), real("TOTALCUSTO"),  real("TOTALDESPESAS"),
    moeda("TOTALGERAL"),          real("TOTALIPI"),      real("PARCELAS"),    real("CHEQUE"),
    real("CARTAO"),               real("SOMAPAGAMENTOS"), real("COMISSAOPORPROD"), real("DINHEIRO"),
    real("VALORDESCONTO"),        real("TOTALAVISTA"),   real("FRETE"),       real("TOTALICMS"),
    real("QTDTOTAL")};

constexpr FieldDef pesqProdutos[] = {
    inteiro("CODIGO"),           inteiro("CODPRODUTO"),         inteiro("CODUNIDADE"),
    texto("DESCRICAO", 50),      texto("DESCTABELA", 30),       real("PRECOVENDA", DisplayFormat::Price),
    inteiro("CODFABRICANTE"),    texto("FABRICANTE", 40),       texto("UNIDADE", 30),
    fixo("STATUS", 1),           texto("CODBARRAS", 30),        real("PRECOCOMPRA"),
    real("PRECOCUSTO"),          inteiro("CODMOEDA"),           texto("REFERENCIA", 20),
    texto("MOEDA", 30),          real("ESTOQUE"),               inteiro("CODGRUPO"),
    texto("GRUPO", 30),          inteiro("CODSUBGRUPO"),        texto("SUBGRUPO", 40),
    real("ESTOQUEMINIMO"),       fixo("LIXEIRA", 1),            texto("CODALIQUOTA", 10),
    texto("TIPO", 3),            texto("NOMECOMERCIAL", 70),    texto("COMPOSICAO", 100),
    real("ALIQUOTA"),            inteiro("CODFILIAL"),          data("DATAULTIMACOMPRA"),
    real("QTDULTIMACOMPRA"),     data("DATAULTIMAVENDA"),       real("QTDULTIMAVENDA"),
    texto("UM", 3),              fixo("TIPOCAD", 1),            texto("COR", 40),
    texto("TAM", 5),             inteiro("NR"),                 real("PRECOAVISTA"),
    inteiro("CODEMPRESA"),       inteiro("CODPRODEMP")};

constexpr FieldDef grupos[] = {inteiro("CODGRUPO", true), inteiro("CODEMPRESA"), texto("DESCRICAO", 30),
                               fixo("STATUS", 1),         fixo("LIXEIRA", 1),    blob("IMG")};

constexpr FieldDef conf[] = {
    inteiro("CODCONFIGURACOES", true), texto("SEQUENCIAL", 20),        texto("PROPRIETARIO", 50),
    inteiro("CODMOEDA"),               fixo("VALIDARCPF", 1),          fixo("VALIDARCNPJ", 1),
    fixo("ECF", 1),                    texto("TIPOECF", 40),           fixo("TIPOJUROS", 1),
    inteiro("CODENDNOTA"),             inteiro("CUSTOMEDIOCOMPRA"),    fixo("TIPOJUROSCUSTO", 1),
    inteiro("CASASDECIMAISQTD"),       inteiro("CASASDECIMAISCOMPRA"), inteiro("CASASDECIMAISVENDA"),
    texto("MENSAGEM1", 40),            texto("MENSAGEM2", 40),         texto("MENSAGEM3", 40),
    texto("MENSAGEM4", 40),            texto("MENSAGEM5", 40),         real("JUROSPORATRAZO"),
    fixo("TIPPOJUROSPORATRAZO", 1),    inteiro("CARENCIAJUROSPORATRAZO"), fixo("ATUCOMPRAAUTO", 1),
    inteiro("FILIALPADRAO"),           texto("CONTAVENDARAPIDA", 20),  fixo("CODPROD40COL", 1),
    inteiro("COLUNAS40COL"),           real("ACRESCIMOVENDAPRAZO"),    texto("TI", 2),
    decimal("TEVALOR"),                inteiro("TECODTIPODESPESA"),    inteiro("VPCODTIPODESPESA"),
    inteiro("CFOPECF"),                fixo("VRATUESTOQUEAUTO", 1),    inteiro("VRPLANOPGTOAVISTA"),
    pequeno("VRPLANOPGTOAPRAZO"),      inteiro("VRPLANOPGTOCARTAO"),   inteiro("VRPLANOPGTOCHEQUE"),
    fixo("VRPESQAUTO", 1),             fixo("VRCLIENTEOBRIGATORIO", 1), fixo("BLOQCLIPORLIMITE", 1),
    texto("TIPOPRODUCAO", 40),         texto("CONTAVENDA", 20),        texto("CONTACOMPRA", 20),
    texto("CONTAORCAMENTO", 20),       texto("CONTALOCACAO", 20),      texto("CONTAPGTOCOMISSAO", 20),
    texto("CONTADESPESA", 20),         texto("CONTARECEITA", 20),      inteiro("CFOPCOMPRA"),
    inteiro("CFOPVENDA"),              fixo("DUPLICATA40COLENDCLI", 1), fixo("DUPLICATA40COLFONECLI", 1),
    inteiro("DUPLICATA40COLCOLUNAS"),  fixo("DUPLICATA40COLCORTAPAPEL", 1), inteiro("DUPLICATA40COLPULARLINHAS"),
    fixo("JUROSSOBRE", 1),             fixo("FINALIZARVENDASEMPGTO", 1), texto("DUPLICATA40COLTITULO", 40),
    fixo("VENDESEMESTOQUE", 1),        fixo("LIBERARVENDAPORSENHA", 1), inteiro("CODACUMULADORVENDA"),
    inteiro("CODACUMULADORCOMPRA"),    inteiro("CODESPECIEVENDA"),     inteiro("CODESPECIECOMPRA"),
    texto("COMPILACAO", 50),           texto("TIPOCADCLIENTE", 30),    fixo("LIMITANOTAPORITENS", 1),
    inteiro("LIMITEITENSPORNOTA"),     texto("CONTADVE", 20),          texto("CONTADVS", 20),
    inteiro("CODEMPRESA"),             inteiro("CODSITUACAOPARCELASNOVAS"), real("INDICEAPRAZO"),
    real("INDICEAVISTA"),              fixo("USARINDICEORCAMENTO", 1), real("ALIQCREDICMS"),
    texto("CFOPCREDICMS", 20),         texto("CONTAMENSALIDADE", 20),  decimal("ACVLRMENSALIDADE"),
    real("ACDIARIA"),                  blob("PLANODECONTAS")};

static_assert(std::size(mov) == 30 && std::size(itensMov) == 31 && std::size(spItens) == 55);
static_assert(std::size(total) == 17 && std::size(pesqProdutos) == 41 && std::size(conf) == 83);
} // namespace

const zk::FieldDefs Mesas = mesas;
const zk::FieldDefs PesqMesa = pesqMesa;
const zk::FieldDefs Mov = mov;
const zk::FieldDefs ItensMov = itensMov;
const zk::FieldDefs SpItens = spItens;
const zk::FieldDefs Total = total;
const zk::FieldDefs PesqProdutos = pesqProdutos;
const zk::FieldDefs Grupos = grupos;
const zk::FieldDefs Conf = conf;

} // namespace campos
