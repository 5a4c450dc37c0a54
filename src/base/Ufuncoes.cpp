#include "base/Ufuncoes.h"

#include "base/Erros.h"
#include "base/Log.h"
#include "base/Win1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QStandardPaths>

#include <limits>
#include <utility>
#include <optional>

namespace {

constexpr qsizetype maxValueLength = 2047;

QString unableToWrite() { return QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(CaminhoIni())); }

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

QString trimmed(QStringView s)
{
    qsizetype begin = 0, end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.mid(begin, end - begin).toString();
}

bool isQuoted(QStringView v)
{
    return v.size() >= 2 && v.front() == v.back() && (v.front() == u'"' || v.front() == u'\'');
}

// The lines of the file, whatever their line ends.
QStringList readLines()
{
    QFile file(CaminhoIni());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = zk::fromWin1252(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

std::optional<QString> sectionName(const QString& line)
{
    QString t = trimmed(line);
    if (t.size() < 2 || t.front() != u'[')
        return std::nullopt;
    qsizetype close = t.indexOf(u']');
    return trimmed(QStringView(t).mid(1, (close < 0 ? t.size() : close) - 1));
}

std::optional<QString> keyOf(const QString& line)
{
    qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return std::nullopt;
    return trimmed(QStringView(line).left(eq));
}

bool same(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Where a section's lines are: [first, end) after its header, or first == -1 when absent.
struct SectionSpan {
    qsizetype first = -1;
    qsizetype end = -1;
};

SectionSpan findSection(const QStringList& lines, const QString& secao)
{
    SectionSpan span;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        auto name = sectionName(lines[i]);
        if (!name)
            continue;
        if (span.first >= 0)
            return {span.first, i};
        if (same(*name, secao))
            span.first = i + 1;
    }
    if (span.first >= 0)
        span.end = lines.size();
    return span;
}

// A value the reader would trim or unquote is written inside quotes, so it reads back whole.
QString storedForm(const QString& valor)
{
    bool needsQuotes = !valor.isEmpty() && (isBlank(valor.front()) || isBlank(valor.back()) || isQuoted(valor));
    return needsQuotes ? u'"' + valor + u'"' : valor;
}

QByteArray shifted(const QString& texto, int deslocamento)
{
    QByteArray bytes = zk::toWin1252OrThrow(texto, QStringLiteral("A senha"));
    for (char& b : bytes)
        b = static_cast<char>((static_cast<unsigned char>(b) + deslocamento) & 0xFF);
    return bytes;
}

std::function<void(const QString&)>& janelaMensagem()
{
    static std::function<void(const QString&)> janela;
    return janela;
}

} // namespace

QString CaminhoIni()
{
    QString explicitPath = qEnvironmentVariable("ZENOBRA_INI");
    if (!explicitPath.isEmpty())
        return explicitPath;
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\ZENOBRA.Ini");
#else
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/zenobra/ZENOBRA.Ini");
#endif
}

void GravarIni(const QString& secao, const QString& chave, const QString& valor)
{
    if (valor.contains(u'\0') || valor.contains(u'\n') || valor.contains(u'\r'))
        throw zk::ConversionError(
            QStringLiteral("O valor de %1 não pode ser gravado: contém um caractere que quebraria a linha do arquivo %2")
                .arg(chave, QDir::toNativeSeparators(CaminhoIni())));
    QByteArray checked = zk::toWin1252OrThrow(valor, QStringLiteral("O valor de %1").arg(chave));
    Q_UNUSED(checked);

    QFileInfo info(CaminhoIni());
    if (info.exists() && !info.isReadable())
        throw zk::Error(unableToWrite());
    QStringList lines = readLines();
    QString line = chave + u'=' + storedForm(valor);
    SectionSpan span = findSection(lines, secao);
    if (span.first < 0) {
        if (!lines.isEmpty() && !trimmed(lines.back()).isEmpty())
            lines.append(QString());
        lines.append(u'[' + secao + u']');
        lines.append(line);
    } else {
        qsizetype insertAt = span.first;
        bool replaced = false;
        for (qsizetype i = span.first; i < span.end; ++i) {
            if (auto key = keyOf(lines[i]); key && same(*key, chave)) {
                lines[i] = line;
                replaced = true;
                break;
            }
            if (!trimmed(lines[i]).isEmpty())
                insertAt = i + 1;
        }
        if (!replaced)
            lines.insert(insertAt, line);
    }

    QDir().mkpath(info.absolutePath());
    QSaveFile file(info.absoluteFilePath());
    file.setDirectWriteFallback(true);
    // Replacing the file whole keeps it intact if the machine stops mid-write.
    if (!file.open(QIODevice::WriteOnly))
        throw zk::Error(unableToWrite());
    // It holds the server's password: its owner's alone, from before the first byte is in,
    // however it was before and whatever the umask.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw zk::Error(unableToWrite());
    QByteArray bytes;
    for (const QString& l : lines)
        bytes += *zk::toWin1252(l) + "\r\n";
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw zk::Error(unableToWrite());
}

QString LerIni(const QString& secao, const QString& chave)
{
    QStringList lines = readLines();
    SectionSpan span = findSection(lines, secao);
    for (qsizetype i = span.first; i >= 0 && i < span.end; ++i) {
        auto key = keyOf(lines[i]);
        if (!key || !same(*key, chave))
            continue;
        QString valor = trimmed(QStringView(lines[i]).mid(lines[i].indexOf(u'=') + 1));
        if (isQuoted(valor))
            valor = valor.mid(1, valor.size() - 2);
        return valor.left(maxValueLength);
    }
    return {};
}

QString Codifica(const QString& texto, int deslocamento)
{
    return zk::fromWin1252(shifted(texto, deslocamento));
}

QString Decodifica(const QString& texto, int deslocamento)
{
    return zk::fromWin1252(shifted(texto, 256 - (deslocamento & 0xFF)));
}

bool TryStrToInt(const QString& texto, int& valor)
{
    qsizetype i = 0;
    const qsizetype n = texto.size();
    while (i < n && texto[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (texto[i] == u'+' || texto[i] == u'-'))
        negative = texto[i++] == u'-';
    int base = 10;
    if (i < n && (texto[i] == u'$' || texto[i] == u'x' || texto[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && texto[i] == u'0' && (texto[i + 1] == u'x' || texto[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return false;
    const qint64 limit = negative ? qint64(std::numeric_limits<int>::max()) + 1 : std::numeric_limits<int>::max();
    qint64 magnitude = 0;
    for (; i < n; ++i) {
        const char16_t c = texto[i].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return false;
    }
    valor = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

int StrToInt(const QString& texto)
{
    int valor = 0;
    if (!TryStrToInt(texto, valor))
        throw zk::ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(texto));
    return valor;
}

bool StrToBool(const QString& texto)
{
    bool ok = false;
    double number = QLocale::c().toDouble(trimmed(texto), &ok);
    if (!ok)
        number = QLocale::system().toDouble(trimmed(texto), &ok);
    if (ok)
        return number != 0;
    if (same(texto, QStringLiteral("True")))
        return true;
    if (same(texto, QStringLiteral("False")))
        return false;
    throw zk::ConversionError(QStringLiteral("'%1' is not a valid boolean value").arg(texto));
}

QString BoolToStr(bool valor) { return valor ? QStringLiteral("-1") : QStringLiteral("0"); }

void Mensagem(const QString& texto)
{
    qCInfo(lcUi).noquote() << "message:" << texto; // refused changes, a connection back, ...
    if (janelaMensagem())
        janelaMensagem()(texto);
}

bool MensagemDisponivel() { return static_cast<bool>(janelaMensagem()); }

std::function<void(const QString&)> RegistraMensagem(std::function<void(const QString&)> janela)
{
    return std::exchange(janelaMensagem(), std::move(janela));
}
