// The links map apps share. Organic Maps and MAPS.ME: "<lat>,<lon>/<name>",
// or a ge0 code that holds the place ("omaps.app/Umse5f0H8a/Name",
// "ge0://..."). OsmAnd: the pin (pin=), else lat= and lon=, else the view
// "#<zoom>/<lat>/<lon>". Magic Earth: lat= and lon=. The Chinese maps
// (Amap/Gaode, Tencent, Baidu) write their country's offset coordinates
// (GCJ-02, or Baidu's BD-09 on top of it), 100 to 700 m from WGS 84: they
// are refused, never read as WGS 84. A wrong place is worse than none, and
// undoing the offset is an approximation of an unpublished rule.
#include "convert/links/link_text.h"

#include "convert/links/short_links.h"

namespace quillet::text {

namespace {

std::optional<PositionReading> LatLon(std::string_view query, std::string_view latitude,
                                      std::string_view longitude) {
    bool broken = false;
    const std::optional<std::string> lat = QueryValue(query, latitude, broken);
    const std::optional<std::string> lon = QueryValue(query, longitude, broken);
    if (broken) return Refusal("a broken percent escape");
    if (!lat && !lon) return std::nullopt;
    const std::optional<NumberPair> pair = ReadNumberPair(lat.value_or("") + "," + lon.value_or(""), ',');
    if (!pair || !pair->rest.empty())
        return Refusal(std::string(latitude) + " and " + std::string(longitude) + " are not two numbers");
    return Place(pair->first, pair->second);
}

PositionReading OrganicMaps(const Url& url) {
    if (url.path.size() <= 1) return Refusal("the link holds no position");
    std::string_view first = url.path.substr(url.path.empty() ? 0 : 1);
    first = first.substr(0, first.find('/'));
    if (const std::optional<NumberPair> pair = ReadNumberPair(first, ','); pair && pair->rest.empty())
        return Place(pair->first, pair->second);
    return Ge0Reading(url.path.substr(url.path.empty() ? 0 : 1));
}

PositionReading OsmAnd(const Url& url) {
    bool broken = false;
    if (HasValue(url.query, "start") || HasValue(url.query, "finish")) return Refusal(MoreThanOnePlace("a route"));
    if (const std::optional<std::string> pin = QueryValue(url.query, "pin", broken)) {
        const std::optional<NumberPair> pair = ReadNumberPair(*pin, ',');
        if (!pair || !pair->rest.empty()) return Refusal("a pin that is no latitude,longitude");
        return Place(pair->first, pair->second);
    }
    if (broken) return Refusal("a broken percent escape");
    if (std::optional<PositionReading> place = LatLon(url.query, "lat", "lon")) return *place;
    std::string fragment;
    if (PercentDecode(url.fragment, false, fragment))
        if (std::optional<PositionReading> view = ZoomLatLon(fragment)) return *view;
    return Refusal("the link holds no position");
}

// Which offset a Chinese map's links carry, or nothing for another site.
std::optional<std::string_view> ChineseDatum(std::string_view host) {
    if (HostIs(host, "amap.com") || HostIs(host, "gaode.com")) return "Amap writes GCJ-02";
    if (HostIs(host, "map.qq.com")) return "Tencent Maps writes GCJ-02";
    if (HostIs(host, "map.baidu.com") || HostIs(host, "map.baidu.cn")) return "Baidu Maps writes BD-09";
    return std::nullopt;
}

}  // namespace

PositionReading Ge0Reading(std::string_view codeAndName) {
    const std::optional<std::pair<double, double>> place = Ge0Place(codeAndName.substr(0, codeAndName.find('/')));
    if (!place) return Refusal("a ge0 code that is broken");
    return Place(place->first, place->second);
}

std::optional<PositionReading> ReadAppLink(const Url& url) {
    const std::string_view host = url.host;
    if (HostIs(host, "omaps.app") || HostIs(host, "ge0.me") || HostIs(host, "organicmaps.app")) return OrganicMaps(url);
    if (HostIs(host, "osmand.net")) return OsmAnd(url);
    if (HostIs(host, "magicearth.com")) {
        if (std::optional<PositionReading> place = LatLon(url.query, "lat", "lon")) return *place;
        return Refusal("the link holds no position");
    }
    if (const std::optional<std::string_view> datum = ChineseDatum(host))
        return Refusal(std::string(*datum) +
                       " coordinates, 100 to 700 m off WGS 84 in China: not read as WGS 84");
    return std::nullopt;
}

}  // namespace quillet::text
