// The text formats of the parameter displays and the reading of a typed take-off speed,
// without a window.

#include "ui/ParameterText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

using namespace velquor::ui;

namespace {

TEST(IntegerText, WritesPlainDigits) {
    struct {
        int value;
        const char* text;
    } const cases[] = {{327, "327"},
                       {30, "30"},
                       {8, "8"},
                       {0, "0"},
                       // the test runner's German locale groups thousands with a point;
                       // the displays must not
                       {1000, "1000"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(IntegerText(c.value), QString::fromLatin1(c.text));
    }
}

TEST(RealText, DropsTrailingZerosAndSeparator) {
    struct {
        std::int64_t scaled;
        int decimals;
        const char* separator;
        const char* text;
    } const cases[] = {
        {1362, 2, ",", "13,62"}, {300, 2, ",", "3"},    {327, 2, ",", "3,27"},
        {3270, 2, ",", "32,7"},  {196, 2, ".", "1.96"}, {105, 2, ",", "1,05"},
        {5, 2, ",", "0,05"},     {24, 1, ",", "2,4"},   {24, 1, ".", "2.4"},
        {30, 1, ",", "3"},       {1, 1, ",", "0,1"},    {0, 1, ",", "0"},
        {0, 2, ".", "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.scaled) + " / 10^" + std::to_string(c.decimals));
        EXPECT_EQ(RealText(c.scaled, c.decimals, QString::fromLatin1(c.separator)),
                  QString::fromLatin1(c.text));
    }
}

// 100 x the double, rounded to the nearest integer with halves to even, from the exact
// binary value of the double: an integer reference that shares nothing with the
// floating-point route of the program.
std::int64_t ExactHundredths(double value) {
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent); // value = fraction * 2^exponent
    const auto mantissa = static_cast<std::int64_t>(std::ldexp(fraction, 53));
    // value = mantissa / 2^shift; for pre-stretches of 1 to 64 m, shift is 47 to 52, and
    // 100 x mantissa < 2^60 fits the 64 bits.
    const int shift = 53 - exponent;
    const std::uint64_t scaled = static_cast<std::uint64_t>(mantissa) * 100;
    const std::uint64_t whole = scaled >> shift;
    const std::uint64_t rest = scaled - (whole << shift);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    const bool up = rest > half || (rest == half && (whole & 1) != 0);
    return static_cast<std::int64_t>(whole + (up ? 1 : 0));
}

TEST(PreStretchHundredths, RoundsTheExactProductHalvesToEven) {
    struct {
        int position;
        std::int64_t hundredths;
    } const cases[] = {
        // 981/72 = 13.625: an exact half, to the even neighbour.
        {72, 1362},
        // The double product lies on a half at these two; the exact one does not.
        {200, 491},
        {360, 273},
        {327, 300},
        {300, 327},
        {30, 3270},
        {31, 3165},
        {400, 245},
        {500, 196},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("position " + std::to_string(c.position));
        EXPECT_EQ(PreStretchHundredths(981.0 / c.position), c.hundredths);
    }
}

TEST(PreStretchHundredths, AgreesWithExactArithmeticAtEveryPosition) {
    for (int position = 30; position <= 500; ++position) {
        const double preStretch = 981.0 / position;
        EXPECT_EQ(PreStretchHundredths(preStretch), ExactHundredths(preStretch))
            << "position " << position;
    }
}

struct ParseCase {
    const char* name;
    const char* text;
    std::optional<int> position;
};

class ParseTakeOffSpeedTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTakeOffSpeedTest, ReadsZeroToThreeWithOneDecimal) {
    const ParseCase& c = GetParam();
    EXPECT_EQ(ParseTakeOffSpeed(QString::fromUtf8(c.text)), c.position);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseTakeOffSpeedTest,
    ::testing::Values(ParseCase{"Point", "1.5", 15}, ParseCase{"Comma", "1,5", 15},
                      ParseCase{"Three", "3", 30}, ParseCase{"ThreeWithDecimal", "3,0", 30},
                      ParseCase{"Zero", "0", 0}, ParseCase{"ZeroWithDecimal", "0.0", 0},
                      ParseCase{"SmallestStep", "0,1", 1}, ParseCase{"Default", "2,4", 24},
                      ParseCase{"Empty", "", std::nullopt},
                      ParseCase{"Letters", "abc", std::nullopt},
                      ParseCase{"NumberThenLetters", "1,5x", std::nullopt},
                      ParseCase{"AboveThree", "3,1", std::nullopt},
                      ParseCase{"Four", "4", std::nullopt}, ParseCase{"Ten", "10", std::nullopt},
                      ParseCase{"Negative", "-1", std::nullopt},
                      ParseCase{"TwoDecimals", "1,25", std::nullopt},
                      ParseCase{"TwoSeparators", "1,5,", std::nullopt},
                      ParseCase{"SeparatorOnly", ",", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
