// OpenStreetMap: the marker (mlat=, mlon=) is the place; the map's view
// ("#map=<zoom>/<lat>/<lon>", or an old "?lat=&lon=") is only where the map
// was scrolled. An object's link (/node/123) names no position itself.
#include "convert/links/link_text.h"

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

}  // namespace

std::optional<PositionReading> ReadOsmLink(const Url& url) {
    if (!HostIs(url.host, "openstreetmap.org") && !HostIs(url.host, "osm.org")) return std::nullopt;
    if (std::optional<PositionReading> marker = QueryPair(url.query, "mlat", "mlon")) return marker;
    for (std::string_view object : {"/node/", "/way/", "/relation/", "/changeset/", "/note/"})
        if (url.path.starts_with(object)) return Refusal("an OpenStreetMap object link holds no position");
    if (url.path.starts_with("/directions")) return Refusal(MoreThanOnePlace("a route"));
    for (std::string_view fragment = url.fragment; !fragment.empty();) {
        const std::string_view part = fragment.substr(0, fragment.find('&'));
        fragment.remove_prefix(std::min(fragment.size(), part.size() + 1));
        if (!part.starts_with("map=")) continue;
        const std::size_t slash = part.find('/');
        std::string decoded;
        if (slash == std::string_view::npos || !PercentDecode(part.substr(slash + 1), false, decoded))
            return Refusal("a #map= view that is no zoom/latitude/longitude");
        const std::optional<NumberPair> view = ReadNumberPair(decoded, '/');
        if (!view || !view->rest.empty()) return Refusal("a #map= view that is no zoom/latitude/longitude");
        return Place(view->first, view->second, Code::OsmLink);
    }
    if (std::optional<PositionReading> view = QueryPair(url.query, "lat", "lon")) return view;
    return Refusal("the link holds no position");
}

}  // namespace quillet::text
