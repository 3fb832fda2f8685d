#include "convert/codes/geohash.h"

#include <cmath>
#include <cstdint>
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

// The bits of `value` moved apart to the even places of the result: bit i
// to bit 2i.
std::uint64_t Spread(std::uint32_t value) {
    std::uint64_t spread = value;
    spread = (spread | spread << 16) & 0x0000FFFF0000FFFFULL;
    spread = (spread | spread << 8) & 0x00FF00FF00FF00FFULL;
    spread = (spread | spread << 4) & 0x0F0F0F0F0F0F0F0FULL;
    spread = (spread | spread << 2) & 0x3333333333333333ULL;
    spread = (spread | spread << 1) & 0x5555555555555555ULL;
    return spread;
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
    // The bits alternate from the longitude's first: with an odd count the
    // longitude has one more, and its last bit ends the code.
    const int bits = 5 * characters;
    const int xBits = (bits + 1) / 2, yBits = bits / 2;
    const std::uint64_t xSpread = Spread(static_cast<std::uint32_t>(x >> (kBits - xBits)));
    const std::uint64_t ySpread = Spread(static_cast<std::uint32_t>(y >> (kBits - yBits)));
    const std::uint64_t code = bits % 2 ? xSpread | ySpread << 1 : xSpread << 1 | ySpread;
    char text[kMostCharacters];
    for (int character = 0; character < characters; ++character)
        text[character] = kAlphabet[code >> (bits - 5 * (character + 1)) & 31];
    try {
        return std::string(text, static_cast<std::size_t>(characters));
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace quillet::codes
