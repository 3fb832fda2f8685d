// Reading a whole position, or a single angle, from one piece of text: what
// a person pastes from a web page, a map or a receiver, and what the
// command-line converter reads a line at a time. Plain C++, no Qt.
//
// Numbers are read with "." as the decimal point; a comma separates numbers
// ("12,5" is the pair 12, 5) unless decimal commas are asked for. Nothing
// here throws, and no text, however long or strange, is read past its end.
#pragma once

#include "convert/position.h"

#include <optional>
#include <string>
#include <string_view>
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

// Every form the program reads: angle pairs, UTM, MGRS, NMEA, geo: URIs.
PositionReading ReadPosition(std::string_view text, const ReadOptions& options = {});

// The position the whole text gives, or nothing when it is not exactly one
// position within the bounds the field checks keep.
std::optional<PositionText> ReadPositionText(std::string_view text, const ReadOptions& options = {});

// One angle alone ("-33.8688", "33°52'07.68\"S"), read as a latitude when
// `latitude` is true, else as a longitude. Nothing when the text is not one
// angle, lies outside that coordinate's bounds, or carries the other
// coordinate's letter.
struct AngleValue {
    InputFormat notation = DecimalDegrees;
    double value = 0;
};
std::optional<AngleValue> ReadAngleText(std::string_view text, bool latitude, const ReadOptions& options = {});

}  // namespace quillet
