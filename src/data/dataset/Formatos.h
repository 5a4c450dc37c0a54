#pragma once
// Regional display of numbers: the system's locale, or Brazilian Portuguese when the
// system names none (the C locale).

#include <QLocale>
#include <QString>

namespace zk {

const QLocale& regionalLocale();
QString currencyText(double value);
QString priceText(double value);   // "###,##0.00"
QString generalText(double value); // up to 15 significant digits, no grouping

} // namespace zk
