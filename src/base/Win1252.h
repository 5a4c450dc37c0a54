#pragma once
// Windows-1252, the code page of every text the system stores: database columns and the
// settings file. Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no character and travel as the
// control code of the same number, so every byte string survives a round trip.

#include <QByteArray>
#include <QString>
#include <optional>

namespace zk {

QString fromWin1252(const char* data, qsizetype size);
inline QString fromWin1252(const QByteArray& bytes) { return fromWin1252(bytes.constData(), bytes.size()); }

// nullopt when a character has no Windows-1252 byte.
std::optional<QByteArray> toWin1252(const QString& text);

// The same, raising "<what> não pode conter o caractere '<c>'." for the first character
// that Windows-1252 cannot hold.
QByteArray toWin1252OrThrow(const QString& text, const QString& what);

} // namespace zk
