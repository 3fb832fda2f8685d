#include "convert/codes/cell_index.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace quillet::codes {

namespace {

__extension__ using Wide = __int128;

// Below this, the only edge near enough to matter is 0 itself (the finest
// cells of every code are wider than 1e-7 degrees), and the exact sums
// below would need more than 128 bits.
constexpr double kNearZero = 1e-7;

Wide Power(int base, int exponent) {
    Wide result = 1;
    while (exponent-- > 0) result *= base;
    return result;
}

// Whether `digits` x 10^exponent + offset >= edge x denominator / numerator,
// where `digits` are the decimal's digits as one signed integer.
bool DecimalAtOrAbove(double value, long long offset, long long numerator, long long denominator, long long edge) {
    char text[40];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    if (error != std::errc()) return false;
    // "d.ddddde-07": the digits, then the exponent of the first.
    Wide mantissa = 0;
    int places = 0, exponent = 0;
    const char* at = text;
    const bool negative = *at == '-';
    at += negative;
    for (bool point = false; at < end && *at != 'e'; ++at) {
        if (*at == '.') {
            point = true;
            continue;
        }
        mantissa = 10 * mantissa + (*at - '0');
        places += point;
    }
    if (at < end) std::from_chars(at + 1 + (at[1] == '+'), end, exponent);
    if (negative) mantissa = -mantissa;
    // value = mantissa x 10^(exponent - places)
    const int shift = exponent - places;
    Wide left, right;
    if (shift >= 0) {
        left = (mantissa * Power(10, shift) + offset) * numerator;
        right = static_cast<Wide>(edge) * denominator;
    } else {
        const Wide scale = Power(10, -shift);
        left = (mantissa + offset * scale) * numerator;
        right = static_cast<Wide>(edge) * denominator * scale;
    }
    return left >= right;
}

// The same for the binary value, mantissa x 2^exponent.
bool BinaryAtOrAbove(double value, long long offset, long long numerator, long long denominator, long long edge) {
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent);
    const auto mantissa = static_cast<long long>(std::ldexp(fraction, 53));
    const int shift = 53 - exponent;  // positive for every coordinate
    const Wide scale = static_cast<Wide>(1) << shift;
    return (mantissa + offset * scale) * numerator >= static_cast<Wide>(edge) * denominator * scale;
}

}  // namespace

long long CellIndex(double value, long long offset, long long numerator, long long denominator, long long cells) {
    if (!std::isfinite(value)) return 0;
    // A few roundings of at most 1e-6 of a cell (2^30 cells at most, each
    // rounding 2^-53 of it): the floor is right unless within 1e-4 of an edge.
    // The ratio is one rounding more and saves a division.
    const double scaled =
        (value + static_cast<double>(offset)) * (static_cast<double>(numerator) / static_cast<double>(denominator));
    if (!(scaled >= 0)) return 0;
    if (!(scaled < static_cast<double>(cells))) return cells - 1;
    long long index = static_cast<long long>(scaled);  // not negative: the cut is the floor
    const double fraction = scaled - static_cast<double>(index);
    // Within a hair of an edge, where the double's own rounding could put
    // the value on either side: decide on the exact numbers.
    if (fraction < 1e-4 || fraction > 1 - 1e-4) {
        const long long edge = fraction < 0.5 ? index : index + 1;
        const double nearest = static_cast<double>(edge);
        const bool zeroEdge = static_cast<Wide>(edge) * denominator == static_cast<Wide>(offset) * numerator;
        bool above = scaled >= nearest;
        if (std::fabs(value) >= kNearZero)
            above = DecimalAtOrAbove(value, offset, numerator, denominator, edge) ||
                    BinaryAtOrAbove(value, offset, numerator, denominator, edge);
        else if (zeroEdge)
            above = value >= 0;
        index = above ? edge : edge - 1;
    }
    return std::clamp(index, 0LL, cells - 1);
}

Cell CellOf(long long southIndex, long long westIndex, long long latitudeSize, long long longitudeSize,
            double latitudeScale, double longitudeScale) {
    // Indices below 2^53: every one is exact as a double.
    const auto exact = [](long long index) { return static_cast<double>(index); };
    return {exact(southIndex) / latitudeScale - 90, exact(westIndex) / longitudeScale - 180,
            exact(southIndex + latitudeSize) / latitudeScale - 90, exact(westIndex + longitudeSize) / longitudeScale - 180};
}

double WrappedLongitude(double longitude) {
    if (!std::isfinite(longitude)) return longitude;
    if (longitude >= -180 && longitude < 180) return longitude;
    const double wrapped = std::remainder(longitude, 360.0);  // exact
    return wrapped == 180 ? -180 : wrapped;
}

}  // namespace quillet::codes
