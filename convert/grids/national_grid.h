// The national grids of Great Britain and Ireland: the British National Grid
// (EPSG:27700) with its two 100 km letters ("TQ 30080 80987"), the Irish Grid
// (EPSG:29903) with its one letter ("O 15500 34500"), and Irish Transverse
// Mercator (EPSG:2157), all numbers. The letters are written here; easting,
// northing and the datum shift come from PROJ through geodesy/. Plain C++,
// no Qt.
#pragma once

#include "convert/reading.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quillet {

// The letters and figures of the square that holds an easting and northing
// in metres, with `figures` (0, 2, ... 10) figures in all, truncated:
// "TQ 30080 80987", "TQ 38", "TQ"; "O 15500 34500". Nothing outside the grid
// (British: 0..700 km east, 0..1300 km north; Irish: 0..500 km each) or for
// another number of figures.
// Whether two letters name one of the British grid's 100 km squares ("NN", "tq").
bool IsBritishGridSquare(std::string_view letters);
std::optional<std::string> BritishGridLetters(double easting, double northing, int figures);
std::optional<std::string> IrishGridLetters(double easting, double northing, int figures);

// The same reference of a point given in the grid's own metres: no datum
// shift, no area of use, only the grid's squares (all of them, at sea too).
std::optional<std::string> FormatGridPoint(Code code, GridMetres point, int figures);

// The system PROJ knows a grid by ("EPSG:27700"); empty for other codes.
std::string_view GridSystem(Code code);

// The word on accuracy due where a transformation between two systems
// (definitions as PROJ reads them) is good to a few metres for want of a
// grid file that PROJ would use in its usual places: today the British
// grid's, without OSTN15. Empty where none is due. Starts PROJ, and makes
// the transformation if not yet made.
inline constexpr std::string_view kBritishAccuracyNote =
    "British grid: without OSTN15 positions are good to about 2 m (5 m on the coasts); install the grid file to "
    "get centimetres";
std::string_view AccuracyNote(std::string_view from, std::string_view to);

// The same for a grid's references of WGS 84 positions (BritishGrid,
// IrishGrid, IrishTm), as the window shows it beside the grid's row:
// nothing where PROJ finds the grid file, or where none would do better
// (the Irish grids' shifts are as good as their grid files: 1 m).
std::optional<std::string> GridAccuracyNote(Code code);

// What is said of a reference read in a lettered square beyond the land its
// grid's datum shift was made for (PositionText::extrapolated); empty for
// other codes.
inline constexpr std::string_view kBritishExtrapolationNote =
    "British grid: beyond the land its datum shift was made for, positions are extrapolated and may be several "
    "metres off";
inline constexpr std::string_view kIrishExtrapolationNote =
    "Irish grid: beyond the land its datum shift was made for, positions are extrapolated and may be several "
    "metres off";
std::string_view ExtrapolationNote(Code code);

// A grid's reference of a WGS 84 position (BritishGrid, IrishGrid with
// figures, IrishTm as easting and northing to the metre). Nothing outside
// the area of the grid's system, as PROJ gives it.
std::optional<std::string> FormatGridCode(Code code, double latitude, double longitude, int figures);
bool ValidGridFigures(Code code, int figures);

// "British National Grid", "Irish Grid", "Irish Transverse Mercator"; empty for other codes.
std::string_view GridName(Code code);

// A grid reference, as the centre of its square in WGS 84 latitude and
// longitude (DecimalDegrees, `code` set, and `grid` its own metres), or why
// it is refused; nothing when
// the text is not one. Without `options.only`, a reference needs at least 4
// figures (the letters alone are words, "NN16" a Maidenhead square); the
// all-numeric easting, northing only with `options.only` naming its grid.
// Every point of a lettered grid's squares is read, at sea too, where PROJ
// stretches the datum shift beyond its land (`extrapolated`).
std::optional<PositionReading> ReadGridReference(std::string_view text, const ReadOptions& options);

// Two plain numbers, easting then northing, separated by blanks, a comma
// or a semicolon ("530080, 180987"). Nothing for anything else.
std::optional<std::pair<double, double>> ReadEastingNorthing(std::string_view text);

}  // namespace quillet
