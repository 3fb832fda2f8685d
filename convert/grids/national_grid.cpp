#include "convert/grids/national_grid.h"

#include "convert/text/text_tokens.h"
#include "geodesy/proj_systems.h"
#include "values/values.h"

#include <charconv>
#include <cmath>

namespace quillet {

namespace {

constexpr double kSquare = 100000;  // metres in a lettered square
// 25 letters without I, five to a row from the top left.
constexpr char kLetters[] = "ABCDEFGHJKLMNOPQRSTUVWXYZ";

struct Grid {
    std::string_view system;  // as PROJ knows it
    std::string_view name;    // in messages
    int letters;              // 0 for all numbers
    int columns, rows;        // of lettered squares
};

constexpr Grid kBritish{"EPSG:27700", "British National Grid", 2, 7, 13};
constexpr Grid kIrish{"EPSG:29903", "Irish Grid", 1, 5, 5};
constexpr Grid kIrishTm{"EPSG:2157", "Irish Transverse Mercator", 0, 0, 0};

const Grid* GridOf(Code code) {
    switch (code) {
    case Code::BritishGrid: return &kBritish;
    case Code::IrishGrid: return &kIrish;
    case Code::IrishTm: return &kIrishTm;
    default: return nullptr;
    }
}

int LetterIndex(char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (int i = 0; i < 25; ++i)
        if (kLetters[i] == c) return i;
    return -1;
}

// The square's column and row in 100 km from the grid's origin, or nothing
// when the letters name none. Great Britain's first letter is a 500 km
// square counted from the one west of S (the origin of the five-by-five
// blocks lies 1000 km west and 500 km south of it); Ireland's is the 100 km
// square itself.
std::optional<std::pair<int, int>> SquareOf(const Grid& grid, std::string_view letters) {
    int column = 0, row = 0;
    if (grid.letters == 2) {
        const int first = LetterIndex(letters[0]), second = LetterIndex(letters[1]);
        if (first < 0 || second < 0) return std::nullopt;
        column = (first % 5 - 2) * 5 + second % 5;
        row = (3 - first / 5) * 5 + 4 - second / 5;
    } else {
        const int letter = LetterIndex(letters[0]);
        if (letter < 0) return std::nullopt;
        column = letter % 5;
        row = 4 - letter / 5;
    }
    if (column < 0 || column >= grid.columns || row < 0 || row >= grid.rows) return std::nullopt;
    return std::pair{column, row};
}

// Whole metres, truncated, never rounded: a reference names the square the
// point is in. A value within a micrometre of a whole number is that number,
// so that 438700 given is never 438699.9999999 and one figure less.
long long WholeMetres(double metres) {
    const double nearest = std::round(metres);
    return static_cast<long long>(std::fabs(metres - nearest) <= 1e-6 ? nearest : std::floor(metres));
}

std::optional<std::string> Letters(const Grid& grid, double easting, double northing, int figures) {
    if (figures < 0 || figures > 10 || figures % 2 != 0) return std::nullopt;
    if (!(easting > -1 && easting < grid.columns * kSquare && northing > -1 && northing < grid.rows * kSquare))
        return std::nullopt;
    const long long east = WholeMetres(easting), north = WholeMetres(northing);
    if (east < 0 || east >= grid.columns * 100000LL || north < 0 || north >= grid.rows * 100000LL)
        return std::nullopt;
    const int column = static_cast<int>(east / 100000), row = static_cast<int>(north / 100000);
    std::string text;
    if (grid.letters == 2) {
        text += kLetters[(3 - row / 5) * 5 + column / 5 + 2];
        text += kLetters[(4 - row % 5) * 5 + column % 5];
    } else {
        text += kLetters[(4 - row) * 5 + column];
    }
    const int places = figures / 2;
    long long divisor = 1;
    for (int i = places; i < 5; ++i) divisor *= 10;
    for (long long value : {east % 100000 / divisor, north % 100000 / divisor}) {
        if (places == 0) break;
        std::string digits = std::to_string(value);
        text += ' ';
        text.append(static_cast<std::size_t>(places) - digits.size(), '0');
        text += digits;
    }
    return text;
}

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

PositionReading Refusal(std::string why) {
    PositionReading reading;
    reading.failure = ReadFailure::Refused;
    reading.why = std::move(why);
    return reading;
}

// The WGS 84 position of a point of the grid, or why there is none. A point
// of a lettered grid's own squares is a place of that grid (`inSquares`),
// read even where the grid's datum shift is stretched beyond its land.
PositionReading PositionOf(const Grid& grid, Code code, double easting, double northing, bool inSquares) {
    const proj::Transformed wgs84 = proj::ToWgs84(grid.system, {easting, northing}, false, inSquares);
    if (wgs84.failure != proj::Failure::None)
        return Refusal(wgs84.failure == proj::Failure::OutsideArea ? "outside the area of the " + std::string(grid.name)
                                                                   : wgs84.why);
    PositionReading reading;
    reading.failure = ReadFailure::None;
    PositionText& position = reading.position.emplace();
    position.notation = DecimalDegrees;
    position.latitude = wgs84.point.y;
    position.longitude = wgs84.point.x;
    position.code = code;
    position.grid = {easting, northing};
    position.extrapolated = wgs84.extrapolated;
    return reading;
}

std::optional<double> PlainNumber(std::string_view text, std::size_t& at) {
    std::size_t end = at;
    if (end < text.size() && (text[end] == '-' || text[end] == '+')) ++end;
    const std::size_t digitsAt = end;
    end += text::DigitsFrom(text, end);
    if (end < text.size() && text[end] == '.') end += 1 + text::DigitsFrom(text, end + 1);
    if (end == digitsAt || (end == digitsAt + 1 && text[digitsAt] == '.')) return std::nullopt;
    double value = 0;
    const std::size_t from = text[at] == '+' ? at + 1 : at;
    if (std::from_chars(text.data() + from, text.data() + end, value).ec != std::errc()) return std::nullopt;
    at = end;
    return value;
}

}  // namespace

bool IsBritishGridSquare(std::string_view letters) {
    return letters.size() == 2 && SquareOf(kBritish, letters).has_value();
}

std::optional<std::string> BritishGridLetters(double easting, double northing, int figures) {
    return Letters(kBritish, easting, northing, figures);
}

std::optional<std::string> IrishGridLetters(double easting, double northing, int figures) {
    return Letters(kIrish, easting, northing, figures);
}

std::string_view GridName(Code code) {
    const Grid* grid = GridOf(code);
    return grid ? grid->name : std::string_view();
}

bool ValidGridFigures(Code code, int figures) {
    const Grid* grid = GridOf(code);
    if (!grid) return false;
    return grid->letters == 0 ? figures < 0 : figures >= 0 && figures <= 10 && figures % 2 == 0;
}

std::optional<std::string> FormatGridPoint(Code code, GridMetres point, int figures) {
    const Grid* grid = GridOf(code);
    if (!grid || !ValidGridFigures(code, figures)) return std::nullopt;
    try {
        if (grid->letters > 0) return Letters(*grid, point.easting, point.northing, figures);
        if (!(std::fabs(point.easting) < 1e12 && std::fabs(point.northing) < 1e12)) return std::nullopt;
        return std::to_string(std::llround(point.easting)) + ' ' + std::to_string(std::llround(point.northing));
    } catch (...) {  // no memory left
        return std::nullopt;
    }
}

std::optional<std::string> FormatGridCode(Code code, double latitude, double longitude, int figures) {
    const Grid* grid = GridOf(code);
    if (!grid || !ValidGridFigures(code, figures)) return std::nullopt;
    const proj::Transformed point = proj::FromWgs84(grid->system, latitude, longitude);
    if (point.failure != proj::Failure::None) return std::nullopt;
    return FormatGridPoint(code, {point.point.x, point.point.y}, figures);
}

std::string_view GridSystem(Code code) {
    const Grid* grid = GridOf(code);
    return grid ? grid->system : std::string_view();
}

std::string_view AccuracyNote(std::string_view from, std::string_view to) {
    if (from.empty() || to.empty()) return {};
    for (const std::string& grid : proj::BetterGrids(from, to))
        if (grid.find("OSTN15") != std::string::npos) return kBritishAccuracyNote;
    return {};
}

std::optional<std::string> GridAccuracyNote(Code code) {
    try {
        const std::string_view system = GridSystem(code);
        const std::string_view note = AccuracyNote("EPSG:4326", system);
        if (note.empty()) return std::nullopt;
        return std::string(note);
    } catch (...) {  // no memory left
        return std::nullopt;
    }
}

std::string_view ExtrapolationNote(Code code) {
    switch (code) {
    case Code::BritishGrid: return kBritishExtrapolationNote;
    case Code::IrishGrid: return kIrishExtrapolationNote;
    default: return {};
    }
}

std::optional<std::pair<double, double>> ReadEastingNorthing(std::string_view text) {
    std::size_t at = text::SkipBlanks(text, 0);
    const std::optional<double> easting = PlainNumber(text, at);
    if (!easting) return std::nullopt;
    const std::size_t afterEasting = at;
    at = text::SkipBlanks(text, at);
    if (at < text.size() && (text[at] == ',' || text[at] == ';')) at = text::SkipBlanks(text, at + 1);
    if (at == afterEasting) return std::nullopt;  // no separator at all
    const std::optional<double> northing = PlainNumber(text, at);
    if (!northing || text::SkipBlanks(text, at) != text.size()) return std::nullopt;
    return std::pair{*easting, *northing};
}

std::optional<PositionReading> ReadGridReference(std::string_view text, const ReadOptions& options) {
    const Grid* only = GridOf(options.only);
    if (options.only != Code::None && !only) return std::nullopt;
    if (only && only->letters == 0) {
        if (const auto pair = ReadEastingNorthing(text))
            return PositionOf(*only, options.only, pair->first, pair->second, false);
        return std::nullopt;
    }
    std::size_t at = text::SkipBlanks(text, 0);
    const std::size_t lettersAt = at;
    while (at < text.size() && IsAsciiLetter(text[at])) ++at;
    const std::size_t letters = at - lettersAt;
    if (letters < 1 || letters > 2) {
        // With --from a lettered grid, its numbers too.
        if (only && letters == 0)
            if (const auto pair = ReadEastingNorthing(text)) {
                if (!(pair->first >= 0 && pair->first < only->columns * kSquare && pair->second >= 0 &&
                      pair->second < only->rows * kSquare))
                    return Refusal("outside the " + std::string(only->name));
                return PositionOf(*only, options.only, pair->first, pair->second, true);
            }
        return std::nullopt;
    }
    const Grid& grid = letters == 2 ? kBritish : kIrish;
    const Code code = letters == 2 ? Code::BritishGrid : Code::IrishGrid;
    if (only && only != &grid) return std::nullopt;
    // The figures: one run split in half, or two runs of the same length.
    at = text::SkipBlanks(text, at);
    const std::size_t first = text::DigitsFrom(text, at), firstAt = at;
    at = text::SkipBlanks(text, at + first);
    const std::size_t second = text::DigitsFrom(text, at), secondAt = at;
    at = text::SkipBlanks(text, at + second);
    if (at != text.size()) return std::nullopt;
    if (!only && first + second < 4) return std::nullopt;
    if (second && first != second) return Refusal("easting and northing of different lengths");
    if (first + second > 10) return Refusal("more than 10 figures");
    if ((first + second) % 2 != 0) return Refusal("an odd number of figures");
    const std::string_view letterText = text.substr(lettersAt, letters);
    const std::optional<std::pair<int, int>> square = SquareOf(grid, letterText);
    if (!square) return Refusal("no square " + UpperText(letterText) + " in the " + std::string(grid.name));
    const std::size_t places = (first + second) / 2;
    const std::size_t northingAt = second ? secondAt : firstAt + places;
    // The centre of the square: half a unit of the last figure in.
    double x = square->first, y = square->second, unit = 1;
    for (std::size_t i = 0; i < places; ++i) {
        x = 10 * x + (text[firstAt + i] - '0');
        y = 10 * y + (text[northingAt + i] - '0');
        unit *= 10;
    }
    return PositionOf(grid, code, kSquare * (2 * x + 1) / (2 * unit), kSquare * (2 * y + 1) / (2 * unit), true);
}

}  // namespace quillet
