// The cell of a grid that holds a coordinate, decided exactly: a coordinate
// that lies on an edge, in its decimal text or in its binary value, belongs
// to the cell above the edge (north, east). Plain C++, no Qt.
#pragma once

#include <optional>
#include <string>

namespace quillet::codes {

// What a code text names: the cell's edges in degrees.
struct Cell {
    double south = 0, west = 0, north = 0, east = 0;
    double Latitude() const { return (south + north) / 2; }
    double Longitude() const { return (west + east) / 2; }
};

// A code text read: the cell, or why the text is not a valid code.
struct CellReading {
    std::optional<Cell> cell;
    std::string why;
};

// floor((value + offset) * numerator / denominator), clamped to 0..cells-1:
// the finest cell of a grid of `numerator / denominator` cells a degree that
// starts at -offset. Exact on the shortest decimal text of `value` (what
// "40.6" was typed as) and on its binary value: when either lies on or above
// an edge, the cell above it. Coarser cells are this index divided down, so
// every length agrees with the finest.
long long CellIndex(double value, long long offset, long long numerator, long long denominator, long long cells);

// A longitude in -180..180 (180 is -180), from any finite longitude.
double WrappedLongitude(double longitude);

// The cell whose south-west corner is at these finest indices (counted from
// 90 S and 180 W) and that spans these many finest cells.
Cell CellOf(long long southIndex, long long westIndex, long long latitudeSize, long long longitudeSize,
            double latitudeScale, double longitudeScale);

}  // namespace quillet::codes
