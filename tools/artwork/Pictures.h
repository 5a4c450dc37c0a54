#pragma once
// Every picture of the program, each drawn for the size it is given.

#include <QImage>

namespace art {

// Window headers and the message window's title bar.
QImage headerBand(QSize size);
QImage messageBar(QSize size);

// The tiles of the table floor, and the "Mesas" entry of the toolbar.
QImage freeTable(QSize size);
QImage occupiedTable(QSize size);
QImage toolbarTable(QSize size);

// The other toolbar pictures and the delete picture of an order line.
QImage waiter(QSize size);
QImage basket(QSize size);
QImage bin(QSize size);

// The maker's logo and the product's wordmark.
QImage makerLogo(QSize size);
QImage productWordmark(QSize size);

// The installation dialog: the two system choices and the two button glyphs.
QImage penguin(QSize size);
QImage windowFlag(QSize size);
QImage confirmGlyph(QSize size);
QImage cancelGlyph(QSize size);

} // namespace art
