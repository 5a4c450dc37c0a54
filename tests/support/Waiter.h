#pragma once
// What a waiter does on the program's windows: touches on tiles, answers on the keypad and
// the yes/no window. Each acts through the real widgets, as a finger would.

#include "data/dataset/Query.h"
#include "support/Modal.h"
#include "ui/DbCtrlGrid.h"

#include <QTest>

#include <functional>

namespace waiter {

// A touch on the tile of the record the grid's record set has current.
inline void touchCurrent(zk::DbCtrlGrid& grid, QPoint offsetInTile = {20, 10})
{
    const int index = grid.dataSet()->recNo() - grid.topRecord();
    ASSERT_GE(index, 0) << "the current record's tile is not on screen";
    QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.panelRect(index).topLeft() + offsetInTile);
}

// A touch on the tile of the first record whose field holds the value (brought into view).
inline void touchRecord(zk::DbCtrlGrid& grid, const QString& field, const QVariant& value)
{
    zk::Query& records = *grid.dataSet();
    records.last(); // every record, as the grids read them
    ASSERT_TRUE(records.locate(field, value)) << field.toStdString() << " " << value.toString().toStdString();
    touchCurrent(grid);
}

// The bin at the right end of the current line's tile.
inline void touchBin(zk::DbCtrlGrid& grid)
{
    const int index = grid.dataSet()->recNo() - grid.topRecord();
    const QRect tile = grid.panelRect(index);
    QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(tile.right() - 20, tile.center().y()));
}

// On the keypad: the digits on the pad, then "Confirmar" (or the named key).
inline std::function<void(QWidget&)> keypad(const QString& digits, const char* last = "BtnConfirmar")
{
    return [digits, last](QWidget& w) {
        for (QChar d : digits)
            click(w, d == u'0' ? "SpeedButton10" : qPrintable("SpeedButton" + QString(d)));
        click(w, last);
    };
}

// On the yes/no window: "Sim" or "Não"; `next` then drives the window the answer opens.
inline void answerQuestion(bool yes, std::function<void(QWidget&)> next = {})
{
    whenModalOpens([yes, next](QWidget& w) {
        if (next)
            whenModalOpens(next);
        click(w, yes ? "BtnConfirmar" : "BitBtn2");
    });
}

} // namespace waiter
