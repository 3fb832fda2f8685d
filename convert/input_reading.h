// Reading the texts of the input boxes into a decimal position. Plain C++.
#pragma once

#include "convert/position.h"

#include <optional>
#include <string>

namespace quillet {

// The boxes of one coordinate in the three angle notations. A notation
// without minutes or seconds leaves those texts empty.
struct AngleTexts {
    std::string direction;  // "N", "S", "E" or "W" in direction entry
    std::string degrees;
    std::string minutes;
    std::string seconds;
};

struct InputTexts {
    InputFormat notation = DegreesMinutesSeconds;
    AngleTexts latitude;
    AngleTexts longitude;
    // UTM input.
    std::string easting;
    std::string northing;
    std::string zone;
};

// A zone box's text split into the zone as typed and the latitude band a
// receiver writes after it ("56H", "56 h"): C to X without I and O, after
// one blank at most, upper-cased; 0 and the whole text when there is none.
struct ZoneBand {
    std::string zone;
    char band = 0;
};
ZoneBand SplitZoneBand(const std::string& text);

// Which coordinates the texts give, by the rule below, without reading a
// number: a box emptied leaves its coordinate absent whatever the others hold.
struct Presence {
    bool latitude = false;
    bool longitude = false;
};
Presence PresenceOf(const InputTexts& texts);

// The position the texts give. A coordinate is absent when its input does
// not give it: an empty degree box in degrees-minutes-seconds and decimal
// degrees, empty degree and minute boxes in degrees-minutes (minutes alone
// still count), and any empty box in UTM (then both are absent).
//
// The sexagesimal notations read the leading number of each text, so they
// take any typing; a hemisphere letter and a minus sign on the degrees both
// count, whatever the entry mode. Decimal degrees and UTM must be numbers:
// ValueError(TypeMismatch) otherwise, ValueError(Overflow) for a zone or
// result out of range.
//
// A UTM zone with a band letter: beside a southern band (C to M) a positive
// northing carries the false northing, as receivers write it; a negative
// one is the window's own. Where the point does not lie in the band,
// ValueError(OutOfReach) rather than a place the band contradicts.
Position ReadPosition(const InputTexts& texts);

// The UTM point the UTM boxes hold, read as ReadPosition reads them (the
// same errors); nothing while a box is empty.
std::optional<UtmPoint> ReadUtmPoint(const InputTexts& texts);

}  // namespace quillet
