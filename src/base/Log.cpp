#include "base/Log.h"

#include <QRegularExpression>

#include <cstdio>

Q_LOGGING_CATEGORY(lcApp, "zenobra.app", QtInfoMsg)
Q_LOGGING_CATEGORY(lcUi, "zenobra.ui", QtInfoMsg)
Q_LOGGING_CATEGORY(lcDb, "zenobra.db", QtInfoMsg)

namespace zk::log {

namespace {
const char* levelName(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return "debug";
    case QtInfoMsg:
        return "info";
    case QtWarningMsg:
        return "warning";
    case QtCriticalMsg:
        return "critical";
    case QtFatalMsg:
        break;
    }
    return "fatal";
}

void toStandardError(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    const QByteArray bytes = line(type, context.category, text, QDateTime::currentDateTimeUtc());
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}
} // namespace

void install() { qInstallMessageHandler(toStandardError); }

QByteArray line(QtMsgType type, const char* category, const QString& text, const QDateTime& when)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QString oneLine = QString(text).replace(lineBreak, QStringLiteral(" | "));
    return when.toUTC().toString(Qt::ISODateWithMs).toUtf8() + ' ' + (category ? category : "default") + ' ' +
           levelName(type) + ": " + oneLine.toUtf8() + '\n';
}

} // namespace zk::log
