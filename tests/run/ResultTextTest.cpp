#include "run/ResultText.h"
#include "Printers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

using velquor::run::FormatResult;

namespace {

struct FormatCase {
    const char* name;
    double value;
    const char* separator;
    const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.name;
}

std::string caseName(const ::testing::TestParamInfo<FormatCase>& info) {
    return info.param.name;
}

class FormatResultTable : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatResultTable, ShowsTwoDecimals) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatResult(c.value, QString::fromLatin1(c.separator)),
              QString::fromLatin1(c.expected))
        << "value " << c.value;
}

const FormatCase formatCases[] = {
    // Flight times of the single runs at the start settings.
    FormatCase{"EarthFlight", 0.48875, ",", "0,49"},
    FormatCase{"CounterweightFlight", 5.38125, ",", "5,38"},
    FormatCase{"MoonFlightTime", 2348 * 0.00125, ",", "2,94"},
    // These halves are stored a hair below the half (1.005 as 1.00499999999999989...);
    // six significant digits make them halves again, which round up.
    FormatCase{"HalfStoredBelowOneCent", 1.005, ",", "1,01"},
    FormatCase{"HalfStoredBelowTwoCents", 1.015, ",", "1,02"},
    FormatCase{"HalfStoredBelowLarger", 2.675, ",", "2,68"},
    FormatCase{"NegativeHalfStoredBelow", -1.015, ",", "-1,02"},
    FormatCase{"HalfExactInBinary", 0.125, ",", "0,13"},
    FormatCase{"HalfThreeEighths", 0.375, ",", "0,38"},
    FormatCase{"JustBelowHalf", 0.0049999, ",", "0,00"},
    FormatCase{"SmallestHalf", 0.005, ",", "0,01"},
    FormatCase{"Zero", 0.0, ",", "0,00"},
    FormatCase{"NegativeZero", -0.0, ",", "0,00"},
    // A rope that lands a hair below its floor shows no sign.
    FormatCase{"TinyNegative", -0.0000026, ",", "0,00"},
    FormatCase{"NegativeBelowHalfCent", -0.004, ",", "0,00"},
    FormatCase{"Subnormal", -5e-324, ",", "0,00"},
    FormatCase{"NegativeHalfAwayFromZero", -0.125, ",", "-0,13"},
    FormatCase{"NegativeSmallestHalf", -0.005, ",", "-0,01"},
    FormatCase{"NegativeOneAndHalf", -1.5, ",", "-1,50"},
    FormatCase{"NegativeHalfAboveInBinary", -2.345, ",", "-2,35"},
    FormatCase{"NegativeLarge", -98765.4321, ",", "-98765,40"},
    // Six significant digits: the hundredths of large values are lost.
    FormatCase{"FiveIntegerDigits", 98765.4321, ",", "98765,40"},
    FormatCase{"SixIntegerDigits", 123456.789, ",", "123457,00"},
    FormatCase{"SevenIntegerDigits", 1234567.891, ",", "1234570,00"},
    FormatCase{"RoundsUpToNextPower", 999999.5, ",", "1000000,00"},
    FormatCase{"SixDigitsBeforeTwoDecimals", 12.3456789, ",", "12,35"},
    FormatCase{"WholeNumber", 7.0, ",", "7,00"},
    // The separator is the caller's, whatever it is.
    FormatCase{"PointEarthFlight", 0.48875, ".", "0.49"},
    FormatCase{"PointNegative", -1.5, ".", "-1.50"},
    FormatCase{"PointTinyNegative", -0.0000026, ".", "0.00"},
    FormatCase{"PointLarge", 123456.789, ".", "123457.00"},
};

INSTANTIATE_TEST_SUITE_P(Values, FormatResultTable, ::testing::ValuesIn(formatCases), caseName);

// The window's QApplication sets the C library's locale from the environment, so a user
// with German settings runs the program with a decimal comma in LC_NUMERIC. The result
// texts must not depend on it: the separator comes from the caller alone.
class FormatResultUnderCommaCLocale : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = std::setlocale(LC_NUMERIC, nullptr);
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "de_AT.UTF-8", "fr_FR.UTF-8",
                                 "fr_FR.utf8", "nl_NL.UTF-8", "it_IT.UTF-8"}) {
            if (std::setlocale(LC_NUMERIC, name) != nullptr &&
                std::string(std::localeconv()->decimal_point) == ",")
                return;
        }
        std::setlocale(LC_NUMERIC, saved_.c_str());
        GTEST_SKIP() << "no C locale with a decimal comma is installed (e.g. de_DE.UTF-8)";
    }
    void TearDown() override { std::setlocale(LC_NUMERIC, saved_.c_str()); }

private:
    std::string saved_;
};

TEST_F(FormatResultUnderCommaCLocale, ShowsTheSameTextsAsUnderTheCLocale) {
    for (const FormatCase& c : formatCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FormatResult(c.value, QString::fromLatin1(c.separator)),
                  QString::fromLatin1(c.expected));
    }
}

// A single run adds TimeStep once per step; the sum that 2348 Moon steps leave, off 2.935
// by rounding errors, must still show as the exact 2.935 would.
TEST(FormatResult, MoonFlightTimeAccumulatedStepByStep) {
    double total = 0;
    for (int step = 0; step < 2348; ++step)
        total += 0.00125;
    EXPECT_EQ(FormatResult(total, QStringLiteral(",")), QStringLiteral("2,94"));
}

} // namespace
