#pragma once
// The texts of the parameter displays beside the sliders.

#include <QString>

#include <cstdint>
#include <optional>

namespace velquor::ui {

// Decimal digits, no sign, grouping or leading zeros: "327".
QString IntegerText(int value);

// A value given as a whole number of 10^-decimals, written with at most that many
// decimals, trailing zeros and a trailing separator dropped: (1362, 2) -> "13,62",
// (300, 2) -> "3", (24, 1) -> "2,4".
QString RealText(std::int64_t scaled, int decimals, const QString& decimalSeparator);

// 100 x pre-stretch rounded to the nearest integer, halves to even. The product of 100
// and a double is exact in long double, so halves that only appear after rounding the
// product to a double (981/200, 981/360) do not mislead the rounding.
std::int64_t PreStretchHundredths(double preStretch);

// A typed take-off speed: 0 to 3 m/s with at most one decimal, either separator.
// Returns the slider position (tenths of m/s), or nothing for any other text.
std::optional<int> ParseTakeOffSpeed(const QString& text);

} // namespace velquor::ui
