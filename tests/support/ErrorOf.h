#pragma once
// The text of the error an action raises, or "<no error>".

#include "base/Erros.h"

#include <functional>

inline QString errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const zk::Error& e) {
        return e.text();
    }
    return QStringLiteral("<no error>");
}
