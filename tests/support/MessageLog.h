#pragma once
// Collects the texts given to the self-closing message window (Mensagem), instead of showing
// them, and puts back whatever window was there before.

#include "base/Ufuncoes.h"

#include <QStringList>

class MessageLog {
public:
    MessageLog() : previous_(RegistraMensagem([this](const QString& text) { messages << text; })) {}
    ~MessageLog() { RegistraMensagem(std::move(previous_)); }
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    QStringList messages;

private:
    std::function<void(const QString&)> previous_;
};
