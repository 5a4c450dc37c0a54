#pragma once
// The table register against a copy of the sample bar: the data module as start-up leaves
// it (with the table floor's view open), the dialog, and what the connection sends.

#include "data/UDm.h"
#include "dialogs/UPesqMesa.h"
#include "support/Modal.h"
#include "support/SampleBar.h"
#include "support/StatementLog.h"
#include "ui/DbGrid.h"
#include "ui/DbGridModel.h"

#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

class RegisterTest : public testing::Test, protected SampleBar {
protected:
    void SetUp() override
    {
        install();
        dm = std::make_unique<TDm>();
        dm->QPesqMesa.open(); // as the table floor window does when it is created
        form = std::make_unique<TFPesqMesa>(*dm);
        log = std::make_unique<StatementLog>(dm->Db);
    }

    // The numbers the stored tables have, as another connection sees them.
    QList<QVariantList> storedWith(int descricao)
    {
        return db->rows("select CODMESA, DESCRICAO, STATUS, CODMOVIMENTO from MESAS where DESCRICAO = ?", {descricao});
    }
    int storedCount() { return db->value("select count(*) from MESAS").toInt(); }

    std::shared_ptr<Asked> cadastrar(std::optional<QString> typed)
    {
        auto asked = answerInput(form.get(), std::move(typed));
        form->BitBtn1->click();
        return asked;
    }
    std::shared_ptr<Asked> alterar(std::optional<QString> typed)
    {
        auto asked = answerInput(form.get(), std::move(typed));
        form->BitBtn2->click();
        return asked;
    }

    zk::DbGridModel& grid() const { return form->DBGrid1->dataModel(); }
    QString gridText(int row, int column) const { return grid().index(row, column).data().toString(); }

    std::unique_ptr<TDm> dm;
    std::unique_ptr<TFPesqMesa> form;
    std::unique_ptr<StatementLog> log;
};
