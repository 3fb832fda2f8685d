#include "convert/codes/geohash.h"

#include <cmath>
#include <cstring>

namespace quillet::codes {

namespace {

constexpr char kAlphabet[] = "0123456789bcdefghjkmnpqrstuvwxyz";
constexpr int kMostCharacters = 12;
constexpr int kBits = 30;  // of each coordinate at 12 characters
constexpr long long kCells = 1LL << kBits;
// 2^30 cells over 360 degrees of longitude, and over 180 of latitude.
constexpr long long kLongitudeNumerator = 1LL << 27, kLatitudeNumerator = 1LL << 28, kDenominator = 45;

int Value(char c) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    const char* found = c ? std::strchr(kAlphabet, c) : nullptr;
    return found ? static_cast<int>(found - kAlphabet) : -1;
}

}  // namespace

CellReading GeohashCell(std::string_view text) {
    CellReading reading;
    if (text.empty() || text.size() > kMostCharacters) {
        reading.why = "a Geohash has 1 to 12 characters";
        return reading;
    }
    long long x = 0, y = 0;
    int xBits = 0, yBits = 0;
    for (const char c : text) {
        const int value = Value(c);
        if (value < 0) {
            reading.why = "a character outside the Geohash alphabet (no a, i, l, o)";
            return reading;
        }
        for (int bit = 4; bit >= 0; --bit) {
            const int set = value >> bit & 1;
            if ((xBits + yBits) % 2 == 0) x = 2 * x + set, ++xBits;
            else y = 2 * y + set, ++yBits;
        }
    }
    const long long xSize = 1LL << (kBits - xBits), ySize = 1LL << (kBits - yBits);
    reading.cell = CellOf(y * ySize, x * xSize, ySize, xSize, kCells / 180.0, kCells / 360.0);
    return reading;
}

std::optional<std::string> GeohashOf(double latitude, double longitude, int characters) {
    if (!(characters >= 1 && characters <= kMostCharacters) || !std::isfinite(latitude) || !std::isfinite(longitude))
        return std::nullopt;
    const long long x = CellIndex(WrappedLongitude(longitude), 180, kLongitudeNumerator, kDenominator, kCells);
    const long long y = CellIndex(latitude, 90, kLatitudeNumerator, kDenominator, kCells);
    const int bits = 5 * characters;
    const int xBits = (bits + 1) / 2, yBits = bits / 2;
    char text[kMostCharacters];
    int value = 0, xUsed = 0, yUsed = 0;
    for (int bit = 0; bit < bits; ++bit) {
        const bool fromX = bit % 2 == 0;
        const long long source = fromX ? x >> (kBits - xBits) : y >> (kBits - yBits);
        const int place = fromX ? xBits - 1 - xUsed++ : yBits - 1 - yUsed++;
        value = 2 * value + static_cast<int>(source >> place & 1);
        if (bit % 5 == 4) {
            text[bit / 5] = kAlphabet[value];
            value = 0;
        }
    }
    try {
        return std::string(text, static_cast<std::size_t>(characters));
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace quillet::codes
