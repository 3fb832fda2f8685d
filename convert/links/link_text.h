// Map links as a browser's address bar gives them: Google Maps,
// OpenStreetMap, Apple Maps, Bing, HERE, Waze, Yandex, Mapy.cz, 2GIS, and
// the apps' shared links (Organic Maps, OsmAnd, Magic Earth). A link is taken as
// a person copies it: with or without "https://", inside "<...>" or quotes,
// "&amp;" from a web page, a label before or after it. Each site's rules
// live in their own file; what they share (the address's parts, its
// percent escapes decoded once, number pairs) lives here. Plain C++, no Qt;
// nothing here throws or reads past the text.
#pragma once

#include "convert/reading.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quillet::text {

// Nothing when the text holds no web address. Otherwise its reading: the
// place the link names, Refused (with why) when it holds none, more than
// one, or a broken one, NotAPosition for a site that is none of the maps.
std::optional<PositionReading> ReadMapLink(std::string_view text);

// Where the first web address in the text begins and ends (npos, npos when
// there is none): a label's mark inside it ("#map=") is the address's.
std::pair<std::size_t, std::size_t> FindAddress(std::string_view text);

// The parts of an address, still percent-encoded.
struct Url {
    std::string_view host;      // lower case is not promised; without "www."
    std::string_view path;      // from its "/", or empty
    std::string_view query;     // after "?", without it
    std::string_view fragment;  // after "#", without it
};

// The one place escapes are decoded: "%2C" is ",", and in a query "+" is a
// blank. False on a broken escape ("%2", "%G1").
bool PercentDecode(std::string_view text, bool plusIsBlank, std::string& decoded);

// The decoded value of the query's first `name` (names match exactly);
// "&amp;" separates as "&" does. Nothing when absent. `broken` is set when
// the value holds a broken escape.
std::optional<std::string> QueryValue(std::string_view query, std::string_view name, bool& broken);

// Whether the query has `name` with a value that is not empty.
bool HasValue(std::string_view query, std::string_view name);

// Whether `host` is `domain` or ends in "." + `domain`, in any case.
bool HostIs(std::string_view host, std::string_view domain);
// Whether `host` begins with `label` + "." (any case): "google." in "google.co.uk".
bool HostStarts(std::string_view host, std::string_view label);

// Two numbers and what follows: "-33.8688,151.2093", "-33.8688, 151.2093"
// (blanks around the separator). `rest` is what follows the second number.
struct NumberPair {
    double first = 0, second = 0;
    std::string_view rest;
};
std::optional<NumberPair> ReadNumberPair(std::string_view text, char separator);

// A decoded value that is a pair and nothing else, or with the label maps
// add in brackets ("-33.8688,151.2093 (Opera House)"), or after a name and
// "@" ("Opera House@-33.8688,151.2093"), or after "loc:".
std::optional<NumberPair> LabelledPair(std::string_view text);

// A reading: the place (latitude and longitude checked against ±90 and
// ±180, Refused beyond them), or a refusal with its reason.
PositionReading Place(double latitude, double longitude, Code code = Code::None);
PositionReading Refusal(std::string why);
// Of two readings of one link (a marker and another), the first with a
// place; Refused as more than one place when both have one and differ.
PositionReading Either(PositionReading one, PositionReading other);

// The reason shared by every form that names more than one place.
std::string MoreThanOnePlace(std::string_view what);

// Each site's reader: nothing when the address is not of that site.
std::optional<PositionReading> ReadGoogleLink(const Url& url);
std::optional<PositionReading> ReadOsmLink(const Url& url);
// Apple Maps, Bing, HERE, Waze, Yandex, Mapy.cz, 2GIS.
std::optional<PositionReading> ReadOtherMapLink(const Url& url);
// Organic Maps (and its ge0 codes), OsmAnd, Magic Earth, and the Chinese
// maps, refused for their offset datum.
std::optional<PositionReading> ReadAppLink(const Url& url);
// A ge0 code and the name after it ("ApYSV0YTAl/Name"): the place.
PositionReading Ge0Reading(std::string_view codeAndName);
// A map view's "zoom/latitude/longitude" ("#11/34.99393/-106.61568"):
// nothing when the text is not shaped so.
std::optional<PositionReading> ZoomLatLon(std::string_view text, Code code = Code::None);

}  // namespace quillet::text
