#pragma once
// Points the settings file at a fresh path in a temporary folder for one test.

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

class TempIni {
public:
    TempIni() : path_(dir_.filePath("ZENOBRA.Ini")), previous_(qgetenv("ZENOBRA_INI"))
    {
        qputenv("ZENOBRA_INI", path_.toLocal8Bit());
    }
    ~TempIni() { qputenv("ZENOBRA_INI", previous_); }

    const QString& path() const { return path_; }
    bool exists() const { return QFile::exists(path_); }
    QByteArray bytes() const
    {
        QFile f(path_);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QByteArray& content) const
    {
        QFile f(path_);
        f.open(QIODevice::WriteOnly);
        f.write(content);
    }

private:
    QTemporaryDir dir_;
    QString path_;
    QByteArray previous_;
};
