#include "convert/codes/maidenhead.h"

#include <cmath>

namespace quillet::codes {

namespace {

// Each pair's cells across the one above: 18 fields, then 10, 24, 10, 24.
constexpr int kDivisions[5] = {18, 10, 24, 10, 24};
// Finest cells a degree: 1/2880 of longitude, 1/5760 of latitude.
constexpr long long kLongitudeScale = 2880, kLatitudeScale = 5760;
// Finest cells in one cell of each pair.
constexpr long long kUnits[5] = {10 * 24 * 10 * 24, 24 * 10 * 24, 10 * 24, 24, 1};

bool IsLetterPair(int pair) { return pair % 2 == 0; }

}  // namespace

CellReading MaidenheadCell(std::string_view text) {
    CellReading reading;
    if (text.empty() || text.size() > 10 || text.size() % 2 != 0) {
        reading.why = "a Maidenhead locator has 2, 4, 6, 8 or 10 characters";
        return reading;
    }
    long long longitude = 0, latitude = 0, unit = 0;
    for (std::size_t at = 0; at < text.size(); at += 2) {
        const int pair = static_cast<int>(at / 2);
        int values[2];
        for (int i = 0; i < 2; ++i) {
            const char c = text[at + static_cast<std::size_t>(i)];
            int value = -1;
            if (!IsLetterPair(pair)) value = c >= '0' && c <= '9' ? c - '0' : -1;
            else if (c >= 'A' && c <= 'Z') value = c - 'A';
            else if (c >= 'a' && c <= 'z') value = c - 'a';
            if (value < 0) {
                reading.why = IsLetterPair(pair) ? "a Maidenhead locator has letters in pairs 1, 3 and 5"
                                                 : "a Maidenhead locator has digits in pairs 2 and 4";
                return reading;
            }
            if (value >= kDivisions[pair]) {
                reading.why = pair == 0 ? "a Maidenhead field runs from A to R" : "a Maidenhead subsquare runs from a to x";
                return reading;
            }
            values[i] = value;
        }
        unit = kUnits[pair];
        longitude += values[0] * unit;
        latitude += values[1] * unit;
    }
    reading.cell = CellOf(latitude, longitude, unit, unit, kLatitudeScale, kLongitudeScale);
    return reading;
}

std::optional<std::string> MaidenheadOf(double latitude, double longitude, int characters) {
    if (!(characters >= 2 && characters <= 10 && characters % 2 == 0) || !std::isfinite(latitude) ||
        !std::isfinite(longitude))
        return std::nullopt;
    const long long x = CellIndex(WrappedLongitude(longitude), 180, kLongitudeScale, 1, 360 * kLongitudeScale);
    const long long y = CellIndex(latitude, 90, kLatitudeScale, 1, 180 * kLatitudeScale);
    std::string text;
    try {
        for (int pair = 0; pair < characters / 2; ++pair)
            for (const long long index : {x, y}) {
                const auto value = static_cast<char>(index / kUnits[pair] % kDivisions[pair]);
                text += !IsLetterPair(pair) ? static_cast<char>('0' + value)
                                            : static_cast<char>((pair == 0 ? 'A' : 'a') + value);
            }
    } catch (...) {
        return std::nullopt;
    }
    return text;
}

}  // namespace quillet::codes
