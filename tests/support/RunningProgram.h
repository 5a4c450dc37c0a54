#pragma once
// The real executable, started by a test and always ended by it: SIGTERM, a grace period,
// then SIGKILL.

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <csignal>

class RunningProgram {
public:
    RunningProgram() { process_.setProcessChannelMode(QProcess::ForwardedChannels); }
    ~RunningProgram() { end(); }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // The built program, with the test's environment plus `extra`.
    bool start(const QProcessEnvironment& extra = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(extra);
        process_.setProcessEnvironment(environment);
        process_.start(QStringLiteral(ZK_PROGRAM), {});
        return process_.waitForStarted(10000);
    }
    qint64 pid() const { return process_.processId(); }
    // The program has put its own handlers for the three end signals (a hexadecimal mask of
    // caught signals in /proc): a signal from now on asks it to end.
    bool handlesEndSignals() const
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid()));
        if (!status.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (!line.startsWith("SigCgt:"))
                continue;
            const quint64 caught = line.mid(7).trimmed().toULongLong(nullptr, 16);
            const quint64 wanted = (1ull << (SIGTERM - 1)) | (1ull << (SIGINT - 1)) | (1ull << (SIGHUP - 1));
            return (caught & wanted) == wanted;
        }
        return false;
    }
    bool running() const { return process_.state() != QProcess::NotRunning; }

    // SIGTERM, then up to `graceMs` for the program to end by itself. Answers whether it did.
    bool terminate(int graceMs)
    {
        if (!running())
            return true;
        process_.terminate();
        return process_.waitForFinished(graceMs);
    }
    // Waits for an end the program chose itself.
    bool waitForEnd(int ms) { return !running() || process_.waitForFinished(ms); }
    int exitCode() const { return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1; }

    // Whatever state it is in, it goes.
    void end()
    {
        if (!terminate(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

private:
    QProcess process_;
};
