// Links whose code is the position itself, so that they are read without a
// network: Organic Maps' and MAPS.ME's ge0 codes ("ge0://ApYSV0YTAl/Name",
// "https://omaps.app/Umse5f0H8a/Name") and OpenStreetMap's short links
// ("https://osm.org/go/0EEQjE--"). Both interleave the bits of latitude and
// longitude, six to a character of a URL-safe base 64, the coarsest first;
// a code names a cell, read as its centre. Plain C++, no Qt.
#pragma once

#include <optional>
#include <string_view>
#include <utility>

namespace quillet::text {

// The centre of the cell a ge0 code names: a zoom character, then 1 to 10
// characters of position, each three bits of latitude (its 6th, 4th and 2nd
// bit) and three of longitude (its 5th, 3rd and 1st), of 30 each; latitude
// spans -90..90 over 2^30 - 1 steps, longitude -180..180 over 2^30.
// Nothing for any other text. Latitude, longitude.
std::optional<std::pair<double, double>> Ge0Place(std::string_view code);

// The centre of the cell an OpenStreetMap short code names: 1 to 10
// characters of 64 ("A"-"Z", "a"-"z", "0"-"9", "_", "~", or "@" as older
// links wrote "~"), each three bits of longitude (its 6th, 4th and 2nd bit)
// and three of latitude, of 32 each, over -180..180 and -90..90; then "-"
// (or "=") for the zoom, which is no part of the place. Nothing for any
// other text. Latitude, longitude.
std::optional<std::pair<double, double>> OsmShortPlace(std::string_view code);

}  // namespace quillet::text
