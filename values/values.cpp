#include "values/values.h"

#include <array>
#include <atomic>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace quillet {

namespace {

const char* MessageOf(ValueError::Kind kind) {
    switch (kind) {
    case ValueError::Kind::TypeMismatch: return "Type mismatch";
    case ValueError::Kind::Overflow: return "Overflow";
    case ValueError::Kind::DivisionByZero: return "Division by zero";
    case ValueError::Kind::OutOfReach: return "Out of reach";
    }
    return "Invalid value";
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Atomic: fuzzers and tests may read numbers on several threads.
std::atomic<char> userSeparator{'.'};

bool IsDecimalPoint(char c) { return c == '.' || c == userSeparator.load(std::memory_order_relaxed); }

// The decimal order of magnitude of an unsigned decimal numeral such as
// "0.00125e-3": the power of ten of its first non-zero digit. Only used to
// tell an overflow from an underflow once std::from_chars has said that the
// value is out of range, so a saturated exponent is good enough.
long long OrderOfMagnitude(std::string_view numeral) {
    long long order = 0;
    bool seenNonZero = false;
    bool inFraction = false;
    long long leadingFractionZeros = 0;
    long long integerDigits = 0;
    std::size_t i = 0;
    for (; i < numeral.size(); ++i) {
        const char c = numeral[i];
        if (c == '.') {
            inFraction = true;
        } else if (IsDigit(c)) {
            if (!inFraction) {
                if (seenNonZero || c != '0') ++integerDigits;
            } else if (!seenNonZero && integerDigits == 0 && c == '0') {
                ++leadingFractionZeros;
            }
            if (c != '0') seenNonZero = true;
        } else {
            break;  // the exponent marker
        }
    }
    order = integerDigits > 0 ? integerDigits - 1 : -(leadingFractionZeros + 1);
    if (i < numeral.size()) {
        ++i;  // 'e' or 'E'
        bool negative = false;
        if (i < numeral.size() && (numeral[i] == '+' || numeral[i] == '-')) negative = numeral[i++] == '-';
        long long exponent = 0;
        for (; i < numeral.size() && IsDigit(numeral[i]); ++i)
            exponent = std::min(exponent * 10 + (numeral[i] - '0'), 1'000'000'000LL);
        order += negative ? -exponent : exponent;
    }
    return order;
}

// Reads an unsigned numeral that has already been checked for its form.
// Out-of-range values: nullopt for an overflow, zero for an underflow.
std::optional<double> ReadNumeral(std::string_view numeral) {
    // from_chars knows "." only.
    std::string withPoint;
    const char separator = userSeparator.load(std::memory_order_relaxed);
    if (separator != '.' && numeral.find(separator) != std::string_view::npos) {
        withPoint.assign(numeral);
        withPoint[withPoint.find(separator)] = '.';
        numeral = withPoint;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(numeral.data(), numeral.data() + numeral.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (OrderOfMagnitude(numeral) > 0) return std::nullopt;
        return 0.0;
    }
    if (error != std::errc() || end != numeral.data() + numeral.size()) return std::nullopt;
    return value;
}

// Length of the longest prefix of `text` that is an unsigned numeral: digits
// with an optional fraction (at least one digit in all) and an optional
// exponent that has at least one digit.
std::size_t NumeralLength(std::string_view text) {
    std::size_t i = 0;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && IsDecimalPoint(text[i])) {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        const std::size_t exponentStart = j;
        while (j < text.size() && IsDigit(text[j])) ++j;
        if (j > exponentStart) i = j;
    }
    return i;
}

// The whole-text number rule shared by IsNumericText and ParseNumber.
std::optional<double> ParseWhole(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    text = text.substr(begin, end - begin);

    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || NumeralLength(text) != text.size()) return std::nullopt;
    const std::optional<double> value = ReadNumeral(text);
    if (!value) return std::nullopt;
    return negative ? -*value : *value;
}

}  // namespace

void SetUserDecimalSeparator(char separator) noexcept {
    const bool usable = separator > ' ' && separator < 0x7F && !IsDigit(separator) && separator != '+' &&
                        separator != '-' && separator != 'e' && separator != 'E';
    userSeparator.store(usable ? separator : '.', std::memory_order_relaxed);
}

char UserDecimalSeparator() noexcept { return userSeparator.load(std::memory_order_relaxed); }

ValueError::ValueError(Kind kind) : std::runtime_error(MessageOf(kind)), kind_(kind) {}

bool IsNumericText(std::string_view text) noexcept { return ParseWhole(text).has_value(); }

double ParseNumber(std::string_view text) {
    const std::optional<double> value = ParseWhole(text);
    if (!value) throw ValueError(ValueError::Kind::TypeMismatch);
    return *value;
}

double LeadingNumber(std::string_view text) noexcept {
    // Blanks count as nothing anywhere, so "1 2.5" reads as 12.5, as in a
    // document where digits were grouped with spaces.
    std::string compact;
    compact.reserve(text.size());
    for (const char c : text)
        if (!IsBlank(c) && c != '\n' && c != '\r') compact.push_back(c);

    std::string_view rest = compact;
    bool negative = false;
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
        negative = rest[0] == '-';
        rest.remove_prefix(1);
    }
    const std::size_t length = NumeralLength(rest);
    if (length == 0) return 0.0;
    const std::optional<double> value = ReadNumeral(rest.substr(0, length));
    const double magnitude = value ? *value : std::numeric_limits<double>::max();
    return negative ? -magnitude : magnitude;
}

double RoundHalfEven(double value, int places) {
    // Every double of 2^52 or more is a whole number already; below that the
    // fixed-point text fits easily in the buffer.
    if (!std::isfinite(value) || std::fabs(value) >= 4503599627370496.0 || places > 17) return value;
    // To whole numbers the processor rounds ties to even itself, far faster.
    if (places == 0) return std::nearbyint(value);
    // std::to_chars prints the exact binary value rounded to `places`
    // decimals, ties to even, independent of the locale.
    std::array<char, 64> buffer{};
    const auto printed = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                       std::chars_format::fixed, places < 0 ? 0 : places);
    double rounded = value;
    std::from_chars(buffer.data(), printed.ptr, rounded);
    return rounded;
}

std::string NumberToText(double value) {
    if (!std::isfinite(value)) throw ValueError(ValueError::Kind::Overflow);
    if (value == 0.0) return "0";
    // Whole numbers below 1E+15, such as metres, are their integer's digits.
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        std::array<char, 24> whole{};
        const auto end = std::to_chars(whole.data(), whole.data() + whole.size(), static_cast<long long>(value));
        return std::string(whole.data(), end.ptr);
    }

    // Fifteen significant digits, rounded from the exact binary value.
    std::array<char, 40> buffer{};
    const auto printed = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                                       std::chars_format::scientific, 14);
    const std::string_view scientific(buffer.data(), static_cast<std::size_t>(printed.ptr - buffer.data()));
    const std::size_t e = scientific.find('e');
    std::string digits;
    for (const char c : scientific.substr(0, e))
        if (IsDigit(c)) digits.push_back(c);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    int exponent = 0;
    std::string_view exponentText = scientific.substr(e + 1);
    if (!exponentText.empty() && exponentText[0] == '+') exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    // The largest doubles round up to 1.79769313486232E+308, which no double
    // holds: one unit lower, the text still reads back.
    if (exponent == 308 && digits == "179769313486232") digits = "179769313486231";

    std::string text = value < 0 ? "-" : "";
    const int count = static_cast<int>(digits.size());
    if (exponent >= 15 || exponent < -7) {
        text += digits[0];
        if (count > 1) text += "." + digits.substr(1);
        text += exponent < 0 ? "E-" : "E+";
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10) text += '0';
        text += std::to_string(magnitude);
    } else if (exponent < 0) {
        text += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else if (count <= exponent + 1) {
        text += digits + std::string(static_cast<std::size_t>(exponent + 1 - count), '0');
    } else {
        const auto split = static_cast<std::size_t>(exponent + 1);
        text += digits.substr(0, split) + "." + digits.substr(split);
    }
    return text;
}

std::int16_t ToShortInt(double value) {
    if (!std::isfinite(value)) throw ValueError(ValueError::Kind::Overflow);
    // nearbyint rounds in the default mode, ties to even.
    const double rounded = std::nearbyint(value);
    if (rounded < -32768.0 || rounded > 32767.0) throw ValueError(ValueError::Kind::Overflow);
    return static_cast<std::int16_t>(rounded);
}

std::int16_t ToShortInt(std::string_view text) { return ToShortInt(ParseNumber(text)); }

std::int16_t CheckedShort(long long value) {
    if (value < -32768 || value > 32767) throw ValueError(ValueError::Kind::Overflow);
    return static_cast<std::int16_t>(value);
}

double FloorOf(double value) noexcept { return std::floor(value); }

std::string UpperText(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

}  // namespace quillet
