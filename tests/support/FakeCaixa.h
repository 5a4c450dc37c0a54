#pragma once
// A stand-in for the billing program "caixa", a shell script in a folder of its own, written
// where the program looks for its sibling. It records its arguments and the descriptors it
// found open, says it has started,
// then runs until the test releases it and ends with the code given. Each step waits for the
// one before, so nothing depends on how fast the machine is.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <utility>

class FakeCaixa {
public:
    explicit FakeCaixa(const QString& folderName = "programa", int exitCode = 7)
    {
        folder_ = dir_.filePath(folderName);
        QDir().mkpath(folder_);
        path_ = folder_ + "/caixa";
        QFile script(path_);
        script.open(QIODevice::WriteOnly);
        // A script the test forgets ends by itself: with its folder, or after a minute.
        script.write(QStringLiteral("#!/bin/sh\necho run >> \"$0.runs\"\n: > \"$0.args\"\n"
                                    "ls -l /proc/$$/fd > \"$0.fds\" 2>/dev/null\n"
                                    "for a in \"$@\"; do echo \"$a\" >> \"$0.args\"; done\n"
                                    ": > \"$0.started\"\n"
                                    "i=0\n"
                                    "while [ ! -e \"$0.go\" ] && [ -e \"$0\" ] && [ $i -lt 3000 ]; do\n"
                                    "  sleep 0.02; i=$((i + 1))\n"
                                    "done\n"
                                    ": > \"$0.ended\"\n"
                                    "exit %1\n")
                         .arg(exitCode)
                         .toLocal8Bit());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        startedPoll_.setInterval(10);
        QObject::connect(&startedPoll_, &QTimer::timeout, [this] {
            if (!started())
                return;
            startedPoll_.stop();
            if (onStarted_)
                std::exchange(onStarted_, nullptr)();
        });
    }
    ~FakeCaixa() { release(); }
    FakeCaixa(const FakeCaixa&) = delete;
    FakeCaixa& operator=(const FakeCaixa&) = delete;

    const QString& folder() const { return folder_; }
    const QString& path() const { return path_; }
    // The arguments of its last run.
    QStringList arguments() const { return lines(".args"); }
    int runs() const { return lines(".runs").size(); }
    // The sockets its last run found open when it started (inherited from whoever started it).
    QStringList sockets() const { return lines(".fds").filter("socket:"); }
    bool started() const { return QFile::exists(path_ + ".started"); }
    bool ended() const { return QFile::exists(path_ + ".ended"); }
    // Lets it end (this run and any later one at once).
    void release() const { QFile(path_ + ".go").open(QIODevice::WriteOnly); }
    // Runs the action from the event loop once the program has started; the windows that wait
    // for it keep serving the loop meanwhile.
    void whenStarted(std::function<void()> action)
    {
        onStarted_ = std::move(action);
        startedPoll_.start();
    }

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
    QTimer startedPoll_;
    std::function<void()> onStarted_;
};
