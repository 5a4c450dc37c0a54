#include "base/Erros.h"

#include <cstdio>

namespace zk {

namespace {
void toStandardError(const QString& text) { std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData()); }

ErrorReporter& currentReporter()
{
    static ErrorReporter reporter = toStandardError;
    return reporter;
}

ErrorReporter& fatalReporter()
{
    static ErrorReporter reporter = toStandardError;
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
    currentReporter()(withFullStop(errorText(e)));
}

ErrorReporter setFatalReporter(ErrorReporter reporter)
{
    return std::exchange(fatalReporter(), std::move(reporter));
}

void reportFatal(const QString& kind, const std::exception& e)
{
    fatalReporter()(QStringLiteral("Exception %1 in module zenobra.\n%2").arg(kind, withFullStop(errorText(e))));
}

} // namespace zk
