#pragma once
// Reading and writing the values of a message buffer, where nothing is aligned for the
// type in hand.

#include "data/fb/Message.h"

#include <cstring>

namespace zk::fb {

template <class T>
T load(const std::byte* p)
{
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

template <class T>
void store(std::byte* p, T value)
{
    std::memcpy(p, &value, sizeof value);
}

inline bool isNull(const Column& c, const std::byte* buffer) { return load<sql::Smallint>(buffer + c.nullOffset) != 0; }
inline void setNull(const Column& c, std::byte* buffer, bool null)
{
    store<sql::Smallint>(buffer + c.nullOffset, null ? -1 : 0);
}

// The bytes a value takes: its length, and the length word of a VARCHAR.
inline unsigned valueBytes(const Column& c) { return c.length + (c.type == sql::varying ? 2 : 0); }

// One column's value, null flag included, from one buffer into another of the same type.
inline void copyValue(const Column& from, const std::byte* source, const Column& to, std::byte* target)
{
    const bool null = isNull(from, source);
    setNull(to, target, null);
    if (!null)
        std::memcpy(target + to.offset, source + from.offset, valueBytes(to));
}

} // namespace zk::fb
