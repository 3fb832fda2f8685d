#include "values/values.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

using namespace std::string_literals;
using quillet::ValueError;

namespace {

const double kInfinity = std::numeric_limits<double>::infinity();
const double kLargest = std::numeric_limits<double>::max();

TEST(IsNumericText, AcceptsSignedDecimalsAndRejectsEverythingElse) {
    for (const char* text : {"45", "-45", "+45", " 12.5 ", "\t7\t", ".5", "5.", "1E-5", "2.5e+3", "1e-400"})
        EXPECT_TRUE(quillet::IsNumericText(text)) << '"' << text << '"';
    for (const std::string& text : {""s, " "s, "."s, "-"s, "1 2"s, "12N"s, "inf"s, "nan"s, "0x1A"s, "1,000"s, "$5"s,
                                    "1e"s, "1e400"s, "12\0"s, "1\0"s + "2"s, "１２"s})
        EXPECT_FALSE(quillet::IsNumericText(text)) << '"' << text << '"';
    EXPECT_EQ(quillet::ParseNumber(" -12.5 "), -12.5);
    EXPECT_THROW(quillet::ParseNumber("12,5"), ValueError);
}

TEST(IsNumericText, ReadsTheUserDecimalSeparatorBesidesThePoint) {
    // The process's locale changes nothing; the separator the window sets does.
    ASSERT_TRUE(std::setlocale(LC_ALL, "de_DE.UTF-8")) << "the tests build this locale first";
    quillet::SetUserDecimalSeparator(',');
    EXPECT_EQ(quillet::ParseNumber(" 12,5 "), 12.5);
    EXPECT_EQ(quillet::ParseNumber("12.5"), 12.5);
    EXPECT_EQ(quillet::LeadingNumber("7,68N"), 7.68);
    EXPECT_EQ(quillet::LeadingNumber("1,5.3"), 1.5);
    EXPECT_FALSE(quillet::IsNumericText("1,500.5"));
    EXPECT_EQ(quillet::NumberToText(12.5), "12.5");
    quillet::SetUserDecimalSeparator('.');
    std::setlocale(LC_ALL, "C");
    EXPECT_FALSE(quillet::IsNumericText("1,500"));
}

TEST(LeadingNumber, ReadsTheLongestLeadingNumberAndNeverFails) {
    const struct { std::string text; double expected; } cases[] = {
        {"12.5N", 12.5}, {"N12", 0.0},    {"-5x", -5.0},   {"", 0.0},        {"1 2.5", 12.5}, {"- 7", -7.0},
        {".5", 0.5},     {"-", 0.0},      {"2E-1x", 0.2},  {"1e", 1.0},      {"12.5.3", 12.5}, {"--5", 0.0},
        {"1e400", kLargest}, {"-1e99999999999999999999", -kLargest}, {"1\0"s + "2", 1.0},
    };
    for (const auto& row : cases) EXPECT_EQ(quillet::LeadingNumber(row.text), row.expected) << '"' << row.text << '"';
}

TEST(RoundHalfEven, RoundsTheExactBinaryValueWithTiesToEven) {
    const struct { double value; int places; double expected; } cases[] = {
        {0.125, 2, 0.12}, {0.375, 2, 0.38}, {2.5, 0, 2.0}, {-2.5, 0, -2.0}, {3.5, 0, 4.0},  // exact ties
        {2.675, 2, 2.67},  // stored just below the tie
        {2.345, 2, 2.35},  // stored just above it
        {7.6800000000008595, 3, 7.68}, {-3749051.6545, 0, -3749052.0}, {1e20, 3, 1e20},
    };
    for (const auto& row : cases)
        EXPECT_EQ(quillet::RoundHalfEven(row.value, row.places), row.expected) << row.value << ", " << row.places;
}

TEST(NumberToText, WritesFifteenSignificantDigitsAtMost) {
    const struct { double value; const char* expected; } cases[] = {
        {45.0, "45"},          {52.128000000000014, "52.128"}, {-0.5, "-0.5"},      {-0.0, "0"},
        {0.1 + 0.2, "0.3"},    {2.0 / 3.0, "0.666666666666667"}, {123456789012345.0, "123456789012345"},
        {1e15, "1E+15"},       {1e-7, "0.0000001"},            {1.5e-8, "1.5E-08"}, {99999.99999999999, "100000"},
    };
    for (const auto& row : cases) EXPECT_EQ(quillet::NumberToText(row.value), row.expected);
    // The largest doubles, found by fuzzing: their 15 digits rounded up past the double range.
    for (const double value :
         {39.999999999, 151.209299980, 0.000123456789012345, kLargest, -kLargest, 1.7976931348623155e308})
        EXPECT_NEAR(quillet::ParseNumber(quillet::NumberToText(value)), value, std::fabs(value) * 5e-15) << value;
    EXPECT_EQ(quillet::NumberToText(1.79769313486231e308), "1.79769313486231E+308");
    EXPECT_THROW(quillet::NumberToText(kInfinity), ValueError);
    EXPECT_THROW(quillet::NumberToText(std::nan("")), ValueError);
}

TEST(ToShortInt, RoundsTiesToEvenAndFailsOutsideSixteenBits) {
    EXPECT_EQ(quillet::ToShortInt(2.5), 2);
    EXPECT_EQ(quillet::ToShortInt(-32768.5), -32768);
    EXPECT_EQ(quillet::ToShortInt(" 56 "), 56);
    // The overflow's kind is held where a zone leaves 16 bits in the projection.
    for (const double value : {32767.5, -32769.0, 1e300, kInfinity, std::nan("")})
        EXPECT_THROW(quillet::ToShortInt(value), ValueError) << value;
    EXPECT_THROW(quillet::ToShortInt("12N"), ValueError);
    EXPECT_THROW(quillet::CheckedShort(5462LL * 6), ValueError);
}

}  // namespace
