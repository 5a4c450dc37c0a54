#pragma once
// The end of the program asked from outside: SIGTERM (a system shutdown, a kiosk restart),
// SIGINT (Ctrl+C) and SIGHUP. The handlers only note the request and write to a pipe; the UI
// thread reads the pipe through a socket notifier and ends the program as "Sair" does.
// The database client library puts handlers of its own for SIGTERM and SIGINT at its first
// connection, over any it finds; they shut its connections down and keep the process alive.
// So ours are installed first thing, and put back after every connection (reclaim).

#include <QObject>

class QSocketNotifier;

namespace zk {

class EndSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; first thing in main. A signal may arrive on any thread. A test
    // program passes a handler of its own, which reclaim() puts back the same way.
    static void install(void (*handler)(int) = nullptr);
    // Puts the installed handlers back where something else replaced them.
    static void reclaim();
    // Whether an end was asked for since the handlers were installed.
    static bool requested();

    // Once the application object exists: `received` follows each signal, on the UI thread,
    // including one that arrived before.
    explicit EndSignals(QObject* parent = nullptr);

signals:
    void received(int signal);

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace zk
