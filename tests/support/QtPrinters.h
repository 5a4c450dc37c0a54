#pragma once
// Lets test failures print Qt values as text.

#include <QDebug>
#include <QString>
#include <QVariant>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '[';
    for (const QString& s : list)
        *os << '"' << s.toStdString() << "\", ";
    *os << ']';
}

inline void PrintTo(const QVariant& v, std::ostream* os)
{
    QString text;
    QDebug(&text) << v;
    *os << text.toStdString();
}

inline void PrintTo(const QByteArray& b, std::ostream* os) { *os << "bytes(" << b.toHex().toStdString() << ')'; }
