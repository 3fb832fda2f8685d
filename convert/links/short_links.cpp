#include "convert/links/short_links.h"

#include <cmath>
#include <cstdint>

namespace quillet::text {

namespace {

// The URL-safe base 64 both codes use; they differ only in its last two characters.
int Base64Value(char c, char sixtySecond, char sixtyThird) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == sixtySecond) return 62;
    if (c == sixtyThird) return 63;
    return -1;
}

// The bits of the two numbers a code interleaves, each character giving the
// next three of each: `first` from its bits 5, 3 and 1, `second` from 4, 2, 0.
// False on a character outside the alphabet.
bool Deinterleave(std::string_view code, char sixtySecond, char sixtyThird, std::uint64_t& first,
                  std::uint64_t& second) {
    first = second = 0;
    for (const char c : code) {
        int value = Base64Value(c, sixtySecond, sixtyThird);
        if (c == '@' && sixtyThird == '~') value = 63;
        if (value < 0) return false;
        for (int bit = 2; bit >= 0; --bit) {
            first = first << 1 | static_cast<unsigned>(value >> (2 * bit + 1) & 1);
            second = second << 1 | static_cast<unsigned>(value >> (2 * bit) & 1);
        }
    }
    return true;
}

}  // namespace

std::optional<std::pair<double, double>> Ge0Place(std::string_view code) {
    constexpr int kBits = 30;
    if (code.size() < 2 || code.size() > 11 || Base64Value(code[0], '-', '_') < 0) return std::nullopt;
    const std::string_view position = code.substr(1);
    std::uint64_t latitude = 0, longitude = 0;
    if (!Deinterleave(position, '-', '_', latitude, longitude)) return std::nullopt;
    const int unread = kBits - 3 * static_cast<int>(position.size());
    // The middle of the cell the unread bits leave open; a whole code is
    // the rounded point itself.
    const double half = unread > 0 ? std::ldexp(1.0, unread - 1) : 0;
    const double lat = std::ldexp(static_cast<double>(latitude), unread) + half;
    const double lon = std::ldexp(static_cast<double>(longitude), unread) + half;
    return std::pair(lat / (std::ldexp(1.0, kBits) - 1) * 180 - 90, lon / std::ldexp(1.0, kBits) * 360 - 180);
}

std::optional<std::pair<double, double>> OsmShortPlace(std::string_view code) {
    constexpr int kBits = 32;
    std::size_t digits = code.size();
    while (digits > 0 && (code[digits - 1] == '-' || code[digits - 1] == '=')) --digits;
    // At most two zoom marks: a third would be a whole character's three levels.
    if (digits == 0 || digits > 10 || code.size() - digits > 2) return std::nullopt;
    std::uint64_t x = 0, y = 0;
    if (!Deinterleave(code.substr(0, digits), '_', '~', x, y)) return std::nullopt;
    const int unread = kBits - 3 * static_cast<int>(digits);
    const double half = std::ldexp(1.0, unread - 1);
    const double lon = (std::ldexp(static_cast<double>(x), unread) + half) / std::ldexp(1.0, kBits) * 360 - 180;
    const double lat = (std::ldexp(static_cast<double>(y), unread) + half) / std::ldexp(1.0, kBits) * 180 - 90;
    return std::pair(lat, lon);
}

}  // namespace quillet::text
