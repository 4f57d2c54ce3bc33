#pragma once

#include <QString>

namespace velquor::run {

// What an empty result field holds.
inline const QString BlankResult = QStringLiteral("    ");

// Fixed point with exactly two decimals, rounded half away from zero after rounding to six
// significant digits (so that a sum of many steps that lands a hair off a half, such as
// 2348 x 0.00125 beside 2.935, shows as the exact value would); never a minus sign on a
// value that shows as zero.
QString FormatResult(double value, const QString& decimalSeparator);

} // namespace velquor::run
