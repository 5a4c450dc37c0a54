#include "data/dataset/Formatos.h"

namespace zk {

const QLocale& regionalLocale()
{
    static const QLocale locale = [] {
        QLocale system = QLocale::system();
        return system.language() == QLocale::C ? QLocale(QLocale::Portuguese, QLocale::Brazil) : system;
    }();
    return locale;
}

QString currencyText(double value) { return regionalLocale().toCurrencyString(value); }

QString priceText(double value) { return regionalLocale().toString(value, 'f', 2); }

QString generalText(double value)
{
    QLocale plain = regionalLocale();
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'g', 15);
}

} // namespace zk
