// The position the converter works on, the notations it reads and writes,
// and the marks written after each part of an angle. Plain C++, no Qt.
#pragma once

#include <optional>
#include <string>

namespace quillet {

// The four notations, identified everywhere by their index in the two lists.
enum InputFormat : int { DegreesMinutesSeconds = 0, DegreesMinutes = 1, DecimalDegrees = 2, Utm = 3 };
inline constexpr int kInputFormatCount = 4;

// A decimal latitude and longitude in degrees, north and east positive. A
// coordinate is absent until its input gives it, so the equator, the prime
// meridian and 1 degree are ordinary values.
struct Position {
    std::optional<double> latitude;
    std::optional<double> longitude;
};

// A UTM point as the window's boxes hold it: no false northing, a negative
// northing south of the equator.
struct UtmPoint {
    int zone = 0;  // 1..60
    double easting = 0;
    double northing = 0;
};

// The texts written after the degrees, minutes and seconds of an angle.
struct UnitMarks {
    std::string degree;
    std::string minute;
    std::string second;
};

inline UnitMarks MarksWithUnits() { return {"\u00B0 ", "' ", "\""}; }
inline UnitMarks MarksWithoutUnits() { return {" ", " ", ""}; }

}  // namespace quillet
