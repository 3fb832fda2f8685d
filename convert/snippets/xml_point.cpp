// The small XML fragments GPS tools copy: KML's "<coordinates>lon,lat,alt
// </coordinates>" (longitude first) and GPX's <wpt>, <trkpt> and <rtept>,
// whose lat= and lon= attributes come in any order. Read by hand: a
// fragment is no document, and only these tags matter.
#include "convert/links/link_text.h"
#include "convert/snippets/snippet_text.h"

#include <array>
#include <string>

namespace quillet::text {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Where the tag `name` opens ("<name" then a blank, "/" or ">"), from `from`.
std::size_t FindTag(std::string_view text, std::string_view name, std::size_t from = 0) {
    for (std::size_t at = text.find(name, from); at != std::string_view::npos; at = text.find(name, at + 1)) {
        const std::size_t after = at + name.size();
        if (after >= text.size() || !(IsBlank(text[after]) || text[after] == '/' || text[after] == '>')) continue;
        // Back over a namespace prefix ("kml:") to the "<", which no "/" follows.
        std::size_t open = at;
        if (open > 0 && text[open - 1] == ':')
            for (--open; open > 0 && text[open - 1] != '<' && text[open - 1] != '/' && !IsBlank(text[open - 1]);) --open;
        if (open > 0 && text[open - 1] == '<') return at;
    }
    return std::string_view::npos;
}

PositionReading Kml(std::string_view text, std::size_t tag) {
    if (FindTag(text, "coordinates", tag + 1) != std::string_view::npos)
        return Refusal(MoreThanOnePlace("two <coordinates>"));
    const std::size_t open = text.find('>', tag);
    const std::size_t close = open == std::string_view::npos ? open : text.find('<', open);
    if (close == std::string_view::npos) return Refusal("a <coordinates> without its end");
    const std::string_view inside = text.substr(open + 1, close - open - 1);
    const std::optional<NumberPair> pair = ReadNumberPair(inside, ',');
    if (!pair) return Refusal("a <coordinates> without longitude,latitude");
    std::string_view rest = pair->rest;
    if (rest.starts_with(',')) {  // the altitude
        const std::string withAltitude = "0" + std::string(rest);
        const std::optional<NumberPair> altitude = ReadNumberPair(withAltitude, ',');
        if (!altitude) return Refusal("a <coordinates> without longitude,latitude");
        rest = rest.substr(rest.size() - altitude->rest.size());
    }
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    if (!rest.empty()) return Refusal(MoreThanOnePlace("a line of <coordinates>"));
    return Place(pair->second, pair->first);
}

// The value of the attribute `name` in the tag's text, or nothing.
std::optional<std::string_view> Attribute(std::string_view tag, std::string_view name) {
    std::size_t at = 0;
    while (at < tag.size()) {
        while (at < tag.size() && IsBlank(tag[at])) ++at;
        const std::size_t nameStart = at;
        while (at < tag.size() && !IsBlank(tag[at]) && tag[at] != '=') ++at;
        const std::string_view attribute = tag.substr(nameStart, at - nameStart);
        while (at < tag.size() && IsBlank(tag[at])) ++at;
        if (at >= tag.size() || tag[at] != '=') return std::nullopt;
        ++at;
        while (at < tag.size() && IsBlank(tag[at])) ++at;
        if (at >= tag.size() || (tag[at] != '"' && tag[at] != '\'')) return std::nullopt;
        const std::size_t end = tag.find(tag[at], at + 1);
        if (end == std::string_view::npos) return std::nullopt;
        if (attribute == name) return tag.substr(at + 1, end - at - 1);
        at = end + 1;
    }
    return std::nullopt;
}

PositionReading Gpx(std::string_view text, std::size_t tag, std::string_view name) {
    const std::size_t end = text.find('>', tag);
    if (end == std::string_view::npos) return Refusal("a <" + std::string(name) + "> without its end");
    std::string_view attributes = text.substr(tag + name.size(), end - tag - name.size());
    if (attributes.ends_with('/')) attributes.remove_suffix(1);
    const std::optional<std::string_view> lat = Attribute(attributes, "lat"), lon = Attribute(attributes, "lon");
    std::optional<NumberPair> pair;
    const std::string both = lat && lon ? std::string(*lat) + "," + std::string(*lon) : std::string();
    if (lat && lon) pair = ReadNumberPair(both, ',');
    if (!pair || pair->rest.find_first_not_of(" \t") != std::string_view::npos)
        return Refusal("a <" + std::string(name) + "> without lat= and lon=");
    return Place(pair->first, pair->second);
}

}  // namespace

std::optional<PositionReading> ReadXmlPoint(std::string_view text) {
    if (const std::size_t kml = FindTag(text, "coordinates"); kml != std::string_view::npos) return Kml(text, kml);
    const std::array<std::string_view, 3> points{"wpt", "trkpt", "rtept"};
    std::size_t found = std::string_view::npos;
    std::string_view name;
    for (std::string_view point : points)
        for (std::size_t at = FindTag(text, point); at != std::string_view::npos; at = FindTag(text, point, at + 1)) {
            if (found != std::string_view::npos) return Refusal(MoreThanOnePlace("two GPX points"));
            found = at;
            name = point;
        }
    if (found == std::string_view::npos) return std::nullopt;
    return Gpx(text, found, name);
}

}  // namespace quillet::text
