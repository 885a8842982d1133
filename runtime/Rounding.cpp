#include "runtime/Rounding.h"

#include <cmath>
#include <limits>

namespace rt {

namespace {

template <typename T>
T Saturate(double rounded)
{
    if (std::isnan(rounded)) return 0;
    if (rounded <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
    if (rounded >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
    return static_cast<T>(rounded);
}

double NearestEven(double value)
{
    // std::nearbyint honours the current rounding mode, which nobody here changes from
    // round-to-nearest-even; spell the rule out anyway so the result cannot depend on it.
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

}  // namespace

std::int32_t RoundHalfEven(double value)
{
    return Saturate<std::int32_t>(NearestEven(value));
}

std::int16_t RoundHalfEven16(double value)
{
    return Saturate<std::int16_t>(NearestEven(value));
}

std::int32_t IntegerDivide(double dividend, double divisor)
{
    const std::int32_t a = RoundHalfEven(dividend);
    const std::int32_t b = RoundHalfEven(divisor);
    if (b == 0) return 0;
    if (b == -1 && a == std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::max();
    return a / b;
}

}  // namespace rt
