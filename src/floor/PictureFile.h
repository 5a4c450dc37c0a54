#pragma once
// A picture read from a file and kept until the file changes: every request looks at the
// file's size and modification time (one stat), and reads it again only when they differ.

#include <QDateTime>
#include <QImage>
#include <QString>

class PictureFile {
public:
    explicit PictureFile(QString path = {}) : path_(std::move(path)) {}

    void setPath(const QString& path);
    const QString& path() const { return path_; }

    // The picture as the file holds it now: a null image when the file is missing or is
    // not a picture. Never raises.
    const QImage& image();

private:
    QString path_;
    qint64 size_ = -1;
    QDateTime modified_;
    QImage image_;
};
