// Carrying a typed angle between signed entry ("-45") and entry with a
// hemisphere letter ("S" beside "45"). Plain C++.
#pragma once

#include "convert/position.h"

#include <optional>
#include <string>

namespace quillet {

// The direction box and the degree box of one coordinate.
struct AngleEntry {
    std::string direction;
    std::string degrees;
};

// The letters of one coordinate: "S"/"N" for the latitude, "W"/"E" for the
// longitude.
struct HemisphereLetters {
    const char* negative;
    const char* positive;
};
inline constexpr HemisphereLetters kLatitudeLetters{"S", "N"};
inline constexpr HemisphereLetters kLongitudeLetters{"W", "E"};

// Into direction entry: a negative degree text becomes its magnitude beside
// the letter for negative ("-07.5" gives "S" and "7.5"); a positive one gets
// the letter for positive and keeps its text ("045" stays); 0, -0 and an
// empty box change nothing. ValueError(TypeMismatch) for a degree text that
// is not a number.
AngleEntry ToDirectionEntry(const AngleEntry& entry, HemisphereLetters letters);

// Into signed entry: beside the capital letter for negative the degrees are
// negated ("S" and "45" give "-45", "S" and "0" give "-0"); the letter is
// always cleared.
// ValueError(TypeMismatch) for a degree text, beside that letter, that is
// not a number.
AngleEntry ToSignedEntry(const AngleEntry& entry, HemisphereLetters letters);

// The character limit of a degree box in the given entry mode, or nothing
// where the mode leaves the limit as it is.
std::optional<int> DegreeLimit(InputFormat notation, bool latitude, bool directionEntry);

}  // namespace quillet
