// The number rules every layer of GPS Quillet shares: reading texts as numbers,
// rounding, and writing numbers as texts. Plain C++ (no Qt), so that the
// converter, the field checks, the tests and the benchmarks all read and write
// digits the same way: written with "." whatever the locale, and read with "."
// (and the desktop's decimal separator, once the window sets it).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quillet {

// A value operation that cannot give a result: a text that is not a number,
// a whole number outside the 16-bit range, or a computation that left the
// finite doubles, or a position the projection cannot give correctly
// (OutOfReach). Handlers catch it at their boundary; it never reaches Qt.
class ValueError : public std::runtime_error {
public:
    enum class Kind { TypeMismatch, Overflow, DivisionByZero, OutOfReach };

    explicit ValueError(Kind kind);

    Kind kind() const noexcept { return kind_; }

private:
    Kind kind_;
};

// The decimal separator of the person's desktop ("," in Germany), read as a
// decimal point besides "." by IsNumericText, ParseNumber and LeadingNumber.
// "." alone until the window sets another at start-up, so other programs
// read "." only. Digits, signs, blanks, "e", "E" and non-ASCII are ignored.
// Neither is ever a thousands separator; numbers are always written with ".".
void SetUserDecimalSeparator(char separator) noexcept;
char UserDecimalSeparator() noexcept;

// True when ParseNumber would succeed: blanks, an optional sign, digits with
// an optional fraction after "." or the user's decimal separator (".5" and
// "5." count), an optional exponent, blanks. The empty text, "inf", "nan",
// hexadecimal, thousands separators, currency marks, a code-0 character and
// numbers beyond the double range are not numeric.
bool IsNumericText(std::string_view text) noexcept;

// The number IsNumericText accepts; throws ValueError(TypeMismatch) otherwise.
double ParseNumber(std::string_view text);

// The number formed by the longest leading part of the text, with blanks
// anywhere ignored and "." (or the user's separator) as the decimal point; 0
// when there is none.
// Never fails and is always finite: a number beyond the double range gives
// the largest finite double of its sign.
double LeadingNumber(std::string_view text) noexcept;

// The exact binary value of `value` rounded to `places` decimal places; only
// a true tie goes to the even digit (0.125 gives 0.12, 0.375 gives 0.38).
// Non-finite values pass through unchanged.
double RoundHalfEven(double value, int places);

// The shortest decimal text of at most 15 significant digits: "-" for
// negatives, "0" before a leading point, no trailing zeros or point, and a
// negative zero written 0. Plain digits from 1E-07 up to below 1E+15, the
// exponent form ("1E+15", "1.5E-08") outside. Throws ValueError(Overflow)
// for inf and nan, so no such text can reach a box.
std::string NumberToText(double value);

// The nearest 16-bit integer, ties to even; ValueError(Overflow) outside
// -32768..32767 or for a value that is not finite.
std::int16_t ToShortInt(double value);
// The text is read by ParseNumber first.
std::int16_t ToShortInt(std::string_view text);
// The result of 16-bit integer arithmetic done in a wider type: overflow when
// it leaves -32768..32767.
std::int16_t CheckedShort(long long value);

// The largest whole number not above the value (-2.5 gives -3).
double FloorOf(double value) noexcept;

// The text with its ASCII letters in upper case; other characters unchanged.
std::string UpperText(std::string_view text);

}  // namespace quillet
