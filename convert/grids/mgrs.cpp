#include "convert/grids/mgrs.h"

#include "convert/text/text_tokens.h"
#include "geodesy/exact_inverse.h"
#include "geodesy/utm.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quillet {

namespace {

// The NGA letters. I and O are never used, being too like 1 and 0.
constexpr char kBands[] = "CDEFGHJKLMNPQRSTUVWX";  // 8 degrees each from 80 S; X is 12
constexpr const char* kUtmColumns[3] = {"ABCDEFGH", "JKLMNPQR", "STUVWXYZ"};  // by zone, repeating
constexpr char kUtmRows[] = "ABCDEFGHJKLMNPQRSTUV";  // repeating every 2000 km
constexpr char kUpsBands[] = "ABYZ";  // south-west, south-east, north-west, north-east
constexpr const char* kUpsColumns[4] = {"JKLPQRSTUXYZ", "ABCFGHJKLPQR", "RSTUXYZ", "ABCFGHJ"};
constexpr const char* kUpsRows[2] = {"ABCDEFGHJKLMNPQRSTUVWXYZ", "ABCDEFGHJKLMNP"};

constexpr int kTile = 100000;               // metres in a square
constexpr int kFirstUpsColumn[2] = {8, 13};  // in squares, south and north; also the first row
constexpr int kUpsEastColumn = 20;           // the squares east of the pole start here
constexpr long long kPerTile = 1000000LL * kTile;  // micrometres in a square

// Where `c`, in any case, stands in `letters`; -1 when not there.
int IndexIn(const char* letters, char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const char* found = c ? std::strchr(letters, c) : nullptr;
    return found ? static_cast<int>(found - letters) : -1;
}

// The band index of a latitude, -10 (C) to 9 (X).
int LatitudeBand(double latitude) {
    const int degrees = static_cast<int>(std::floor(latitude));
    return std::clamp((degrees + 80) / 8 - 10, -10, 9);
}

// The row of a square, in 100 km from the equator (negative in the south),
// whose letter repeats `periodicRow` (0..19), if such a square touches the
// band at all; the squares where rows 70/71 and 79/80 straddle two bands
// belong to both. -1000 when none does.
int UtmRow(int band, int column, int periodicRow) {
    const double centre = 100 * (8 * band + 4) / 90.0;
    const bool north = band >= 0;
    const int lowest = band > -10 ? static_cast<int>(std::floor(centre - 4.3 - 0.1 * north)) : -90;
    const int highest = band < 9 ? static_cast<int>(std::floor(centre + 4.4 - 0.1 * north)) : 94;
    const int base = (lowest + highest) / 2 - 10;
    const int row = (periodicRow - base + 100) % 20 + base;
    if (row >= lowest && row <= highest) return row;
    const int foldedBand = north ? band : -band - 1, foldedRow = row >= 0 ? row : -row - 1;
    const int foldedColumn = column < 4 ? column : 7 - column;
    const bool straddles = (foldedRow == 70 && foldedBand == 8 && foldedColumn >= 2) ||
                           (foldedRow == 71 && foldedBand == 7 && foldedColumn <= 2) ||
                           (foldedRow == 79 && foldedBand == 9 && foldedColumn >= 1) ||
                           (foldedRow == 80 && foldedBand == 8 && foldedColumn <= 1);
    return straddles ? row : -1000;
}

// The UTM zone, with Norway's 32V widened west to 3 E and the four wide
// zones of Svalbard; 180 is the west edge of zone 1.
int StandardZone(double latitude, double longitude) {
    int degrees = static_cast<int>(std::floor(longitude));
    if (degrees == 180) degrees = -180;
    const int zone = (degrees + 186) / 6;
    const int band = LatitudeBand(latitude);
    if (band == 7 && zone == 31 && degrees >= 3) return 32;
    if (band == 9 && degrees >= 0 && degrees < 42) return 2 * ((degrees + 183) / 12) + 1;
    return zone;
}

// Micrometres, floored, as the digits are cut from them: a coordinate a
// rounding below a line stays below it at every precision.
long long Micrometres(double metres) {
    const volatile double scaled = metres * 1e6;  // no extended precision before the floor
    return static_cast<long long>(std::floor(scaled));
}

// The reference: the letters, then `digits` digits each of the easting and
// northing within their square, truncated, never rounded: it names the
// square the point is in.
std::optional<std::string> Reference(std::string_view letters, long long x, long long y, int digits) {
    char text[24];
    std::size_t length = letters.copy(text, 12);
    // Whole metres within the square, below 100,000, then cut to `digits`.
    static constexpr unsigned kCut[6] = {100000, 10000, 1000, 100, 10, 1};
    for (const long long micrometres : {x, y}) {
        if (digits == 0) break;
        unsigned value = static_cast<unsigned>(micrometres % kPerTile / 1000000) / kCut[digits];
        text[length++] = ' ';
        for (int place = digits - 1; place >= 0; --place, value /= 10)
            text[length + static_cast<std::size_t>(place)] = static_cast<char>('0' + value % 10);
        length += static_cast<std::size_t>(digits);
    }
    try {
        return std::string(text, length);
    } catch (...) {  // no memory left: no reference rather than an exception
        return std::nullopt;
    }
}

// The reference of a UTM point (northing with its false northing in the
// south) in `zone`, its band from the latitude: nothing where the square's
// rows miss that band.
std::optional<std::string> UtmReference(int zone, bool north, double latitude, double easting, double northing,
                                        int digits) {
    const long long x = Micrometres(easting), y = Micrometres(northing);
    const int column = static_cast<int>(x / kPerTile) - 1, tileRow = static_cast<int>(y / kPerTile);
    const int band = north ? LatitudeBand(latitude) : std::min(-1, LatitudeBand(latitude));
    if (x < 0 || y < 0 || column < 0 || column > 7 ||
        UtmRow(band, column, tileRow % 20) != tileRow - (north ? 0 : 100))
        return std::nullopt;
    const char letters[] = {static_cast<char>('0' + zone / 10), static_cast<char>('0' + zone % 10), kBands[band + 10],
                            ' ', kUtmColumns[(zone - 1) % 3][column],
                            kUtmRows[(tileRow + ((zone - 1) % 2 ? 5 : 0)) % 20]};
    return Reference({letters, sizeof letters}, x, y, digits);
}

}  // namespace

std::optional<std::string> FormatMgrs(double latitude, double longitude, int digits) {
    if (!(digits >= 0 && digits <= 5) || !(std::fabs(latitude) <= 90) || !(std::fabs(longitude) <= 180))
        return std::nullopt;
    // -0 is south, as other MGRS tools have it: band M, just below the equator.
    const bool north = !std::signbit(latitude);
    if (latitude >= -80 && latitude < 84) {
        const int zone = StandardZone(latitude, longitude);
        const GridPoint grid = ExactUtmForward(latitude, longitude, 6.0 * zone - 183);
        double northing = north ? grid.northing : grid.northing + kFalseNorthing;
        // The equator itself stays in the south's last row.
        if (northing == kFalseNorthing) northing -= 0x1p-28;
        return UtmReference(zone, north, latitude, grid.easting, northing, digits);
    }
    const GridPoint grid = UpsForward(north, latitude, longitude);
    const long long x = Micrometres(grid.easting), y = Micrometres(grid.northing);
    const int column = static_cast<int>(x / kPerTile), row = static_cast<int>(y / kPerTile);
    const bool east = column >= kUpsEastColumn;
    const int band = (north ? 2 : 0) + (east ? 1 : 0);
    const int columnIndex = column - (east ? kUpsEastColumn : kFirstUpsColumn[north]);
    const int rowIndex = row - kFirstUpsColumn[north];
    if (columnIndex < 0 || columnIndex >= static_cast<int>(std::strlen(kUpsColumns[band])) || rowIndex < 0 ||
        rowIndex >= static_cast<int>(std::strlen(kUpsRows[north])))
        return std::nullopt;
    const char letters[] = {kUpsBands[band], ' ', kUpsColumns[band][columnIndex], kUpsRows[north][rowIndex]};
    return Reference({letters, sizeof letters}, x, y, digits);
}

std::optional<std::string> FormatMgrsFromUtm(const UtmPoint& point, int digits) {
    if (!(digits >= 0 && digits <= 5) || !(point.zone >= 1 && point.zone <= 60) ||
        !(point.easting > 0 && point.easting < 1000000) || !(std::fabs(point.northing) <= kFalseNorthing))
        return std::nullopt;
    const EarthPoint at = ExactUtmInverse(point.northing, point.easting, 6.0 * point.zone - 183);
    const double longitude = std::remainder(at.longitude, 360.0);
    // Where MGRS uses this very zone, the point's own numbers: a whole metre
    // stays that metre, with no round trip to take a hair off it.
    const bool north = !std::signbit(point.northing);
    if (at.latitude >= -80 && at.latitude < 84 && StandardZone(at.latitude, longitude) == point.zone)
        if (auto reference = UtmReference(point.zone, north, at.latitude, point.easting,
                                          north ? point.northing : point.northing + kFalseNorthing, digits))
            return reference;
    // Another zone (Norway, Svalbard, a chosen one) or the polar caps.
    return FormatMgrs(at.latitude, longitude, digits);
}

std::optional<PositionText> ReadMgrsText(std::string_view text) {
    std::size_t at = text::SkipBlanks(text, 0);
    const std::size_t zoneDigits = text::DigitsFrom(text, at);
    if (zoneDigits > 2) return std::nullopt;
    int zone = 0;
    for (std::size_t i = 0; i < zoneDigits; ++i) zone = zone * 10 + (text[at++] - '0');
    const bool utm = zoneDigits > 0;
    if (utm && !(zone >= 1 && zone <= 60)) return std::nullopt;
    if (at + 1 > text.size()) return std::nullopt;
    int band = IndexIn(utm ? kBands : kUpsBands, text[at++]);
    if (band < 0) return std::nullopt;
    at = text::SkipBlanks(text, at);
    if (at + 2 > text.size()) return std::nullopt;
    const bool north = band >= (utm ? 10 : 2);
    int column = IndexIn(utm ? kUtmColumns[(zone - 1) % 3] : kUpsColumns[band], text[at]);
    int row = IndexIn(utm ? kUtmRows : kUpsRows[north], text[at + 1]);
    if (column < 0 || row < 0) return std::nullopt;
    at = text::SkipBlanks(text, at + 2);
    // The digits: one run split in half, or two runs of the same length.
    const std::size_t first = text::DigitsFrom(text, at), firstAt = at;
    at = text::SkipBlanks(text, at + first);
    const std::size_t second = text::DigitsFrom(text, at), secondAt = at;
    at = text::SkipBlanks(text, at + second);
    if (at != text.size()) return std::nullopt;
    const std::size_t places = second ? first : first / 2;
    if ((second ? first != second : first % 2 != 0) || places > 5) return std::nullopt;
    const std::size_t northingAt = second ? secondAt : firstAt + places;

    if (utm) {
        if ((zone - 1) % 2) row = (row + 20 - 5) % 20;
        row = UtmRow(band - 10, column, row);
        if (row == -1000) return std::nullopt;  // that letter's rows all miss the band
        row += north ? 0 : 100;
        column += 1;
    } else {
        column += band % 2 ? kUpsEastColumn : kFirstUpsColumn[north];
        row += kFirstUpsColumn[north];
    }
    // The centre of the square: half a unit of the last digit in.
    double x = column, y = row, unit = 1;
    for (std::size_t i = 0; i < places; ++i) {
        x = 10 * x + (text[firstAt + i] - '0');
        y = 10 * y + (text[northingAt + i] - '0');
        unit *= 10;
    }
    x = kTile * (2 * x + 1) / (2 * unit);
    y = kTile * (2 * y + 1) / (2 * unit);

    PositionText position;
    position.code = Code::Mgrs;
    if (!utm) {
        const EarthPoint point = UpsInverse(north, x, y);
        position.latitude = point.latitude;
        position.longitude = point.longitude;
        return position;
    }
    const double northing = north ? y : y - kFalseNorthing;
    // The accurate inverse, never the window's series: the centre to within
    // nanometres, wherever the square lies in its zone.
    const EarthPoint point = ExactUtmInverse(northing, x, 6.0 * zone - 183);
    position.latitude = point.latitude;
    position.longitude = std::remainder(point.longitude, 360.0);
    // A square at a zone's edge whose centre lies beyond what the UTM boxes
    // take (Norway's 32V, a coarse square at the equator) gives degrees alone.
    if (x < kLeastEasting || x > kGreatestEasting) return position;
    position.notation = Utm;
    position.utm = {zone, x, northing};
    return position;
}

}  // namespace quillet
