#pragma once
// Failures of the system: every one carries the text the user sees.

#include <QString>
#include <exception>
#include <functional>
#include <vector>

namespace zk {

class Error : public std::exception {
public:
    explicit Error(QString text) : text_(std::move(text)), utf8_(text_.toUtf8()) {}
    const QString& text() const noexcept { return text_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString text_;
    QByteArray utf8_;
};

// The database client refused something; the text is the client's own, one message per line,
// and the client's error codes are kept beside it.
class DatabaseError : public Error {
public:
    enum class Cause {
        Other,
        LockConflict,   // another transaction holds the row: with "nowait" this fails at once
        ConnectionLost, // the network or the server went away: the connection is gone
    };
    explicit DatabaseError(QString text, Cause cause = Cause::Other, std::vector<long> codes = {})
        : Error(std::move(text)), cause_(cause), codes_(std::move(codes))
    {
    }
    Cause cause() const { return cause_; }
    bool lockConflict() const { return cause_ == Cause::LockConflict; }
    bool connectionLost() const { return cause_ == Cause::ConnectionLost; }
    const std::vector<long>& codes() const { return codes_; }

private:
    Cause cause_;
    std::vector<long> codes_;
};

// A record set refused an operation; the text usually starts with the record set's name.
class DatasetError : public Error {
public:
    using Error::Error;
};

// A user text that does not convert ("'x' is not a valid integer value").
class ConversionError : public Error {
public:
    using Error::Error;
};

// An action that stops on purpose with nothing more to say: the waiter has been told what
// happened already. The default error handler shows nothing for it.
class SilentStop : public Error {
public:
    SilentStop() : Error(QString()) {}
};

// The database client library could not be loaded: the program cannot run at all.
class ClientLibraryError : public Error {
public:
    using Error::Error;
};

// The text of any exception as the user sees it.
QString errorText(const std::exception& e);

// The error box adds a full stop when the last character's code is above that of ".".
QString withFullStop(const QString& text);

// The application's default error handler: every failure that ends an action goes here.
// The text handed to the reporter already carries the full-stop rule; it is logged first
// (zenobra.ui), whatever the reporter does with it. Without a reporter, the log is all.
using ErrorReporter = std::function<void(const QString&)>;
ErrorReporter setErrorReporter(ErrorReporter reporter);
void reportError(const std::exception& e);

// The last word of a program that cannot run ("Application Error"): the text names the
// error's kind and place, then gives its message. Logged first (zenobra.app).
ErrorReporter setFatalReporter(ErrorReporter reporter);
void reportFatal(const QString& kind, const std::exception& e);

// Runs one step, reporting its failure and going on (start-up and event handlers).
template <class Step>
bool runReported(Step&& step)
{
    try {
        step();
        return true;
    } catch (const ClientLibraryError&) {
        throw;
    } catch (const std::exception& e) {
        reportError(e);
        return false;
    }
}

} // namespace zk
