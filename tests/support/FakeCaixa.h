#pragma once
// A shell script in a folder of its own, written where the program looks for its sibling.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// A stand-in for the billing program "caixa": records its arguments, sleeps, ends with a code.
class FakeCaixa {
public:
    explicit FakeCaixa(const QString& folderName = "programa", const char* body = "sleep 0.3\nexit 7\n")
    {
        folder_ = dir_.filePath(folderName);
        QDir().mkpath(folder_);
        path_ = folder_ + "/caixa";
        QFile script(path_);
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\necho run >> \"$0.runs\"\n: > \"$0.args\"\n"
                     "for a in \"$@\"; do echo \"$a\" >> \"$0.args\"; done\n");
        script.write(body);
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QString& folder() const { return folder_; }
    const QString& path() const { return path_; }
    // The arguments of its last run.
    QStringList arguments() const { return lines(".args"); }
    int runs() const { return lines(".runs").size(); }

private:
    QStringList lines(const char* suffix) const
    {
        QFile f(path_ + suffix);
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()).split('\n', Qt::SkipEmptyParts)
                                           : QStringList();
    }

    QTemporaryDir dir_;
    QString folder_;
    QString path_;
};
