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

namespace quillet {

// A UTM point as the window's boxes hold it: no false northing, a negative
// northing south of the equator.
struct UtmPoint {
    int zone = 0;  // 1..60
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
    // Written as an MGRS reference: the centre of its square, as a UTM point,
    // or as a latitude and longitude in decimal degrees in the polar regions.
    bool mgrs = false;
};

// How a text is read.
struct ReadOptions {
    // A comma between two digits is a decimal comma ("45,5"); a pair is then
    // separated by a semicolon, a comma followed by a blank, or blanks.
    bool decimalComma = false;
};

// Why a text gave no position.
enum class ReadFailure {
    None,
    NotAPosition,  // not one position within the bounds the field checks keep
    Ambiguous,     // two readings that give two different places
    NoFix,         // an NMEA sentence of a receiver without a fix
    Checksum,      // an NMEA sentence whose checksum does not match
    NoPosition,    // a well-formed NMEA sentence of a kind that holds no position
};

struct PositionReading {
    std::optional<PositionText> position;
    ReadFailure failure = ReadFailure::NotAPosition;  // None exactly when there is a position
    std::string why;  // with Ambiguous: the two readings, in a few words
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
