// Google Maps: the place's pin in the data tail ("!3d<lat>!4d<lon>"), else a
// query (q=, ll=, query=), else a searched or placed pair or Plus Code in the
// path, else the view's centre ("@<lat>,<lon>,<zoom>z", "center="), which is
// only where the map was scrolled. Directions to one place from where the
// phone is are that place; a route between two is refused.
#include "convert/links/link_text.h"

#include "convert/codes/plus_code.h"

#include <vector>

namespace quillet::text {

namespace {

bool WholePair(std::string_view text, NumberPair& pair) {
    const std::optional<NumberPair> read = LabelledPair(text);
    if (read) pair = *read;
    return read.has_value();
}

// Every "!3d<lat>!4d<lon>" of the data tail; more than one different pin is
// more than one place.
std::optional<PositionReading> Pins(std::string_view path) {
    std::optional<PositionReading> found;
    for (std::size_t at = path.find("!3d"); at != std::string_view::npos; at = path.find("!3d", at + 3)) {
        std::string_view rest = path.substr(at + 3);
        const std::size_t longitude = rest.find("!4d");
        if (longitude == std::string_view::npos) continue;
        std::string pair(rest.substr(0, longitude));
        pair += ',';
        rest.remove_prefix(longitude + 3);
        pair += rest.substr(0, rest.find('!'));
        NumberPair read;
        if (!WholePair(pair, read)) continue;
        PositionReading pin = Place(read.first, read.second, Code::GoogleLink);
        found = found ? Either(std::move(*found), std::move(pin)) : std::move(pin);
    }
    return found;
}

// Where the phone is, as a route's start names it: no place of the link's own.
bool Here(std::string_view place) {
    for (std::string_view here : {"", "My Location", "Current Location", "My location", "Current location"})
        if (place == here) return true;
    return false;
}

// A route's one destination: a pair, or a name with its pair after "@".
PositionReading Destination(std::string_view place) {
    NumberPair pair;
    if (place.find("to:") != std::string_view::npos) return Refusal(MoreThanOnePlace("a route"));
    if (!WholePair(place, pair)) return Refusal("the link holds no position (a place by its name)");
    return Place(pair.first, pair.second, Code::GoogleLink);
}

// "/maps/dir/<from>/<to>/@view/data=...": one destination from where the
// phone is, or a route.
PositionReading Directions(const std::vector<std::string_view>& segments, std::size_t dir) {
    std::vector<std::string_view> places;
    for (std::size_t i = dir + 1; i < segments.size(); ++i)
        if (!segments[i].starts_with('@') && !segments[i].starts_with("data=") && !segments[i].starts_with("am="))
            places.push_back(segments[i]);
    if (!places.empty() && places.size() <= 2 && Here(places.front())) places.erase(places.begin());
    if (places.size() != 1) return Refusal(MoreThanOnePlace("a route"));
    return Destination(places.front());
}

// A full Plus Code as a place's name ("/maps/place/8PFRW98W+WRG"), or nothing.
std::optional<PositionReading> PlusCodePlace(std::string_view segment) {
    if (segment.find('+') == std::string_view::npos || codes::IsShortPlusCode(segment)) return std::nullopt;
    const codes::CellReading cell = codes::PlusCodeCell(segment);
    if (!cell.cell) return std::nullopt;
    return Place(cell.cell->Latitude(), cell.cell->Longitude(), Code::GoogleLink);
}

}  // namespace

std::optional<PositionReading> ReadGoogleLink(const Url& url) {
    std::string_view host = url.host;
    if (HostIs(host, "maps.app.goo.gl") || (HostIs(host, "goo.gl") && url.path.starts_with("/maps")))
        return Refusal("a short link holds no position: open it in a browser and copy the full address");
    const bool mapsHost = HostStarts(host, "maps");
    if (mapsHost) host.remove_prefix(5);
    if (!HostStarts(host, "google")) return std::nullopt;
    bool broken = false;
    NumberPair pair;
    if (!mapsHost && url.path != "/maps" && !url.path.starts_with("/maps/")) {
        // The search page's home with a pair asked for ("google.com/?q=40.7128,-74.0060").
        if (url.path.size() > 1) return std::nullopt;
        const std::optional<std::string> query = QueryValue(url.query, "q", broken);
        if (broken) return Refusal("a broken percent escape");
        if (!query || !WholePair(*query, pair)) return std::nullopt;
        return Place(pair.first, pair.second, Code::GoogleLink);
    }
    std::string path;
    if (!PercentDecode(url.path, true, path)) return Refusal("a broken percent escape");
    // The path's segments: "/maps/search/<pair>", "/maps/place/<pair>", "/@<pair>,<zoom>z".
    std::vector<std::string_view> segments;
    for (std::string_view rest = path; !rest.empty();) {
        const std::size_t slash = rest.find('/', 1);
        segments.push_back(rest.substr(1, slash == std::string_view::npos ? rest.npos : slash - 1));
        rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash);
    }
    for (std::size_t i = 0; i + 1 < segments.size(); ++i)
        if (segments[i] == "maps" && segments[i + 1] == "dir") return Directions(segments, i + 1);
    if (const std::optional<std::string> to = QueryValue(url.query, "daddr", broken)) {
        const std::optional<std::string> from = QueryValue(url.query, "saddr", broken);
        if (broken) return Refusal("a broken percent escape");
        if (!from || Here(*from)) return Destination(*to);
        return Refusal(MoreThanOnePlace("a route"));
    }
    if (std::optional<PositionReading> pin = Pins(path)) return pin;
    for (std::string_view name : {"q", "ll", "query"})
        if (const std::optional<std::string> value = QueryValue(url.query, name, broken))
            if (WholePair(*value, pair)) return Place(pair.first, pair.second, Code::GoogleLink);
    if (broken) return Refusal("a broken percent escape");
    for (std::size_t i = 1; i < segments.size(); ++i)
        if (segments[i - 1] == "search" || segments[i - 1] == "place") {
            if (WholePair(segments[i], pair)) return Place(pair.first, pair.second, Code::GoogleLink);
            if (std::optional<PositionReading> code = PlusCodePlace(segments[i])) return code;
        }
    for (std::string_view segment : segments) {
        if (!segment.starts_with('@')) continue;
        const std::optional<NumberPair> view = ReadNumberPair(segment.substr(1), ',');
        if (view && (view->rest.empty() || view->rest.starts_with(',')))
            return Place(view->first, view->second, Code::GoogleLink);
    }
    if (const std::optional<std::string> center = QueryValue(url.query, "center", broken))
        if (WholePair(*center, pair)) return Place(pair.first, pair.second, Code::GoogleLink);
    return Refusal("the link holds no position");
}

}  // namespace quillet::text
