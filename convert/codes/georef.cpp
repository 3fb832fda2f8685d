#include "convert/codes/georef.h"

#include <cmath>
#include <cstring>

namespace quillet::codes {

namespace {

constexpr char kLongitudeBands[] = "ABCDEFGHJKLMNPQRSTUVWXYZ";  // 24 of 15 degrees
constexpr char kLatitudeBands[] = "ABCDEFGHJKLM";               // 12 of 15 degrees
constexpr char kDegrees[] = "ABCDEFGHJKLMNPQ";                  // 15 of a degree
constexpr long long kScale = 6000000;  // finest cells a degree: 1/100 000 of a minute

int IndexIn(const char* letters, char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const char* found = c ? std::strchr(letters, c) : nullptr;
    return found ? static_cast<int>(found - letters) : -1;
}

long long PowerOfTen(int exponent) {
    long long result = 1;
    while (exponent-- > 0) result *= 10;
    return result;
}

}  // namespace

CellReading GeorefCell(std::string_view text) {
    CellReading reading;
    const std::size_t size = text.size();
    if (!(size == 2 || size == 4 || (size >= 8 && size <= 14 && size % 2 == 0))) {
        reading.why = "a GEOREF has 2, 4, 8, 10, 12 or 14 characters";
        return reading;
    }
    const char* const letters[4] = {kLongitudeBands, kLatitudeBands, kDegrees, kDegrees};
    int values[4] = {0, 0, 0, 0};
    for (std::size_t i = 0; i < size && i < 4; ++i)
        if ((values[i] = IndexIn(letters[i], text[i])) < 0) {
            reading.why = i == 1 ? "a GEOREF's second letter runs from A to M, without I"
                                 : "a GEOREF letter outside A-Z, A-M, A-Q, A-Q without I, O";
            return reading;
        }
    long long x = (15 * values[0] + values[2]) * kScale, y = (15 * values[1] + values[3]) * kScale;
    long long unit = size == 2 ? 15 * kScale : kScale;
    if (size >= 8) {
        const int digits = static_cast<int>(size - 4) / 2;
        unit = PowerOfTen(7 - digits);
        long long minutes[2] = {0, 0};
        for (int half = 0; half < 2; ++half)
            for (int i = 0; i < digits; ++i) {
                const char c = text[4 + static_cast<std::size_t>(half * digits + i)];
                if (c < '0' || c > '9') {
                    reading.why = "a GEOREF has digits after its four letters";
                    return reading;
                }
                minutes[half] = 10 * minutes[half] + (c - '0');
            }
        if (minutes[0] >= 60 * PowerOfTen(digits - 2) || minutes[1] >= 60 * PowerOfTen(digits - 2)) {
            reading.why = "GEOREF minutes run from 00 to 59";
            return reading;
        }
        x += minutes[0] * unit;
        y += minutes[1] * unit;
    }
    reading.cell = CellOf(y, x, unit, unit, kScale, kScale);
    return reading;
}

std::optional<std::string> GeorefOf(double latitude, double longitude, int characters) {
    const bool valid = characters == 2 || characters == 4 || (characters >= 8 && characters <= 14 && characters % 2 == 0);
    if (!valid || !std::isfinite(latitude) || !std::isfinite(longitude)) return std::nullopt;
    const long long x = CellIndex(WrappedLongitude(longitude), 180, kScale, 1, 360 * kScale);
    const long long y = CellIndex(latitude, 90, kScale, 1, 180 * kScale);
    char text[16];
    const long long xDegrees = x / kScale, yDegrees = y / kScale;
    text[0] = kLongitudeBands[xDegrees / 15];
    text[1] = kLatitudeBands[yDegrees / 15];
    text[2] = kDegrees[xDegrees % 15];
    text[3] = kDegrees[yDegrees % 15];
    if (characters >= 8) {
        const int digits = (characters - 4) / 2;
        const long long unit = PowerOfTen(7 - digits);
        long long minutes[2] = {x % kScale / unit, y % kScale / unit};
        for (int half = 0; half < 2; ++half)
            for (int i = digits - 1; i >= 0; --i, minutes[half] /= 10)
                text[4 + half * digits + i] = static_cast<char>('0' + minutes[half] % 10);
    }
    try {
        return std::string(text, static_cast<std::size_t>(characters));
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace quillet::codes
