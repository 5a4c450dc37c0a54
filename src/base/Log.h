#pragma once
// The log a technician reads: one line per event on standard error (the journal under
// systemd), for example
//   2026-12-10T21:04:05.120Z zenobra.db warning: connection to the server lost
// The category names are stable; nothing secret is written (no password, no settings).

#include <QDateTime>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcApp) // zenobra.app: start, end, end signals, start-up failures
Q_DECLARE_LOGGING_CATEGORY(lcUi)  // zenobra.ui: every error box and message a waiter is shown
Q_DECLARE_LOGGING_CATEGORY(lcDb)  // zenobra.db: lost connections, reconnects, the live floor

namespace zk::log {

// Every message, the program's and Qt's own, goes to standard error as one line. Installed
// first thing in main: Qt would otherwise send it to the journal without our form when the
// program has no terminal.
void install();

// The line: the time in UTC to the millisecond, the category, the level, then the text with
// each line break turned into " | ".
QByteArray line(QtMsgType type, const char* category, const QString& text, const QDateTime& when);

} // namespace zk::log
