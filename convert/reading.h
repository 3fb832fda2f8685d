// What reading a text gives: the forms a position can be written in, the
// position a text holds, how it is read and why it gave none. Every reader
// of a family (tokens, links, snippets, grids, codes) answers in these
// terms, and the one entry point passes them on. Plain C++, no Qt.
#pragma once

#include "convert/position.h"

#include <optional>
#include <string>
#include <utility>

namespace quillet {

// What a position can be written as besides the four notations: a code that
// names a cell (MGRS, Plus Code, ...), a national grid reference, or a link or
// snippet that a map or a GIS reads. One list, so that the reader, the
// converter's --from/--to and the window's "Copy as" entries name them alike.
enum class Code {
    None,  // one of the four notations
    Mgrs,
    PlusCode,
    Maidenhead,
    Geohash,
    Georef,
    Gars,
    BritishGrid,
    IrishGrid,
    IrishTm,
    GeoUri,
    Wkt,
    GeoJson,
    OsmLink,
    GoogleLink,
    UtmReceiver,  // UTM as receivers write it: "56H 334369 6250948"
};

// An easting and northing in metres of a national grid's own system.
struct GridMetres {
    double easting = 0;
    double northing = 0;
};

// What a text holds: a latitude and longitude, or a UTM point, and the
// notation it is written in (DegreesMinutesSeconds, DegreesMinutes or
// DecimalDegrees for an angle pair, Utm for a UTM point). A pair that mixes
// notations is written in the finest of them.
struct PositionText {
    InputFormat notation = DecimalDegrees;
    // For an angle pair; both present.
    double latitude = 0;
    double longitude = 0;
    // For Utm.
    UtmPoint utm;
    // What the text was written as. A code gives the centre of the cell it
    // names: an MGRS reference as a UTM point, or (in the polar regions) as a
    // latitude and longitude in decimal degrees; every other code as a
    // latitude and longitude in decimal degrees.
    Code code = Code::None;
    // A grid reference read beyond the land the grid's datum shift was made
    // for, which PROJ then stretches (a lettered square at sea).
    bool extrapolated = false;
    // For a national grid's reference or numbers (BritishGrid, IrishGrid,
    // IrishTm): the point in the grid's own metres, a reference's centre,
    // so that the same grid writes it back without a datum shift.
    GridMetres grid;
};

// How a text is read.
struct ReadOptions {
    // A comma between two digits is a decimal comma ("45,5"); a pair is then
    // separated by a semicolon, a comma followed by a blank, or blanks.
    bool decimalComma = false;
    // Read only this code (the converter's --from): its short forms too,
    // which are otherwise ordinary words ("bed" is a Geohash only here).
    Code only = Code::None;
    // Where the reader is, for codes that are recovered near a reference
    // (a short Plus Code): the window's shown position, the converter's --near.
    std::optional<std::pair<double, double>> near{};  // latitude, longitude
};

// Why a text gave no position.
enum class ReadFailure {
    None,
    NotAPosition,  // not one position within the bounds the field checks keep
    Ambiguous,     // two readings that give two different places
    NoFix,         // an NMEA sentence of a receiver without a fix
    Checksum,      // an NMEA sentence whose checksum does not match
    NoPosition,    // a well-formed NMEA sentence of a kind that holds no position
    Refused,       // recognisably one form, but not a valid one: `why` says why
};

struct PositionReading {
    std::optional<PositionText> position;
    ReadFailure failure = ReadFailure::NotAPosition;  // None exactly when there is a position
    std::string why;  // with Ambiguous: the two readings; with Refused: the reason, in a few words
};

}  // namespace quillet
