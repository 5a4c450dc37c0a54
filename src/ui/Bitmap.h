#pragma once
// Pictures stored in a blob as a Windows bitmap file, as the back office keeps them.

#include <QByteArray>
#include <QImage>

// Some writers put an 8-byte header before the file: a 16-bit count of 1, a 16-bit type of
// 256 and a 32-bit length of what follows, all little-endian; it is skipped. An empty blob
// is an empty picture. Anything that is not a bitmap file raises "Bitmap image is not valid".
QImage CarregaBitmap(const QByteArray& blob);
