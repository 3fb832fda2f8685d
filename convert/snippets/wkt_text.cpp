// WKT and PostGIS's EWKT: "POINT (<lon> <lat>)", "POINT Z (<lon> <lat> <alt>)",
// "SRID=4326;POINT(...)". Longitude first, as every GIS writes it; another
// SRID (a national grid's easting and northing) through PROJ.
#include "convert/links/link_text.h"
#include "convert/snippets/snippet_text.h"
#include "geodesy/proj_systems.h"

#include <charconv>
#include <string>

namespace quillet::text {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

void SkipBlanks(std::string_view& text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
}

std::string Word(std::string_view& text) {
    std::string word;
    while (!text.empty() && IsLetter(text.front())) {
        word += static_cast<char>(text.front() >= 'a' ? text.front() - 'a' + 'A' : text.front());
        text.remove_prefix(1);
    }
    return word;
}

// A WKT number: anything from_chars reads up to a blank or a bracket.
std::optional<double> Number(std::string_view& text) {
    SkipBlanks(text);
    std::size_t at = 0;
    while (at < text.size() && !IsBlank(text[at]) && text[at] != ')' && text[at] != ',') ++at;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + at, value);
    if (at == 0 || error != std::errc() || end != text.data() + at) return std::nullopt;
    text.remove_prefix(at);
    return value;
}

constexpr std::string_view kManyPlaces[] = {"LINESTRING", "POLYGON", "MULTIPOINT", "MULTILINESTRING", "MULTIPOLYGON",
                                            "GEOMETRYCOLLECTION", "CIRCULARSTRING", "COMPOUNDCURVE", "CURVEPOLYGON",
                                            "MULTICURVE", "MULTISURFACE", "POLYHEDRALSURFACE", "TIN", "TRIANGLE"};

// A point of another system, x then y as PostGIS writes it, through PROJ's
// most accurate transformation; refused, naming the system, where PROJ knows
// none, or only a ballpark one, or the point lies outside the system's area.
PositionReading FromSrid(std::string_view srid, double x, double y) {
    const std::string system = "EPSG:" + std::string(srid);
    const proj::Transformed wgs84 = proj::ToWgs84(system, {x, y});
    if (wgs84.failure != proj::Failure::None)
        return Refusal("SRID=" + std::string(srid) + ": " +
                       (wgs84.failure == proj::Failure::OutsideArea ? "outside the system's area"
                        : wgs84.failure == proj::Failure::UnknownSystem ? "no system PROJ knows"
                                                                        : wgs84.why));
    return Place(wgs84.point.y, wgs84.point.x, Code::Wkt);
}

}  // namespace

std::optional<PositionReading> ReadWkt(std::string_view text) {
    SkipBlanks(text);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    std::string_view rest = text;
    std::string_view srid = "4326";
    const bool extended = Word(rest) == "SRID" && rest.starts_with('=');
    if (extended) {
        rest.remove_prefix(1);
        srid = rest.substr(0, rest.find(';'));
        if (srid.size() == rest.size()) return Refusal("SRID= without a geometry after \";\"");
        if (srid.empty() || srid.size() > 9 || srid.find_first_not_of("0123456789") != std::string_view::npos)
            return Refusal("SRID=" + std::string(srid.substr(0, 20)) + " is no EPSG code");
        rest.remove_prefix(srid.size() + 1);
        SkipBlanks(rest);
    } else {
        rest = text;
    }
    const std::string keyword = Word(rest);
    SkipBlanks(rest);
    const std::string dimensions = Word(rest);
    SkipBlanks(rest);
    // Only a geometry's keyword, its dimensions and its bracket (or EMPTY)
    // make WKT: "Point Nemo" is a name.
    const bool empty = dimensions == "EMPTY" && rest.empty();
    if ((!dimensions.empty() && !empty && dimensions != "Z" && dimensions != "M" && dimensions != "ZM") ||
        (!empty && !rest.starts_with('(')))
        return extended ? std::optional(Refusal("SRID= without a POINT")) : std::nullopt;
    for (std::string_view many : kManyPlaces)
        if (keyword == many) return Refusal(MoreThanOnePlace("a " + keyword));
    if (keyword != "POINT") return extended ? std::optional(Refusal("SRID= without a POINT")) : std::nullopt;
    if (empty) return Refusal("an empty POINT holds no position");
    rest.remove_prefix(1);
    const std::optional<double> longitude = Number(rest), latitude = Number(rest);
    if (!longitude || !latitude) return Refusal("a POINT without two numbers in brackets");
    for (int more = 0; more < 2; ++more) {  // an altitude, a measure
        SkipBlanks(rest);
        if (rest.starts_with(')')) break;
        if (!Number(rest)) return Refusal("a POINT without two numbers in brackets");
    }
    SkipBlanks(rest);
    if (rest.starts_with(',')) return Refusal(MoreThanOnePlace("a POINT of two positions"));
    if (rest != ")") return Refusal("a POINT without two numbers in brackets");
    if (srid == "4326") return Place(*latitude, *longitude, Code::Wkt);
    return FromSrid(srid, *longitude, *latitude);
}

}  // namespace quillet::text
