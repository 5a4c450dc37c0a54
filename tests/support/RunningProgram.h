#pragma once
// The real executable, started by a test and always ended by it: SIGTERM, a grace period,
// then SIGKILL.

#include <QProcess>
#include <QProcessEnvironment>

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
