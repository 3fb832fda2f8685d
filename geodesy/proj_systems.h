// Every coordinate system besides the program's own WGS 84, through PROJ:
// systems by the names people give them (EPSG:27700, a WKT or PROJ string),
// the transformation PROJ chooses between two of them, its accuracy and the
// area the system is meant for. Plain C++, no Qt.
//
// PROJ is set up on the first call in each thread, never before: a program
// that asks for no system never starts it. Its objects are kept for the life
// of the thread, since making one costs milliseconds. Its messages never
// reach a terminal: they come back here as text, for the caller to escape.
// Nothing here throws.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::proj {

// A coordinate pair in the order people write it: easting then northing,
// or longitude then latitude in degrees.
struct Point {
    double x = 0;
    double y = 0;
};

// Longitudes and latitudes in degrees (WGS 84) of the area a system is meant for.
struct Area {
    double west = -180, south = -90, east = 180, north = 90;
    std::string name;
    bool Holds(double latitude, double longitude) const;
};

struct SystemInfo {
    std::string name;
    bool geographic = false;  // latitude and longitude, else easting and northing
    Area area;
};

// The system a definition names, or nothing when PROJ knows no system by it
// (then `why`, if given, says what PROJ said).
std::optional<SystemInfo> DescribeSystem(std::string_view definition, std::string* why = nullptr);

enum class Failure {
    None,
    UnknownSystem,  // PROJ knows no such system
    Ballpark,       // no datum shift known, only a "ballpark" guess, which was not allowed
    OutsideArea,    // the position lies outside the system's area of use
    Failed,         // PROJ gave no coordinates
};

struct Transformed {
    Point point;
    Failure failure = Failure::None;
    std::string why;  // in a few words, when failure is not None; PROJ's own text unescaped
    bool extrapolated = false;  // converted beyond the system's area or every known datum shift, as asked
};

// A point from one system to another, through the most accurate
// transformation PROJ finds for it on this machine. Ballpark
// transformations (a datum shift of zero) only when allowed.
Transformed Transform(std::string_view from, std::string_view to, Point point, bool allowBallpark = false);

// WGS 84 latitude and longitude into `system`, and back: refused outside the
// system's area of use, never extrapolated.
Transformed FromWgs84(std::string_view system, double latitude, double longitude, bool allowBallpark = false);
// With `extrapolate`, a point beyond the system's area of use or beyond
// every datum shift known is converted all the same, by the shift PROJ
// falls back on, and marked `extrapolated` (a national grid's own squares
// reach out to sea, beyond the land its shift was made for).
Transformed ToWgs84(std::string_view system, Point point, bool allowBallpark = false, bool extrapolate = false);

// A point of `from` into `to` by the one transformation PROJ chooses between
// the two, as cs2cs FROM TO does: two systems on one datum need no datum
// shift, and two shifts through WGS 84 would add their errors. `latitude`
// and `longitude` are the same point in WGS 84, for the checks FromWgs84
// makes: refused outside `to`'s area or beyond every known datum shift.
Transformed Reproject(std::string_view from, std::string_view to, Point point, double latitude, double longitude,
                      bool allowBallpark = false);

// Whether two definitions name one system ("EPSG:27700" and its WKT): a
// point of one is a point of the other, without any transformation.
bool SameSystem(std::string_view first, std::string_view second);

// What PROJ would use between two systems: its candidate transformations,
// best first, each with its stated accuracy (negative when unknown) and
// area, and the grid files that would give a better one and are missing.
struct Operation {
    std::string name;
    double accuracy = -1;
    bool ballpark = false;
    std::string area;
};
struct TransformationInfo {
    std::vector<Operation> operations;
    std::vector<std::string> missingGrids;
    std::string why;  // when PROJ could not tell
};
TransformationInfo DescribeTransformation(std::string_view from, std::string_view to, bool allowBallpark = false);

// The grid files missing from PROJ's places on this machine that would give
// a more accurate transformation between two systems than the one PROJ uses
// here (OSTN15 over the 2 m of OSGB36's seven parameters). Found with the
// transformation itself, so asking costs nothing more.
std::vector<std::string> BetterGrids(std::string_view from, std::string_view to);

// Whether PROJ was ever set up in this thread (for tests of start-up).
bool Started();

}  // namespace quillet::proj
