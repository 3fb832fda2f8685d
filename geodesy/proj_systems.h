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
};

// A point from one system to another, through the most accurate
// transformation PROJ finds for it on this machine. Ballpark
// transformations (a datum shift of zero) only when allowed.
Transformed Transform(std::string_view from, std::string_view to, Point point, bool allowBallpark = false);

// WGS 84 latitude and longitude into `system`, and back: refused outside the
// system's area of use, never extrapolated.
Transformed FromWgs84(std::string_view system, double latitude, double longitude, bool allowBallpark = false);
Transformed ToWgs84(std::string_view system, Point point, bool allowBallpark = false);

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

// Whether PROJ was ever set up in this thread (for tests of start-up).
bool Started();

}  // namespace quillet::proj
