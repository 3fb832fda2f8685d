// Writing a position in each notation. Plain C++.
#pragma once

#include "convert/position.h"

#include <optional>
#include <string>

namespace quillet {

// The texts of the latitude and longitude output boxes; an absent coordinate
// has no text, and its box is emptied.
struct LatLonTexts {
    std::optional<std::string> latitude;
    std::optional<std::string> longitude;
};

// Writes each present coordinate in one of the three angle notations: signed
// ("-33° 52' 7.68\"") or with its hemisphere letter ("S 33° 52' 7.68\""),
// with the given unit marks. Seconds are rounded to 3 decimals, decimal
// minutes to 5 and decimal degrees to 7, ties to even; a part that rounds up
// to 60 carries into the next one. ValueError(Overflow) for an angle whose
// whole degrees leave 16 bits.
LatLonTexts FormatLatLon(const Position& position, InputFormat notation, bool directionLetters,
                         const UnitMarks& marks);

struct UtmTexts {
    std::string easting;   // whole metres
    std::string northing;  // whole metres, negative south of the equator
    std::string zone;      // the zone number, a blank and the band letter: "56 H"
};

// The UTM texts of a complete position, or nothing when a coordinate is
// absent. ValueError(Overflow) for a longitude whose zone leaves 16 bits.
// A `zone` of 1..60 is used instead of the longitude's, and gives
// ValueError(OutOfReach) where the series does not reach in it.
std::optional<UtmTexts> FormatUtm(const Position& position, int zone = 0);

// The UTM texts as receivers write them: south of the equator the northing
// carries the 10,000,000 m false northing ("6250948" for the window's
// "-3749052"); north of it they are FormatUtm's.
std::optional<UtmTexts> FormatReceiverUtm(const Position& position, int zone = 0);

// A whole position on one line, as "Copy Position" puts it on the clipboard
// and the command-line converter prints it: the latitude and longitude texts
// without their trailing blanks, joined by ", "; nothing when either is
// absent or empty.
std::optional<std::string> PositionLine(const LatLonTexts& texts);
// Zone, band, easting and northing joined by single blanks: "56 H 334369
// -3749052"; nothing when any of the texts is empty.
std::optional<std::string> UtmLine(const UtmTexts& texts);

}  // namespace quillet
