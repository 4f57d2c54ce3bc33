#include "ResultText.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>

namespace velquor::run {

namespace {

constexpr int SignificantDigits = 6;
constexpr int Decimals = 2;

std::int64_t powerOfTen(int exponent) {
    std::int64_t result = 1;
    while (exponent-- > 0)
        result *= 10;
    return result;
}

// |value| in hundredths, from its six-digit decimal form, halves rounded away from zero.
// std::to_chars ignores the C library's locale, whose decimal comma would otherwise turn
// up in the digits.
std::int64_t hundredthsOf(double value, bool& negative) {
    char text[40];
    const std::to_chars_result written = std::to_chars(
        text, text + sizeof text, value, std::chars_format::scientific, SignificantDigits - 1);
    *written.ptr = '\0';
    const char* p = text;
    negative = *p == '-';
    if (negative)
        ++p;
    std::int64_t digits = 0; // the six significant digits as one integer
    for (; *p != 'e'; ++p)
        if (*p != '.')
            digits = digits * 10 + (*p - '0');
    const int exponent = std::atoi(p + 1);
    // value = digits x 10^(exponent - 5); hundredths = digits x 10^(exponent - 5 + 2)
    const int shift = exponent - (SignificantDigits - 1) + Decimals;
    if (shift >= 0)
        return digits * powerOfTen(shift);
    if (-shift > SignificantDigits + 1)
        return 0;
    const std::int64_t divisor = powerOfTen(-shift);
    return (digits + divisor / 2) / divisor;
}

} // namespace

QString FormatResult(double value, const QString& decimalSeparator) {
    bool negative = false;
    const std::int64_t hundredths = hundredthsOf(value, negative);
    const QString fraction = QStringLiteral("%1").arg(hundredths % 100, 2, 10, QLatin1Char('0'));
    QString text = QString::number(hundredths / 100) + decimalSeparator + fraction;
    if (negative && hundredths != 0)
        text.prepend(QLatin1Char('-'));
    return text;
}

} // namespace velquor::run
