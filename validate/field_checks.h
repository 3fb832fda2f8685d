// The rules of the input boxes' checks: is the text left in a box accepted,
// is it rewritten first, which message refuses it, and does leaving it
// recompute the output. Plain C++; the form applies the verdicts.
#pragma once

#include <optional>
#include <span>
#include <string>

namespace quillet {

enum class Coordinate { Latitude, Longitude };

struct FieldVerdict {
    // The box's new text, written before anything else happens (an upper-cased
    // letter, minutes or seconds without their minus sign).
    std::optional<std::string> rewrite;
    // The message that refuses the text; none when it is accepted.
    std::optional<std::string> refusal;
    // Whether the output is recomputed once the box is accepted.
    bool recompute = false;
    // The element the refusal is about when it is not the box left: a letter
    // left beside negative degrees refuses the degrees, where the minus is
    // mended.
    std::optional<int> refusedElement;
};

// A degree box is refused too when it is negative while its coordinate's
// letter box holds a letter, whichever of the two boxes is left last.
//
// The boxes of one coordinate, by element: 0 the direction letter, 1 the
// degrees, then minutes and seconds as far as the notation has them. `left`
// is the element that lost the focus.
FieldVerdict CheckDecimalDegreeBox(Coordinate coordinate, int left, std::span<const std::string> texts);
FieldVerdict CheckDegreeMinuteBox(Coordinate coordinate, int left, std::span<const std::string> texts);
FieldVerdict CheckDegreeMinuteSecondBox(Coordinate coordinate, int left, std::span<const std::string> texts);

// UTM boxes. Eastings run from 160000 to 834000 m and northings from
// -10000000 to 10000000 m (negative south of the equator, as the converter
// writes them). A zone is a whole number from 1 to 60 written with digits
// only, with or without a latitude band after it (SplitZoneBand); leaving
// the zone box recomputes the output when the easting and northing boxes
// both hold text.
FieldVerdict CheckEasting(const std::string& text);
FieldVerdict CheckNorthing(const std::string& text);
FieldVerdict CheckZone(const std::string& zone, const std::string& easting, const std::string& northing);

}  // namespace quillet
