// Conversions between reals and the model's integer fields.
#pragma once

#include <cmath>
#include <cstdint>

namespace sc {

// Nearest integer, halves to even (20.5 -> 20, 21.5 -> 22). nearbyint follows
// the default rounding mode, which is exactly that; std::round is not.
inline double arrotonda(double x) { return std::nearbyint(x); }

// Integers stored into narrower fields keep their low bits.
inline std::int16_t bassi16(std::int64_t v) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(v)); }
inline std::uint8_t bassi8(std::int64_t v) { return static_cast<std::uint8_t>(v); }

}  // namespace sc
