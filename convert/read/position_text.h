// Reading a whole position, or a single angle, from one piece of text: what
// a person pastes from a web page, a map or a receiver, and what the
// command-line converter reads a line at a time. Plain C++, no Qt.
//
// Numbers are read with "." as the decimal point; a comma separates numbers
// ("12,5" is the pair 12, 5) unless decimal commas are asked for. Nothing
// here throws, and no text, however long or strange, is read past its end.
#pragma once

#include "convert/reading.h"

#include <optional>
#include <string_view>

namespace quillet {

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
