#pragma once
// Collects what the default error handler would have shown, instead of a blocking box.

#include "base/Erros.h"

#include <QStringList>

class ErrorLog {
public:
    ErrorLog() : previous_(zk::setErrorReporter([this](const QString& text) { messages << text; })) {}
    ~ErrorLog() { zk::setErrorReporter(previous_); }
    ErrorLog(const ErrorLog&) = delete;
    ErrorLog& operator=(const ErrorLog&) = delete;

    QStringList messages;

private:
    zk::ErrorReporter previous_;
};
