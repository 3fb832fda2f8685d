// Geodata snippets as a database, a GIS or a GPS log gives one point: WKT
// and EWKT ("POINT (151.2093 -33.8688)", "SRID=4326;POINT(...)"), GeoJSON
// (a Point, or a Feature whose geometry is one), KML ("<coordinates>") and
// GPX ("<wpt lat=... lon=...>"). Each keeps its own axis order: WKT, GeoJSON
// and KML write the longitude first, GPX names its attributes. Anything
// that holds more than one position is more than one place. Plain C++, no
// Qt; nothing here throws or reads past the text.
#pragma once

#include "convert/reading.h"

#include <optional>
#include <string_view>

namespace quillet::text {

// Each: nothing when the text is not of that form (checked by its start or a
// tag), else its reading: the point, or Refused with why.
std::optional<PositionReading> ReadWkt(std::string_view text);
std::optional<PositionReading> ReadGeoJson(std::string_view text);
// KML's <coordinates> or GPX's <wpt>, <trkpt> and <rtept>.
std::optional<PositionReading> ReadXmlPoint(std::string_view text);

}  // namespace quillet::text
