// Which country a position lies in, from Natural Earth's 1:110m outlines
// embedded in the program (places/data/countries.dat). Plain C++, no Qt, so
// the window and the converter can both use it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillet {

// A vertex of an outline, in units of 1e-5 degree (kOutlineUnitsPerDegree), as the data file keeps it.
struct OutlinePoint {
    std::int32_t longitude;
    std::int32_t latitude;
};

// Outline units in a degree. Divided by, never multiplied with its inverse:
// 18000000 / 1e5 is exactly 180, where 18000000 * 1e-5 is not.
inline constexpr double kOutlineUnitsPerDegree = 1e5;

struct CountryOutline {
    std::string name;
    // Outer rings and holes alike: a point is inside when an odd number of
    // rings hold it. Closed implicitly (the last point joins the first).
    std::vector<std::vector<OutlinePoint>> rings;
    OutlinePoint south_west{};
    OutlinePoint north_east{};
};

// The outlines, read from the embedded file on first use (thread-safe). Empty
// only if that file were damaged.
const std::vector<CountryOutline>& CountryOutlines();

// Outlines drawn at 1:110 million are displaced by up to about this much
// (0.2 mm on such a map is 22 km; the populated places the tests use lie at
// most 13 km outside their own country's outline, islands the scale leaves
// out apart). Closer than this to a border or a coast, the lookup will not
// guess which side a position is on.
inline constexpr double kOutlineAccuracyKm = 20.0;

struct Place {
    enum class Kind {
        Country,    // well inside `country`
        NearBorder, // inside `country`, near its border with `other`
        NearCoast,  // inside `country`, near its coast
        AtSea,      // far from any country
        AtSeaNear,  // outside every outline, near `country`
    };
    Kind kind = Kind::AtSea;
    std::string country{};
    std::string other{};

    bool operator==(const Place&) const = default;
};

// The place of a position in degrees; any longitude, latitude within ±90
// (beyond, or not finite: at sea, as nothing is there).
Place LookUpPlace(double latitude, double longitude);

// The place in one line of English: "France", "near the border of France and
// Belgium", "near the coast of France", "at sea", "at sea, near Australia".
std::string PlaceLine(const Place& place);

// Reads the outline file format; an empty list for a damaged file. Exposed
// for the tests.
std::vector<CountryOutline> ReadOutlines(const unsigned char* data, std::size_t size);

}  // namespace quillet
