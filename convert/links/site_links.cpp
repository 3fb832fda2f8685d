// The other map sites, each its own query key. Apple Maps: ll= (the place),
// q= when it is a pair, sll= (the search's centre); Bing: cp=<lat>~<lon>;
// HERE: map=<lat>,<lon>,<zoom>; Waze: ll=; Yandex: pt= (the marker) or ll=
// (the view), both longitude first.
#include "convert/links/link_text.h"

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
        if (!pair->rest.empty() && !(key.moreAfter && pair->rest.starts_with(','))) continue;
        return key.longitudeFirst ? Place(pair->second, pair->first) : Place(pair->first, pair->second);
    }
    return Refusal("the link holds no position");
}

}  // namespace

std::optional<PositionReading> ReadOtherMapLink(const Url& url) {
    const std::string_view host = url.host;
    if (HostIs(host, "maps.apple.com") || HostIs(host, "maps.apple"))
        return FirstPair(url.query, {{"ll", ',', false, false}, {"coordinate", ',', false, false},
                                     {"q", ',', false, false}, {"sll", ',', false, false}});
    if (HostIs(host, "bing.com") && url.path.starts_with("/maps"))
        return FirstPair(url.query, {{"cp", '~', false, false}});
    if (HostIs(host, "here.com")) return FirstPair(url.query, {{"map", ',', false, true}});
    if (HostIs(host, "waze.com")) return FirstPair(url.query, {{"ll", ',', false, false}});
    if (HostStarts(host, "yandex") || HostStarts(host, "maps.yandex"))
        return FirstPair(url.query, {{"pt", ',', true, true}, {"ll", ',', true, false}});
    return std::nullopt;
}

}  // namespace quillet::text
