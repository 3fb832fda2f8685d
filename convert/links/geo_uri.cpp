#include "convert/links/geo_uri.h"

#include "convert/links/link_text.h"
#include "convert/text/angle_text.h"

#include <charconv>

namespace quillet::text {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithAnyCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != prefix[i]) return false;
    return true;
}

// Android's query ("geo:0,0?q=34.99393,-106.61568(Name)"): a pair in q= is
// the pin, and wins over the path's centre, as a map's pin wins over its
// view; q= without a pair is a search, which holds no position when the
// path is "0,0" (Android's "no centre") or absent. Nothing when there is no q=.
std::optional<PositionReading> QueryPlace(std::string_view query, bool centre) {
    bool broken = false;
    const std::optional<std::string> q = QueryValue(query, "q", broken);
    if (broken) return Refusal("a broken percent escape");
    if (!q) return std::nullopt;
    if (const std::optional<NumberPair> pair = LabelledPair(*q)) return Place(pair->first, pair->second, Code::GeoUri);
    if (centre) return std::nullopt;
    return Refusal("the link holds no position (a search text)");
}

}  // namespace

std::optional<PositionReading> ReadGeoUri(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    if (!StartsWithAnyCase(text, "geo:")) return std::nullopt;
    text.remove_prefix(4);
    PositionReading reading;
    for (std::size_t at = 0; at < text.size(); ++at)
        if (static_cast<unsigned char>(text[at]) < ' ') return reading;
    const std::size_t question = text.find('?');
    const std::string_view query = question == std::string_view::npos ? std::string_view{} : text.substr(question + 1);
    if (text.starts_with('?')) {  // no path at all: "geo:?q=..."
        if (std::optional<PositionReading> place = QueryPlace(query, false)) return place;
        return Refusal("the link holds no position");
    }
    const std::optional<double> latitude = PlainDecimal(text);
    if (!latitude || !text.starts_with(',')) return reading;
    text.remove_prefix(1);
    const std::optional<double> longitude = PlainDecimal(text);
    if (!longitude) return reading;
    if (text.starts_with(',')) {  // the altitude
        text.remove_prefix(1);
        if (!PlainDecimal(text)) return reading;
    }
    // Parameters, and a query some phones add ("?z=11"): only another
    // reference system matters.
    if (!text.empty() && text.front() != ';' && text.front() != '?') return reading;
    const std::string_view parameters = text.substr(0, text.find('?'));
    for (std::size_t at = 0; at < parameters.size(); ++at)
        if (parameters[at] == ' ') return reading;
    // Parameter names are case-insensitive: ";CRS=nad27" is as foreign as ";crs=nad27".
    for (std::string_view rest = parameters; !rest.empty();) {
        rest.remove_prefix(1);  // the ';'
        const std::string_view parameter = rest.substr(0, rest.find(';'));
        rest.remove_prefix(parameter.size());
        if (StartsWithAnyCase(parameter, "crs=") && (parameter.size() != 9 || !StartsWithAnyCase(parameter.substr(4), "wgs84")))
            return reading;
    }
    if (!WithinBound(*latitude, true) || !WithinBound(*longitude, false)) return reading;
    if (std::optional<PositionReading> place = QueryPlace(query, *latitude != 0 || *longitude != 0)) return place;
    PositionText position;
    position.latitude = *latitude;
    position.longitude = *longitude;
    position.code = Code::GeoUri;
    reading.position = position;
    reading.failure = ReadFailure::None;
    return reading;
}

}  // namespace quillet::text
