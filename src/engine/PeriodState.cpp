// The two arithmetic helpers shared by the engine, the input stage and the
// monthly calculation.
#include "engine/PeriodState.h"

#include <cmath>

namespace attcalc {

std::int32_t RoundHalfEven(double x) {
    double f = std::floor(x);
    double diff = x - f;
    if (diff > 0.5) return static_cast<std::int32_t>(f + 1);
    if (diff < 0.5) return static_cast<std::int32_t>(f);
    return static_cast<std::int32_t>(std::fmod(f, 2.0) == 0 ? f : f + 1);
}

std::int32_t TierPercent(std::int32_t value, std::int32_t threshold, double firstPercent,
                         double secondPercent) {
    // The sum of products is formed before the one division by 100, so that
    // whole percentages give an exact half where the true value has one.
    double numerator;
    if (threshold < value)
        numerator = static_cast<double>(threshold) * firstPercent +
                    secondPercent * static_cast<double>(value - threshold);
    else
        numerator = static_cast<double>(value) * firstPercent;
    return RoundHalfEven(numerator / 100.0);
}

void BalanceAdd(std::int32_t& days, std::int32_t& minutes, std::int32_t addDays,
                std::int32_t dayLength, std::int32_t addMinutes) {
    if (dayLength <= 0) dayLength = 30000;  // 0 (and a nonsensical negative length) would never settle
    days += addDays;
    minutes += addMinutes;
    if (minutes < 0) {
        std::int32_t borrow = (-minutes + dayLength - 1) / dayLength;
        minutes += borrow * dayLength;
        days -= borrow;
    }
    if (minutes >= dayLength) {
        days += minutes / dayLength;
        minutes %= dayLength;
    }
    if (days < 0 && minutes > 0) {
        days += 1;
        minutes -= dayLength;
    }
}

}  // namespace attcalc
