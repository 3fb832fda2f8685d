#include "app/values.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

using namespace std::string_literals;
using quillet::ValueError;

namespace {

TEST(IsNumericText, AcceptsSignedDecimalsWithFractionExponentAndBlanks) {
    for (const char* text : {"0", "45", "-45", "+45", " 12.5 ", "\t7\t", ".5", "5.", "-.5", "1e5", "1E-5",
                             "2.5e+3", "007", "1e-400", "179.99999999999999999"})
        EXPECT_TRUE(quillet::IsNumericText(text)) << '"' << text << '"';
}

TEST(IsNumericText, RejectsEverythingElse) {
    for (const std::string& text : {""s, " "s, "."s, "-"s, "+-1"s, "1 2"s, "12N"s, "N12"s, "inf"s, "-inf"s,
                                   "nan"s, "infinity"s, "0x1A"s, "&H1A"s, "1,000"s, "1,5"s, "$5"s, "5€"s,
                                   "1e"s, "1e+"s, "e5"s, "1..2"s, "1e400"s, "-1e309"s, "12\0"s, "\0"s + "12"s,
                                   "1\0"s + "2"s, "１２"s})
        EXPECT_FALSE(quillet::IsNumericText(text)) << '"' << text << '"';
}

TEST(ParseNumber, ReadsTheNumberOrFailsWithTypeMismatch) {
    EXPECT_EQ(quillet::ParseNumber(" -12.5 "), -12.5);
    EXPECT_EQ(quillet::ParseNumber("4427757.2187"), 4427757.2187);
    EXPECT_EQ(quillet::ParseNumber("1e-400"), 0.0);
    for (const char* text : {"", "abc", "1e400", "12,5"}) {
        try {
            quillet::ParseNumber(text);
            ADD_FAILURE() << "no error for \"" << text << '"';
        } catch (const ValueError& error) {
            EXPECT_EQ(error.kind(), ValueError::Kind::TypeMismatch);
        }
    }
}

TEST(ParseNumber, IgnoresTheLocaleDecimalComma) {
    // A German locale must not turn "12.5" into 125 or refuse it.
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "C.UTF-8"))
        GTEST_SKIP() << "no locale to switch to";
    EXPECT_EQ(quillet::ParseNumber("12.5"), 12.5);
    EXPECT_EQ(quillet::NumberToText(12.5), "12.5");
    EXPECT_EQ(quillet::LeadingNumber("12.5N"), 12.5);
    std::setlocale(LC_ALL, "C");
}

TEST(LeadingNumber, ReadsTheLongestLeadingNumberAndNeverFails) {
    const struct {
        std::string text;
        double expected;
    } cases[] = {
        {"12.5N", 12.5}, {"N12", 0.0},      {"-5x", -5.0},    {"", 0.0},          {"  45  ", 45.0},
        {"1 2.5", 12.5}, {"- 7", -7.0},     {"+3", 3.0},      {".5", 0.5},        {"5.", 5.0},
        {"-", 0.0},      {".", 0.0},        {"1e3", 1000.0},  {"1e", 1.0},        {"2E-1x", 0.2},
        {"12.5.3", 12.5}, {"--5", 0.0},     {"07", 7.0},      {"45abc", 45.0},    {"1\0"s + "2", 1.0},
        {"°45", 0.0},    {"1e-999", 0.0},
    };
    for (const auto& row : cases) EXPECT_EQ(quillet::LeadingNumber(row.text), row.expected) << '"' << row.text << '"';
}

TEST(LeadingNumber, StaysFiniteBeyondTheDoubleRange) {
    const double huge = std::numeric_limits<double>::max();
    EXPECT_EQ(quillet::LeadingNumber("1e400"), huge);
    EXPECT_EQ(quillet::LeadingNumber("-1e99999999999999999999"), -huge);
    EXPECT_EQ(quillet::LeadingNumber(std::string(400, '9')), huge);
}

TEST(RoundHalfEven, RoundsTheExactBinaryValueWithTiesToEven) {
    const struct {
        double value;
        int places;
        double expected;
    } cases[] = {
        {0.125, 2, 0.12},   {0.375, 2, 0.38},  {2.5, 0, 2.0},   {3.5, 0, 4.0},    {-2.5, 0, -2.0},
        {0.5, 0, 0.0},      {1.5, 0, 2.0},     // exact ties
        {1.005, 2, 1.0},    {2.675, 2, 2.67},  // stored just below the tie
        {2.345, 2, 2.35},   // stored just above the tie
        {7.6800000000008595, 3, 7.68},         {52.128000000000014, 5, 52.128},
        {33.86880000000001, 7, 33.8688},       {334368.6318, 0, 334369.0},
        {-3749051.6545, 0, -3749052.0},        {59.9999, 3, 60.0},
        {1e20, 3, 1e20},
    };
    for (const auto& row : cases)
        EXPECT_EQ(quillet::RoundHalfEven(row.value, row.places), row.expected)
            << row.value << " to " << row.places << " places";
    EXPECT_TRUE(std::isnan(quillet::RoundHalfEven(std::nan(""), 3)));
}

TEST(NumberToText, WritesFifteenSignificantDigitsAtMost) {
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {45.0, "45"},          {3.0, "3"},
        {-45.0, "-45"},        {52.128000000000014, "52.128"},
        {0.5, "0.5"},          {-0.5, "-0.5"},
        {-0.0, "0"},           {0.0, "0"},
        {0.1 + 0.2, "0.3"},    {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E+15"},       {1.5e16, "1.5E+16"},
        {1e-7, "0.0000001"},   {1.5e-8, "1.5E-08"},
        {9.9999999999999999e14, "1E+15"},
        {99999.99999999999, "100000"},
        {-3749052.0, "-3749052"}, {1e300, "1E+300"},
    };
    for (const auto& row : cases) EXPECT_EQ(quillet::NumberToText(row.value), row.expected);
}

TEST(NumberToText, ReadsBackToTheSameFifteenDigits) {
    for (const double value : {39.999999999, -75.0, 151.209299980, 0.000123456789012345, 6367449.145801})
        EXPECT_NEAR(quillet::ParseNumber(quillet::NumberToText(value)), value, std::fabs(value) * 1e-14);
}

TEST(NumberToText, RefusesNonFiniteValues) {
    EXPECT_THROW(quillet::NumberToText(std::numeric_limits<double>::infinity()), ValueError);
    EXPECT_THROW(quillet::NumberToText(std::nan("")), ValueError);
}

TEST(ToShortInt, RoundsTiesToEvenWithinSixteenBits) {
    const struct {
        double value;
        int expected;
    } cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {32767.0, 32767}, {-32768.0, -32768},
                 {32767.4, 32767}, {-32768.5, -32768}, {18.0, 18}};
    for (const auto& row : cases) EXPECT_EQ(quillet::ToShortInt(row.value), row.expected) << row.value;
    EXPECT_EQ(quillet::ToShortInt(" 56 "), 56);
}

TEST(ToShortInt, FailsOutsideTheRangeAndOnNonNumbers) {
    const auto kindOf = [](auto&& call) {
        try {
            call();
        } catch (const ValueError& error) {
            return error.kind();
        }
        ADD_FAILURE() << "no error";
        return ValueError::Kind::DivisionByZero;
    };
    for (const double value : {32767.5, -32769.0, 1e300, std::numeric_limits<double>::infinity(), std::nan("")})
        EXPECT_EQ(kindOf([&] { quillet::ToShortInt(value); }), ValueError::Kind::Overflow) << value;
    EXPECT_EQ(kindOf([] { quillet::ToShortInt("12N"); }), ValueError::Kind::TypeMismatch);
    EXPECT_EQ(kindOf([] { quillet::ToShortInt("99999"); }), ValueError::Kind::Overflow);
    EXPECT_EQ(kindOf([] { quillet::CheckedShort(5462LL * 6); }), ValueError::Kind::Overflow);
    EXPECT_EQ(quillet::CheckedShort(61 * 6 - 183), 183);
}

TEST(TextHelpers, FloorAndUpperCase) {
    EXPECT_EQ(quillet::FloorOf(-2.5), -3.0);
    EXPECT_EQ(quillet::FloorOf(2.5), 2.0);
    EXPECT_EQ(quillet::UpperText("s"), "S");
    EXPECT_EQ(quillet::UpperText("nOrth 1°"), "NORTH 1°");
}

}  // namespace
