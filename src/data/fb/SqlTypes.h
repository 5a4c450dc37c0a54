#pragma once
// The client's SQL type codes (without the nullable bit) and the values a message buffer
// holds, for the layers above data/fb, which never see the client's headers. Message.cpp
// checks them against the client's own.

#include <cstdint>

namespace zk::fb::sql {

inline constexpr unsigned text = 452;
inline constexpr unsigned varying = 448;
inline constexpr unsigned smallint = 500;
inline constexpr unsigned integer = 496;
inline constexpr unsigned floatType = 482;
inline constexpr unsigned doubleType = 480;
inline constexpr unsigned dFloat = 530;
inline constexpr unsigned timestamp = 510;
inline constexpr unsigned blob = 520;
inline constexpr unsigned time = 560;
inline constexpr unsigned date = 570;
inline constexpr unsigned bigint = 580;

using Smallint = std::int16_t;
using Integer = std::int32_t;
using Bigint = std::int64_t;
using Date = std::int32_t; // days since 17 Nov 1858
using Time = std::uint32_t; // ten-thousandths of a second since midnight

// A blob's identity (the client's ISC_QUAD).
struct BlobId {
    std::int32_t high = 0;
    std::uint32_t low = 0;
};

} // namespace zk::fb::sql
