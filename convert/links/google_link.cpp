// Google Maps: the place's pin in the data tail ("!3d<lat>!4d<lon>"), else a
// query (q=, ll=, query=), else a searched or placed pair in the path, else
// the view's centre ("@<lat>,<lon>,<zoom>z"), which is only where the map
// was scrolled.
#include "convert/links/link_text.h"

#include <vector>

namespace quillet::text {

namespace {

// A pair and nothing else, or with the label older links add in brackets
// ("q=-33.8688,151.2093+(Opera+House)").
bool WholePair(std::string_view text, NumberPair& pair) {
    if (text.starts_with("loc:")) text.remove_prefix(4);
    const std::optional<NumberPair> read = ReadNumberPair(text, ',');
    if (!read) return false;
    const std::size_t rest = read->rest.find_first_not_of(" ");
    if (rest != std::string_view::npos && read->rest[rest] != '(') return false;
    pair = *read;
    return true;
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

}  // namespace

std::optional<PositionReading> ReadGoogleLink(const Url& url) {
    std::string_view host = url.host;
    if (HostIs(host, "maps.app.goo.gl") || (HostIs(host, "goo.gl") && url.path.starts_with("/maps")))
        return Refusal("a short link holds no position: open it in a browser and copy the full address");
    const bool mapsHost = HostStarts(host, "maps");
    if (mapsHost) host.remove_prefix(5);
    if (!HostStarts(host, "google")) return std::nullopt;
    if (!mapsHost && url.path != "/maps" && !url.path.starts_with("/maps/")) return std::nullopt;
    std::string path;
    if (!PercentDecode(url.path, true, path)) return Refusal("a broken percent escape");
    if (path.starts_with("/maps/dir/") || path == "/maps/dir") return Refusal(MoreThanOnePlace("a route"));
    bool broken = false;
    if (QueryValue(url.query, "daddr", broken)) return Refusal(MoreThanOnePlace("a route"));
    if (std::optional<PositionReading> pin = Pins(path)) return pin;
    NumberPair pair;
    for (std::string_view name : {"q", "ll", "query"})
        if (const std::optional<std::string> value = QueryValue(url.query, name, broken))
            if (WholePair(*value, pair)) return Place(pair.first, pair.second, Code::GoogleLink);
    if (broken) return Refusal("a broken percent escape");
    // The path's segments: "/maps/search/<pair>", "/maps/place/<pair>", "/@<pair>,<zoom>z".
    std::vector<std::string_view> segments;
    for (std::string_view rest = path; !rest.empty();) {
        const std::size_t slash = rest.find('/', 1);
        segments.push_back(rest.substr(1, slash == std::string_view::npos ? rest.npos : slash - 1));
        rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash);
    }
    for (std::size_t i = 1; i < segments.size(); ++i)
        if ((segments[i - 1] == "search" || segments[i - 1] == "place") && WholePair(segments[i], pair))
            return Place(pair.first, pair.second, Code::GoogleLink);
    for (std::string_view segment : segments) {
        if (!segment.starts_with('@')) continue;
        const std::optional<NumberPair> view = ReadNumberPair(segment.substr(1), ',');
        if (view && (view->rest.empty() || view->rest.starts_with(',')))
            return Place(view->first, view->second, Code::GoogleLink);
    }
    return Refusal("the link holds no position");
}

}  // namespace quillet::text
