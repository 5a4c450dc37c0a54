#include "Erros.h"

#include <cstdio>

namespace zk {

namespace {
ErrorReporter& currentReporter()
{
    static ErrorReporter reporter = [](const QString& text) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    };
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
    currentReporter()(withFullStop(errorText(e)));
}

} // namespace zk
