#include "base/Erros.h"

#include "base/Log.h"

namespace zk {

namespace {
// Without a reporter the log line is all there is.
void logOnly(const QString&) {}

ErrorReporter& currentReporter()
{
    static ErrorReporter reporter = logOnly;
    return reporter;
}

ErrorReporter& fatalReporter()
{
    static ErrorReporter reporter = logOnly;
    return reporter;
}
} // namespace

QString errorText(const std::exception& e)
{
    if (auto* own = dynamic_cast<const Error*>(&e))
        return own->text();
    return QString::fromLocal8Bit(e.what());
}

QString withFullStop(const QString& text)
{
    if (!text.isEmpty() && text.back().unicode() > u'.')
        return text + u'.';
    return text;
}

ErrorReporter setErrorReporter(ErrorReporter reporter)
{
    return std::exchange(currentReporter(), std::move(reporter));
}

void reportError(const std::exception& e)
{
    if (dynamic_cast<const SilentStop*>(&e))
        return;
    const QString text = withFullStop(errorText(e));
    qCWarning(lcUi).noquote() << "error:" << text;
    currentReporter()(text);
}

ErrorReporter setFatalReporter(ErrorReporter reporter)
{
    return std::exchange(fatalReporter(), std::move(reporter));
}

void reportFatal(const QString& kind, const std::exception& e)
{
    const QString text = QStringLiteral("Exception %1 in module zenobra.\n%2").arg(kind, withFullStop(errorText(e)));
    qCCritical(lcApp).noquote() << "start-up failed:" << text;
    fatalReporter()(text);
}

} // namespace zk
