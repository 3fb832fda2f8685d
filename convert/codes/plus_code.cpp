#include "convert/codes/plus_code.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quillet::codes {

namespace {

constexpr char kAlphabet[] = "23456789CFGHJMPQRVWX";
constexpr int kSeparator = 8;   // the "+" comes after this many digits in a full code
constexpr int kPairDigits = 10;  // latitude and longitude in turn, then a grid of 5 rows by 4 columns
constexpr int kMostDigits = 15;

// The finest cells: 1/25 000 000 degree of latitude (8000 x 5^5) and
// 1/8 192 000 of longitude (8000 x 4^5), so that every digit is an integer division.
constexpr long long kLatitudeScale = 25000000, kLongitudeScale = 8192000;
constexpr long long kLatitudePairUnit[5] = {500000000, 25000000, 1250000, 62500, 3125};
constexpr long long kLongitudePairUnit[5] = {163840000, 8192000, 409600, 20480, 1024};

constexpr const char* kNoPlus = "a Plus Code has a + after its 8th digit";

int DigitValue(char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const char* found = c ? std::strchr(kAlphabet, c) : nullptr;
    return found ? static_cast<int>(found - kAlphabet) : -1;
}

// What is wrong with the text as a code, or empty; its "+" in `separator`.
std::string Fault(std::string_view text, std::size_t& separator) {
    separator = text.find('+');
    if (separator == std::string_view::npos) return kNoPlus;
    if (text.find('+', separator + 1) != std::string_view::npos) return "a Plus Code has only one +";
    for (const char c : text)
        if (c != '+' && c != '0' && DigitValue(c) < 0) return "a character outside the Plus Code alphabet";
    if (separator > kSeparator || separator % 2 != 0)
        return "a Plus Code's + comes after 8 digits (short: 0, 2, 4 or 6)";
    const std::size_t after = text.size() - separator - 1;
    if (after == 1) return "a Plus Code has no single digit after its +";
    if (const std::size_t padding = text.find('0'); padding != std::string_view::npos) {
        if (padding > separator) return "a Plus Code has no 0 after its +";
        if (separator < kSeparator) return "a short Plus Code has no padding";
        if (padding == 0 || padding % 2 != 0) return "a Plus Code's padding is an even number of 0s";
        for (std::size_t i = padding; i < separator; ++i)
            if (text[i] != '0') return "a Plus Code has no digits after its padding";
        if (after != 0) return "a padded Plus Code ends at its +";
    }
    if (separator == kSeparator) {
        if (DigitValue(text[0]) * 20 >= 180) return "a Plus Code's first digit goes beyond latitude 90";
        if (DigitValue(text[1]) * 20 >= 360) return "a Plus Code's second digit goes beyond longitude 180";
    }
    return {};
}

// The cell of a valid full code.
Cell FullCell(std::string_view text) {
    long long latitude = 0, longitude = 0, latitudeSize = 0, longitudeSize = 0;
    int count = 0;
    for (const char c : text) {
        const int value = DigitValue(c);
        if (value < 0) continue;  // the "+" and padding
        if (count < kPairDigits) {
            if (count % 2 == 0) latitude += value * (latitudeSize = kLatitudePairUnit[count / 2]);
            else longitude += value * (longitudeSize = kLongitudePairUnit[count / 2]);
        } else {
            latitudeSize /= 5;
            longitudeSize /= 4;
            latitude += value / 4 * latitudeSize;
            longitude += value % 4 * longitudeSize;
        }
        if (++count == kMostDigits) break;
    }
    return CellOf(latitude, longitude, latitudeSize, longitudeSize, kLatitudeScale, kLongitudeScale);
}

int DigitCount(std::string_view text) {
    int count = 0;
    for (const char c : text) count += DigitValue(c) >= 0;
    return count;
}

}  // namespace

bool IsShortPlusCode(std::string_view text) {
    std::size_t separator = 0;
    return Fault(text, separator).empty() && separator < kSeparator;
}

bool IsPlusCodeDigit(char c) { return DigitValue(c) >= 0; }

std::string MissingPlus(std::string_view text) {
    if (text.size() != kSeparator && (text.size() < kPairDigits || text.size() > kMostDigits)) return {};
    bool letter = false;
    for (const char c : text) {
        if (c != '0' && (DigitValue(c) < 0 || (c >= 'a' && c <= 'z'))) return {};
        letter |= c >= 'A' && c <= 'Z';
    }
    // Digits alone are a number; a first pair beyond the globe, no code at all.
    const int first = DigitValue(text[0]), second = DigitValue(text[1]);
    if (!letter || first < 0 || second < 0 || first * 20 >= 180 || second * 20 >= 360) return {};
    return kNoPlus;
}

CellReading PlusCodeCell(std::string_view text, const std::optional<std::pair<double, double>>& near) {
    CellReading reading;
    std::size_t separator = 0;
    if (reading.why = Fault(text, separator); !reading.why.empty()) return reading;
    if (separator == kSeparator) {
        reading.cell = FullCell(text);
        return reading;
    }
    if (!near || !std::isfinite(near->first) || !std::isfinite(near->second)) {
        reading.why = "short Plus Code: a full code or a reference is needed";
        return reading;
    }
    // As the reference implementation recovers it: the reference's own
    // leading digits, then the nearest of the neighbouring cells.
    const double referenceLatitude = std::fmin(90, std::fmax(-90, near->first));
    const double referenceLongitude = WrappedLongitude(near->second);
    const std::size_t missing = kSeparator - separator;
    const double resolution = std::pow(20.0, 2 - static_cast<int>(missing) / 2);
    std::optional<std::string> full = PlusCodeOf(referenceLatitude, referenceLongitude, kPairDigits);
    if (!full) {
        reading.why = "no memory left";
        return reading;
    }
    full->resize(missing);
    full->append(text);
    const Cell cell = FullCell(*full);
    double latitude = cell.Latitude(), longitude = cell.Longitude();
    if (referenceLatitude + resolution / 2 < latitude && latitude - resolution >= -90) latitude -= resolution;
    else if (referenceLatitude - resolution / 2 > latitude && latitude + resolution <= 90) latitude += resolution;
    if (referenceLongitude + resolution / 2 < longitude) longitude -= resolution;
    else if (referenceLongitude - resolution / 2 > longitude) longitude += resolution;
    if (const std::optional<std::string> nearest = PlusCodeOf(latitude, longitude, std::min(DigitCount(*full), kMostDigits)))
        reading.cell = FullCell(*nearest);
    return reading;
}

std::optional<std::string> PlusCodeOf(double latitude, double longitude, int digits) {
    if (!(digits >= 2 && digits <= kMostDigits && (digits >= kPairDigits || digits % 2 == 0)) ||
        !std::isfinite(latitude) || !std::isfinite(longitude))
        return std::nullopt;
    const long long latitudeIndex = CellIndex(latitude, 90, kLatitudeScale, 1, 180 * kLatitudeScale);
    const long long longitudeIndex =
        CellIndex(WrappedLongitude(longitude), 180, kLongitudeScale, 1, 360 * kLongitudeScale);
    char text[kMostDigits + 2];
    std::size_t length = 0;
    for (int count = 0; count < digits; ++count) {
        if (count == kSeparator) text[length++] = '+';
        int value = 0;
        if (count < kPairDigits) {
            const long long index = count % 2 == 0 ? latitudeIndex : longitudeIndex;
            const long long unit = (count % 2 == 0 ? kLatitudePairUnit : kLongitudePairUnit)[count / 2];
            value = static_cast<int>(index / unit % 20);
        } else {
            long long rowUnit = kLatitudePairUnit[4], columnUnit = kLongitudePairUnit[4];
            for (int grid = kPairDigits; grid <= count; ++grid) rowUnit /= 5, columnUnit /= 4;
            value = static_cast<int>(latitudeIndex / rowUnit % 5 * 4 + longitudeIndex / columnUnit % 4);
        }
        text[length++] = kAlphabet[value];
    }
    for (; length < kSeparator; ++length) text[length] = '0';
    if (digits <= kSeparator) text[length++] = '+';
    try {
        return std::string(text, length);
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace quillet::codes
