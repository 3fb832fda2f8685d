// WKT and PostGIS's EWKT: "POINT (<lon> <lat>)", "POINT Z (<lon> <lat> <alt>)",
// "SRID=4326;POINT(...)". Longitude first, as every GIS writes it.
#include "convert/link_text.h"
#include "convert/snippet_text.h"

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

}  // namespace

std::optional<PositionReading> ReadWkt(std::string_view text) {
    SkipBlanks(text);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    std::string_view rest = text;
    const bool extended = Word(rest) == "SRID" && rest.starts_with('=');
    if (extended) {
        rest.remove_prefix(1);
        const std::string_view srid = rest.substr(0, rest.find(';'));
        if (srid.size() == rest.size()) return Refusal("SRID= without a geometry after \";\"");
        if (srid != "4326") return Refusal("SRID=" + std::string(srid.substr(0, 20)) + " is not WGS 84 (4326)");
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
    return Place(*latitude, *longitude, Code::Wkt);
}

}  // namespace quillet::text
