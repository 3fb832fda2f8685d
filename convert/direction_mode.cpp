#include "convert/direction_mode.h"

#include "values/values.h"

#include <cmath>

namespace quillet {

AngleEntry ToDirectionEntry(const AngleEntry& entry, HemisphereLetters letters) {
    AngleEntry result = entry;
    if (entry.degrees.empty()) return result;
    const double degrees = ParseNumber(entry.degrees);
    if (degrees < 0) {
        result.direction = letters.negative;
        result.degrees = NumberToText(std::fabs(degrees));
    } else if (degrees > 0) {
        result.direction = letters.positive;
    }
    return result;
}

AngleEntry ToSignedEntry(const AngleEntry& entry, HemisphereLetters letters) {
    AngleEntry result = entry;
    if (!entry.direction.empty() && !entry.degrees.empty() && entry.direction == letters.negative) {
        const double degrees = ParseNumber(entry.degrees) * -1;
        // "S" beside 0 degrees (and some minutes) is still south: keep the
        // minus that carries it, which NumberToText would drop from -0.
        result.degrees = degrees == 0 && std::signbit(degrees) ? "-0" : NumberToText(degrees);
    }
    result.direction.clear();
    return result;
}

std::optional<int> DegreeLimit(InputFormat notation, bool latitude, bool directionEntry) {
    // A letter takes the place of the minus sign, so direction entry needs
    // one character less; degree-minute longitudes keep 4 in both modes.
    switch (notation) {
    case DegreesMinutesSeconds:
        return latitude ? (directionEntry ? 2 : 3) : (directionEntry ? 3 : 4);
    case DegreesMinutes:
        if (latitude) return directionEntry ? 2 : 3;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

}  // namespace quillet
