// The other map sites, each its own query key. Apple Maps: ll= (the place),
// q= when it is a pair, a lone destination (daddr=), sll= or center= (the
// search's centre); Bing: cp=<lat>~<lon>; HERE: map=<lat>,<lon>,<zoom> or a
// shared "/l/<lat>,<lon>,<name>"; Waze: ll=, or a Geohash after "/ul/";
// Yandex: the pin (whatshere[point]=, pt=) before the view (ll=), all
// longitude first; Mapy.cz: x= longitude, y= latitude; 2GIS: a place's
// "<lon>,<lat>" in the path, or the view m=<lon>,<lat>/<zoom>.
#include "convert/links/link_text.h"

#include "convert/codes/geohash.h"

namespace quillet::text {

namespace {

struct Key {
    std::string_view name;
    char separator;
    bool longitudeFirst;
    bool moreAfter;  // a zoom or a heading may follow the pair
};

// The first key present: its pair is the place. A key present but no pair
// (Apple's q= with a name) passes to the next.
PositionReading FirstPair(std::string_view query, std::initializer_list<Key> keys) {
    bool broken = false;
    for (const Key& key : keys) {
        const std::optional<std::string> value = QueryValue(query, key.name, broken);
        if (broken) return Refusal("a broken percent escape");
        if (!value) continue;
        const std::optional<NumberPair> pair = ReadNumberPair(*value, key.separator);
        if (!pair) continue;
        if (key.separator == ',' && pair->rest.find('~') != std::string_view::npos) return Refusal(MoreThanOnePlace("two markers"));
        if (!pair->rest.empty() && !(key.moreAfter && (pair->rest.starts_with(',') || pair->rest.starts_with('/'))))
            continue;
        return key.longitudeFirst ? Place(pair->second, pair->first) : Place(pair->first, pair->second);
    }
    return Refusal("the link holds no position");
}

PositionReading Apple(const Url& url) {
    if (HasValue(url.query, "saddr") && HasValue(url.query, "daddr")) return Refusal(MoreThanOnePlace("a route"));
    return FirstPair(url.query, {{"ll", ',', false, false}, {"coordinate", ',', false, false},
                                 {"q", ',', false, false}, {"daddr", ',', false, false},
                                 {"center", ',', false, false}, {"sll", ',', false, false}});
}

PositionReading Here(const Url& url) {
    if (url.path.starts_with("/l/")) {
        std::string decoded;
        if (!PercentDecode(url.path.substr(3), true, decoded)) return Refusal("a broken percent escape");
        const std::optional<NumberPair> pair = ReadNumberPair(decoded, ',');
        if (pair && (pair->rest.empty() || pair->rest.starts_with(','))) return Place(pair->first, pair->second);
        return Refusal("the link holds no position");
    }
    return FirstPair(url.query, {{"map", ',', false, true}});
}

PositionReading Waze(const Url& url) {
    if (url.path.starts_with("/ul/") && url.path.size() > 4) {
        const codes::CellReading cell = codes::GeohashCell(url.path.substr(4));
        if (!cell.cell) return Refusal("a short link whose Geohash is broken");
        return Place(cell.cell->Latitude(), cell.cell->Longitude());
    }
    return FirstPair(url.query, {{"ll", ',', false, false}});
}

// The pin wins over the view; a route, a search or a business names places
// the view's centre is not.
PositionReading Yandex(const Url& url) {
    if (HasValue(url.query, "rtext")) return Refusal(MoreThanOnePlace("a route"));
    PositionReading pin = FirstPair(url.query, {{"whatshere%5Bpoint%5D", ',', true, false},
                                                {"whatshere[point]", ',', true, false},
                                                {"pt", ',', true, true}});
    if (pin.position || pin.why != "the link holds no position") return pin;
    if (HasValue(url.query, "text") || HasValue(url.query, "oid"))
        return Refusal("the link holds no position (a place by its name)");
    return FirstPair(url.query, {{"ll", ',', true, false}});
}

PositionReading Mapy(const Url& url) {
    bool broken = false;
    const std::optional<std::string> source = QueryValue(url.query, "source", broken);
    if (source && *source == "coor") return FirstPair(url.query, {{"id", ',', true, false}});
    // A business or an address by its number: x= and y= are only the view around it.
    if (source && !source->empty() && HasValue(url.query, "id"))
        return Refusal("the link holds no position (a place by its number)");
    if (HasValue(url.query, "rc") || url.path.find("trasy") != std::string_view::npos)
        return Refusal(MoreThanOnePlace("a route"));
    const std::optional<std::string> x = QueryValue(url.query, "x", broken), y = QueryValue(url.query, "y", broken);
    if (broken) return Refusal("a broken percent escape");
    if (!x || !y) return Refusal("the link holds no position");
    const std::optional<NumberPair> pair = ReadNumberPair(*x + "," + *y, ',');
    if (!pair || !pair->rest.empty()) return Refusal("x and y are not two numbers");
    return Place(pair->second, pair->first);
}

PositionReading TwoGis(const Url& url) {
    if (url.path.find("/directions") != std::string_view::npos) return Refusal(MoreThanOnePlace("a route"));
    std::string path;
    if (!PercentDecode(url.path, false, path)) return Refusal("a broken percent escape");
    std::string_view rest = path;
    while (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);
    const std::string_view last = rest.substr(rest.rfind('/') + 1);
    if (const std::optional<NumberPair> pair = ReadNumberPair(last, ','); pair && pair->rest.empty())
        return Place(pair->second, pair->first);
    if (path.find("/firm/") != std::string::npos || path.find("/geo/") != std::string::npos)
        return Refusal("the link holds no position (a place by its number)");
    return FirstPair(url.query, {{"m", ',', true, true}});
}

}  // namespace

std::optional<PositionReading> ReadOtherMapLink(const Url& url) {
    const std::string_view host = url.host;
    if (HostIs(host, "maps.apple.com") || HostIs(host, "maps.apple")) return Apple(url);
    if (HostIs(host, "bing.com") && url.path.starts_with("/maps"))
        return FirstPair(url.query, {{"cp", '~', false, false}});
    if (HostIs(host, "here.com")) return Here(url);
    if (HostIs(host, "waze.com")) return Waze(url);
    if (HostStarts(host, "yandex") || HostStarts(host, "maps.yandex")) return Yandex(url);
    if (HostIs(host, "mapy.cz") || HostIs(host, "mapy.com")) return Mapy(url);
    if (HostStarts(host, "2gis") || HostIs(host, "urbi.ae")) return TwoGis(url);
    return std::nullopt;
}

}  // namespace quillet::text
