#pragma once
// Collects what the program logs (category, level and text) while it lives, instead of
// writing it to standard error, and puts the previous handler back. Messages from any
// thread are kept.

#include <QLoggingCategory>
#include <QMutex>
#include <QStringList>

class LogCapture {
public:
    LogCapture() : previous_(qInstallMessageHandler(collect)) { current() = this; }
    ~LogCapture()
    {
        qInstallMessageHandler(previous_);
        current() = nullptr;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Each entry as "category level: text", in order.
    QStringList lines() const
    {
        QMutexLocker lock(&mutex_);
        return lines_;
    }
    // The entries of one category that start with `prefix` (after "category level: ").
    QStringList of(const char* category, const QString& prefix = {}) const
    {
        QStringList found;
        for (const QString& line : lines())
            if (line.startsWith(QLatin1String(category) + u' ') && line.section(QStringLiteral(": "), 1).startsWith(prefix))
                found << line;
        return found;
    }

private:
    static LogCapture*& current()
    {
        static LogCapture* capture = nullptr;
        return capture;
    }
    static void collect(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        static const char* const levels[] = {"debug", "warning", "critical", "fatal", "info"};
        if (LogCapture* capture = current()) {
            QMutexLocker lock(&capture->mutex_);
            capture->lines_ << QStringLiteral("%1 %2: %3").arg(QLatin1String(context.category), QLatin1String(levels[type]), text);
        }
    }

    QtMessageHandler previous_;
    mutable QMutex mutex_;
    QStringList lines_;
};
