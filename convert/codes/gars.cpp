#include "convert/codes/gars.h"

#include <cmath>
#include <cstring>

namespace quillet::codes {

namespace {

constexpr char kLetters[] = "ABCDEFGHJKLMNPQRSTUVWXYZ";
constexpr long long kScale = 12;  // 5-minute cells a degree

int LetterValue(char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const char* found = c ? std::strchr(kLetters, c) : nullptr;
    return found ? static_cast<int>(found - kLetters) : -1;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

CellReading GarsCell(std::string_view text) {
    CellReading reading;
    if (text.size() < 5 || text.size() > 7) {
        reading.why = "a GARS has 5, 6 or 7 characters";
        return reading;
    }
    if (!IsDigit(text[0]) || !IsDigit(text[1]) || !IsDigit(text[2])) {
        reading.why = "a GARS starts with three digits";
        return reading;
    }
    const int band = (text[0] - '0') * 100 + (text[1] - '0') * 10 + (text[2] - '0');
    if (band < 1 || band > 720) {
        reading.why = "a GARS longitude band runs from 001 to 720";
        return reading;
    }
    const int first = LetterValue(text[3]), second = LetterValue(text[4]);
    if (first < 0 || second < 0 || first * 24 + second >= 360) {
        reading.why = "a GARS latitude band runs from AA to QZ, without I and O";
        return reading;
    }
    long long x = (band - 1) * 6LL, y = (first * 24 + second) * 6LL, size = 6;
    if (text.size() >= 6) {
        const char quadrant = text[5];
        if (quadrant < '1' || quadrant > '4') {
            reading.why = "a GARS quadrant is 1 to 4";
            return reading;
        }
        size = 3;
        x += (quadrant - '1') % 2 * size;
        y += (1 - (quadrant - '1') / 2) * size;
    }
    if (text.size() == 7) {
        const char key = text[6];
        if (key < '1' || key > '9') {
            reading.why = "a GARS keypad cell is 1 to 9";
            return reading;
        }
        size = 1;
        x += (key - '1') % 3;
        y += 2 - (key - '1') / 3;
    }
    reading.cell = CellOf(y, x, size, size, kScale, kScale);
    return reading;
}

std::optional<std::string> GarsOf(double latitude, double longitude, int minutes) {
    if (!(minutes == 30 || minutes == 15 || minutes == 5) || !std::isfinite(latitude) || !std::isfinite(longitude))
        return std::nullopt;
    const long long x = CellIndex(WrappedLongitude(longitude), 180, kScale, 1, 360 * kScale);
    const long long y = CellIndex(latitude, 90, kScale, 1, 180 * kScale);
    // Written in the string itself: a text assembled aside byte by byte and
    // copied in whole is read back before its bytes have landed, a stall
    // longer than the whole code's arithmetic.
    std::string text(5 + (minutes <= 15) + (minutes == 5), '0');  // short: no allocation, nothing thrown
    const long long band = x / 6 + 1, latitudeBand = y / 6;
    text[0] = static_cast<char>('0' + band / 100);
    text[1] = static_cast<char>('0' + band / 10 % 10);
    text[2] = static_cast<char>('0' + band % 10);
    text[3] = kLetters[latitudeBand / 24];
    text[4] = kLetters[latitudeBand % 24];
    if (minutes <= 15) text[5] = static_cast<char>('1' + x / 3 % 2 + 2 * (1 - y / 3 % 2));
    if (minutes == 5) text[6] = static_cast<char>('1' + x % 3 + 3 * (2 - y % 3));
    return text;
}

}  // namespace quillet::codes
