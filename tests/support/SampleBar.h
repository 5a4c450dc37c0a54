#pragma once
// A copy of the sample bar for one test, and the program installed on it as the installation
// dialog would leave it: a settings file that opens the copy, and a folder of the program's
// own (no sibling program there). What the default error handler would show is kept instead.

#include "base/ProgramaIrmao.h"
#include "support/ErrorLog.h"
#include "support/TempIni.h"
#include "support/TestDatabase.h"

#include <QTemporaryDir>

#include <memory>

class SampleBar {
public:
    using Access = TestDatabase::Access;

    explicit SampleBar(Access access = Access::Embedded) : db(TestDatabase::copyOf("sample", access)) {}
    ~SampleBar() { DefinePastaDoPrograma(QString()); }
    SampleBar(const SampleBar&) = delete;
    SampleBar& operator=(const SampleBar&) = delete;

    // Settings that open the copy: through the server at `serverAddress` ("host/port") when
    // given, instead of the loopback server itself.
    void install(const QString& serverAddress = {})
    {
        db->writeSettings(serverAddress);
        DefinePastaDoPrograma(programFolder.path());
    }

    // Without the live floor's events: a terminal's floor stays as it last read it.
    void withoutLiveFloor()
    {
        db->exec("drop trigger ZENOBRA_MESAS_AIUD");
        db->exec("drop trigger ZENOBRA_ITENS_AIUD");
    }

    // Table `numero`'s STATUS and CODMOVIMENTO, as the server holds them.
    QVariantList table(int numero)
    {
        return db->rows("select STATUS, CODMOVIMENTO from MESAS where DESCRICAO = ?", {numero}).value(0);
    }
    // How many occupied tables point at an order the server does not have.
    int tablesWithoutTheirOrder()
    {
        return db->value("select count(*) from MESAS m where m.STATUS <> 'L' and not exists "
                         "(select 1 from MOVIMENTOSPRODUTOS v where v.CODMOVIMENTO = m.CODMOVIMENTO)")
            .toInt();
    }
    // How many lines the order holds on the server.
    int lineCount(int codMovimento)
    {
        return db->value("select count(*) from ITENSMOVIMENTOPROD where CODMOVIMENTO = ?", {codMovimento}).toInt();
    }

    TempIni ini;
    ErrorLog errors;
    QTemporaryDir programFolder;
    std::unique_ptr<TestDatabase> db;
};
