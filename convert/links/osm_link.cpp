// OpenStreetMap (and openstreetmap.de): the marker (mlat=, mlon=) is the
// place; a short link's code (osm.org/go/0EEQjE--) holds it; a search for a
// pair is that pair; directions to one place are that place. The map's view
// ("#map=<zoom>/<lat>/<lon>", "#<zoom>/<lat>/<lon>", or an old
// "?lat=&lon=") is only where the map was scrolled. An object's link
// (/node/123) names no position itself.
#include "convert/links/link_text.h"

#include "convert/links/short_links.h"

namespace quillet::text {

namespace {

std::optional<double> WholeNumber(const std::optional<std::string>& value) {
    if (!value) return std::nullopt;
    const std::optional<NumberPair> pair = ReadNumberPair(*value + ",0", ',');
    if (!pair || !pair->rest.empty()) return std::nullopt;
    return pair->first;
}

// Both of a pair of query values, or a refusal when only one is there or
// either is no number. Nothing when neither is there.
std::optional<PositionReading> QueryPair(std::string_view query, std::string_view latitude, std::string_view longitude) {
    bool broken = false;
    const std::optional<std::string> lat = QueryValue(query, latitude, broken), lon = QueryValue(query, longitude, broken);
    if (broken) return Refusal("a broken percent escape");
    if (!lat && !lon) return std::nullopt;
    const std::optional<double> a = WholeNumber(lat), b = WholeNumber(lon);
    if (!a || !b) return Refusal(std::string(latitude) + " and " + std::string(longitude) + " are not two numbers");
    return Place(*a, *b, Code::OsmLink);
}

// "/go/<code>": the place the code holds.
PositionReading ShortLink(std::string_view code) {
    const std::optional<std::pair<double, double>> place = OsmShortPlace(code);
    if (!place) return Refusal("a short link whose code is broken");
    return Place(place->first, place->second, Code::OsmLink);
}

// "/directions?from=&to=<lat>,<lon>": the destination, when it is the only place.
PositionReading Directions(std::string_view query) {
    bool broken = false;
    const std::optional<std::string> from = QueryValue(query, "from", broken), to = QueryValue(query, "to", broken);
    if (broken) return Refusal("a broken percent escape");
    const std::optional<NumberPair> pair = LabelledPair(to.value_or(""));
    if ((from && !from->empty()) || QueryValue(query, "route", broken) || !pair)
        return Refusal(MoreThanOnePlace("a route"));
    return Place(pair->first, pair->second, Code::OsmLink);
}

}  // namespace

std::optional<PositionReading> ReadOsmLink(const Url& url) {
    if (!HostIs(url.host, "openstreetmap.org") && !HostIs(url.host, "osm.org") && !HostIs(url.host, "openstreetmap.de"))
        return std::nullopt;
    if (std::optional<PositionReading> marker = QueryPair(url.query, "mlat", "mlon")) return marker;
    if (url.path.starts_with("/go/")) return ShortLink(url.path.substr(4));
    for (std::string_view object : {"/node/", "/way/", "/relation/", "/changeset/", "/note/"})
        if (url.path.starts_with(object)) return Refusal("an OpenStreetMap object link holds no position");
    if (url.path.starts_with("/directions")) return Directions(url.query);
    if (url.path.starts_with("/search")) {
        bool broken = false;
        const std::optional<std::string> query = QueryValue(url.query, "query", broken);
        if (broken) return Refusal("a broken percent escape");
        const std::optional<NumberPair> pair = LabelledPair(query.value_or(""));
        if (!pair) return Refusal("the link holds no position (a search text)");
        return Place(pair->first, pair->second, Code::OsmLink);
    }
    for (std::string_view fragment = url.fragment; !fragment.empty();) {
        const std::string_view part = fragment.substr(0, fragment.find('&'));
        fragment.remove_prefix(std::min(fragment.size(), part.size() + 1));
        const bool map = part.starts_with("map=");
        std::string decoded;
        if (!PercentDecode(part.substr(map ? 4 : 0), false, decoded))
            return Refusal("a #map= view that is no zoom/latitude/longitude");
        if (std::optional<PositionReading> view = ZoomLatLon(decoded, Code::OsmLink)) return view;
        if (map) return Refusal("a #map= view that is no zoom/latitude/longitude");
    }
    if (std::optional<PositionReading> view = QueryPair(url.query, "lat", "lon")) return view;
    return Refusal("the link holds no position");
}

}  // namespace quillet::text
