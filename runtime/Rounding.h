#pragma once
// Conversions from real numbers to whole numbers round to the nearest integer and
// halves to the even neighbour: 0.5 -> 0, 1.5 -> 2, 2.5 -> 2, -1.5 -> -2.

#include <cstdint>

namespace rt {

// Rounds halves to even; values beyond the 32-bit range saturate.
std::int32_t RoundHalfEven(double value);

// The same, narrowed to the 16-bit integers that some window regions and layout values use;
// out-of-range values saturate instead of wrapping.
std::int16_t RoundHalfEven16(double value);

// Integer division as the layout code writes it with "\": rounds both operands first, then
// truncates toward zero. Division by zero yields 0.
std::int32_t IntegerDivide(double dividend, double divisor);

}  // namespace rt
