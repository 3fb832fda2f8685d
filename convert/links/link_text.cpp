#include "convert/links/link_text.h"

#include "convert/text/angle_text.h"
#include "convert/text/text_tokens.h"
#include "values/values.h"

#include <charconv>
#include <cmath>

namespace quillet::text {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameAnyCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

bool StartsAnyCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameAnyCase(text.substr(0, prefix.size()), prefix);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = Lower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Where an address ends in running text: a blank, a double quote, an angle
// bracket, or a byte of a non-ASCII character (browsers copy those escaped).
// Browsers leave "'" as it is (Google's "41°53'24.8\"N" place names): it
// ends only an address that it began.
bool EndsAddress(char c, bool quoted = false) {
    return IsBlank(c) || c == '"' || (quoted && c == '\'') || c == '<' || c == '>' || c == '`' ||
           static_cast<unsigned char>(c) >= 0x80 || static_cast<unsigned char>(c) < ' ';
}

// Hosts that a person copies without "https://".
constexpr std::string_view kBareHosts[] = {
    "www.",     "maps.",     "google.",   "openstreetmap.", "osm.org",    "goo.gl",
    "bing.com", "wego.here.com", "share.here.com", "waze.com", "yandex.", "omaps.app",
    "ge0.me",   "osmand.net", "magicearth.com", "mapy.cz", "mapy.com"};

// Where the address begins: its scheme, or a bare map host at the start of a word.
std::size_t AddressStart(std::string_view text) {
    for (std::size_t at = text.find("://"); at != std::string_view::npos; at = text.find("://", at + 3)) {
        std::size_t start = at;
        while (start > 0 && ((Lower(text[start - 1]) >= 'a' && Lower(text[start - 1]) <= 'z') ||
                             (text[start - 1] >= '0' && text[start - 1] <= '9')))
            --start;
        const std::string_view scheme = text.substr(start, at - start);
        if (SameAnyCase(scheme, "https") || SameAnyCase(scheme, "http") || SameAnyCase(scheme, "ge0")) return start;
    }
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (at > 0 && !EndsAddress(text[at - 1]) && text[at - 1] != '(' && text[at - 1] != ':') continue;
        for (std::string_view host : kBareHosts)
            if (StartsAnyCase(text.substr(at), host)) return at;
    }
    return std::string_view::npos;
}

}  // namespace

bool PercentDecode(std::string_view text, bool plusIsBlank, std::string& decoded) {
    decoded.clear();
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '%') {
            const int high = at + 1 < text.size() ? HexValue(text[at + 1]) : -1;
            const int low = at + 2 < text.size() ? HexValue(text[at + 2]) : -1;
            if (high < 0 || low < 0) return false;
            decoded += static_cast<char>(high * 16 + low);
            at += 2;
        } else {
            decoded += plusIsBlank && text[at] == '+' ? ' ' : text[at];
        }
    }
    return true;
}

std::optional<std::string> QueryValue(std::string_view query, std::string_view name, bool& broken) {
    while (!query.empty()) {
        std::size_t end = query.find('&');
        const std::string_view pair = query.substr(0, end);
        query.remove_prefix(end == std::string_view::npos ? query.size() : end + 1);
        if (query.starts_with("amp;")) query.remove_prefix(4);  // "&amp;" from a web page
        if (pair.size() > name.size() && pair.starts_with(name) && pair[name.size()] == '=') {
            std::string value;
            if (!PercentDecode(pair.substr(name.size() + 1), true, value)) broken = true;
            return value;
        }
    }
    return std::nullopt;
}

bool HasValue(std::string_view query, std::string_view name) {
    bool broken = false;
    const std::optional<std::string> value = QueryValue(query, name, broken);
    return value && !value->empty();
}

bool HostIs(std::string_view host, std::string_view domain) {
    if (host.size() < domain.size() || !SameAnyCase(host.substr(host.size() - domain.size()), domain)) return false;
    return host.size() == domain.size() || host[host.size() - domain.size() - 1] == '.';
}

bool HostStarts(std::string_view host, std::string_view label) {
    return host.size() > label.size() && StartsAnyCase(host, label) && host[label.size()] == '.';
}

std::optional<NumberPair> ReadNumberPair(std::string_view text, char separator) {
    const auto number = [](std::string_view& rest) -> std::optional<double> {
        while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
        const bool plus = rest.starts_with('+');
        if (plus) rest.remove_prefix(1);
        if (plus && rest.starts_with('-')) return std::nullopt;
        return PlainDecimal(rest);
    };
    NumberPair pair;
    const std::optional<double> first = number(text);
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    if (!first || !text.starts_with(separator)) return std::nullopt;
    text.remove_prefix(1);
    const std::optional<double> second = number(text);
    if (!second) return std::nullopt;
    pair.first = *first;
    pair.second = *second;
    pair.rest = text;
    return pair;
}

std::optional<NumberPair> LabelledPair(std::string_view text) {
    if (const std::size_t at = text.rfind('@'); at != std::string_view::npos) text.remove_prefix(at + 1);
    if (text.starts_with("loc:")) text.remove_prefix(4);
    const std::optional<NumberPair> read = ReadNumberPair(text, ',');
    if (!read) return std::nullopt;
    const std::size_t rest = read->rest.find_first_not_of(" ");
    if (rest != std::string_view::npos && (read->rest[rest] != '(' || !read->rest.ends_with(')'))) return std::nullopt;
    return read;
}

std::optional<PositionReading> ZoomLatLon(std::string_view text, Code code) {
    if (!PlainDecimal(text) || !text.starts_with('/')) return std::nullopt;
    const std::optional<NumberPair> view = ReadNumberPair(text.substr(1), '/');
    if (!view || !view->rest.empty()) return std::nullopt;
    return Place(view->first, view->second, code);
}

PositionReading Place(double latitude, double longitude, Code code) {
    if (!std::isfinite(latitude) || !std::isfinite(longitude)) return Refusal("a coordinate that is no finite number");
    if (!WithinBound(latitude, true)) return Refusal("latitude " + NumberToText(latitude) + " beyond ±90");
    if (!WithinBound(longitude, false)) return Refusal("longitude " + NumberToText(longitude) + " beyond ±180");
    PositionReading reading;
    PositionText position;
    position.latitude = latitude;
    position.longitude = longitude;
    position.code = code;
    reading.position = position;
    reading.failure = ReadFailure::None;
    return reading;
}

PositionReading Refusal(std::string why) {
    PositionReading reading;
    reading.failure = ReadFailure::Refused;
    reading.why = std::move(why);
    return reading;
}

PositionReading Either(PositionReading one, PositionReading other) {
    if (!one.position || !other.position) return one.position || one.failure == ReadFailure::Refused ? one : other;
    if (one.position->latitude != other.position->latitude || one.position->longitude != other.position->longitude)
        return Refusal(MoreThanOnePlace("two markers"));
    return one;
}

std::string MoreThanOnePlace(std::string_view what) { return "more than one place (" + std::string(what) + ")"; }

std::pair<std::size_t, std::size_t> FindAddress(std::string_view text) {
    const std::size_t start = AddressStart(text);
    if (start == std::string_view::npos) return {start, start};
    const bool quoted = start > 0 && text[start - 1] == '\'';
    std::size_t end = start;
    while (end < text.size() && !EndsAddress(text[end], quoted)) ++end;
    return {start, end};
}

namespace {

// Google's app writes its navigation intent without "//".
std::optional<PositionReading> NavigationIntent(std::string_view address) {
    constexpr std::string_view kIntent = "google.navigation:";
    if (!StartsAnyCase(address, kIntent)) return std::nullopt;
    address.remove_prefix(kIntent.size());
    if (!address.starts_with("q=")) return Refusal("the link holds no position");
    bool broken = false;
    const std::optional<std::string> value = QueryValue(address, "q", broken);
    if (broken) return Refusal("a broken percent escape");
    const std::optional<NumberPair> pair = LabelledPair(value.value_or(""));
    if (!pair) return Refusal("the link holds no position (a search text)");
    return Place(pair->first, pair->second, Code::GoogleLink);
}

std::optional<PositionReading> ReadLink(std::string_view text, bool inner);

// A short link that already carries the full address it stands for
// ("maps.app.goo.gl/?link=<address>") is that address; one level only.
std::optional<PositionReading> CarriedLink(const Url& url, bool inner) {
    if (!HostIs(url.host, "goo.gl") && !HostIs(url.host, "app.goo.gl")) return std::nullopt;
    bool broken = false;
    const std::optional<std::string> link = QueryValue(url.query, "link", broken);
    if (!link) return std::nullopt;
    if (broken) return Refusal("a broken percent escape");
    if (inner) return Refusal("a link inside a link inside a link");
    std::optional<PositionReading> reading = ReadLink(*link, true);
    if (!reading) return Refusal("the link holds no position");
    return reading;
}

std::optional<PositionReading> ReadLink(std::string_view text, bool inner) {
    const auto [start, end] = FindAddress(text);
    if (start == std::string_view::npos) return std::nullopt;
    std::string_view address = text.substr(start, end - start);
    // A full stop or a comma after a link in a sentence is the sentence's.
    while (!address.empty() && (address.back() == '.' || address.back() == ',' || address.back() == ';' ||
                                (address.back() == ')' && address.find('(') == std::string_view::npos)))
        address.remove_suffix(1);
    if (AddressStart(text.substr(end)) != std::string_view::npos) return Refusal(MoreThanOnePlace("two links"));
    if (std::optional<PositionReading> navigation = NavigationIntent(address)) return navigation;
    bool ge0 = false;
    if (const std::size_t scheme = address.find("://"); scheme != std::string_view::npos) {
        ge0 = SameAnyCase(address.substr(0, scheme), "ge0");
        address.remove_prefix(scheme + 3);
    }
    if (ge0) return Ge0Reading(address);
    for (std::size_t at = 0; at < address.size(); ++at)
        if (address[at] == '%' &&
            (at + 2 >= address.size() || HexValue(address[at + 1]) < 0 || HexValue(address[at + 2]) < 0))
            return Refusal("a broken percent escape");
    Url url;
    const std::size_t hostEnd = address.find_first_of("/?#");
    url.host = address.substr(0, hostEnd);
    if (const std::size_t port = url.host.find(':'); port != std::string_view::npos) url.host = url.host.substr(0, port);
    if (StartsAnyCase(url.host, "www.")) url.host.remove_prefix(4);
    address.remove_prefix(hostEnd == std::string_view::npos ? address.size() : hostEnd);
    const std::size_t hash = address.find('#');
    if (hash != std::string_view::npos) {
        url.fragment = address.substr(hash + 1);
        address = address.substr(0, hash);
    }
    const std::size_t question = address.find('?');
    url.path = address.substr(0, question);
    if (question != std::string_view::npos) url.query = address.substr(question + 1);
    if (std::optional<PositionReading> carried = CarriedLink(url, inner)) return carried;
    if (std::optional<PositionReading> google = ReadGoogleLink(url)) return google;
    if (std::optional<PositionReading> osm = ReadOsmLink(url)) return osm;
    if (std::optional<PositionReading> other = ReadOtherMapLink(url)) return other;
    if (std::optional<PositionReading> app = ReadAppLink(url)) return app;
    return PositionReading{};
}

}  // namespace

std::optional<PositionReading> ReadMapLink(std::string_view text) { return ReadLink(text, false); }

}  // namespace quillet::text
