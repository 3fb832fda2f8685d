// One position read and written the way the window would: the same reader,
// the same field bounds, the same writers. Plain C++, no Qt.
#pragma once

#include "convert/position.h"
#include "convert/read/position_text.h"
#include "geodesy/proj_systems.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace quillet {

struct OutputSettings {
    InputFormat notation = DecimalDegrees;  // --to, unless `code`
    Code code = Code::None;                 // --to a code, grid or link
    int codeLength = -1;                    // --mgrs-digits and the like; -1 for the code's default
    int utmZone = 0;                        // --utm-zone; 0 for the longitude's own zone
    bool directionLetters = false;          // --direction
    UnitMarks marks = MarksWithUnits();     // --no-units gives MarksWithoutUnits()
    bool falseNorthing = false;             // --false-northing
    std::optional<InputFormat> from;        // --from: the only notation read
    ReadOptions read;                       // --decimal-comma; --from a code sets read.only
    std::string crs;                        // --crs: write in this system instead
    std::string fromCrs;                    // --from-crs: lines are in this system
    bool crsGeographic = false;             // whether --crs is latitude and longitude
    bool fromCrsGeographic = false;
    bool allowBallpark = false;             // --allow-ballpark
    bool quiet = false;                     // --quiet: no notes on accuracy
    // Set by SetTargetSystem once the options above are known.
    std::string target;                     // the system written: --crs, or the --to grid's; empty for WGS 84
    Code targetGrid = Code::None;           // the national grid whose system that is
    bool fromCrsIsTarget = false;           // --from-crs names that system too: its coordinates are kept
    std::string_view wgs84Note;             // the note due from WGS 84 to that system, unless quiet
};

// The system the settings write in, and which input systems are that same
// system (compared by PROJ, so that "epsg:27700" and its WKT are one): a
// change of notation within one system keeps the point's own coordinates.
// Also the note due on lines read in WGS 84. Starts PROJ only where --crs,
// --from-crs or a grid is asked for.
void SetTargetSystem(OutputSettings& settings);

// Why a line gave no result. `Skipped` is a receiver's sentence that holds
// no position (satellites in view, course...): an empty line, and no fault.
enum class Fault {
    None,
    Skipped,
    NotAPosition,
    Ambiguous,
    NoFix,
    Checksum,
    OtherNotation,
    NotConvertible,
    Refused,  // the reader's own reason
};

// What a line gives, as the window reads it; with --from-crs, the line's
// coordinates in that system, turned into WGS 84 (Refused with PROJ's reason
// when they cannot be).
PositionReading ReadLine(std::string_view text, const OutputSettings& settings);

// The message after "line N: ", before the quoted text; `why` tells what
// made a text ambiguous, or why it was refused.
std::string FaultMessage(Fault fault, const OutputSettings& settings, std::string_view why = {});

// The position a line gives, and the UTM point it was read as where the
// text was UTM or an MGRS square: MGRS is written from that point's own
// easting and northing. Likewise the point in the system it was read in
// (a national grid's reference or numbers, a line of --from-crs): written
// in that same system from its own coordinates, and into another by the
// one transformation PROJ chooses between the two, never through WGS 84.
struct SourcePoint {
    proj::Point point;          // easting and northing, or longitude and latitude
    std::string_view system;
    Code grid = Code::None;     // the national grid of the point, if one
    bool sameSystem = false;    // `system` is the system written
    bool extrapolated = false;  // a grid reference read beyond its datum shift's land
};
struct Converted {
    Position position;  // WGS 84; empty where only the source is written (sameSystem)
    std::optional<UtmPoint> utm;
    std::optional<SourcePoint> source;
};

// The position the window would show for what was read (an MGRS square's
// centre through the accurate inverse), or why there is none: nothing read,
// another notation than --from, or a UTM point the window refuses to convert.
Fault PositionOf(const PositionReading& read, const OutputSettings& settings, Converted& converted);

// The result on one line, as "Copy Position" writes it; with --crs, easting
// and northing to the millimetre, or latitude and longitude on that datum.
// Nothing when it cannot be written; then `why`, if given and known, says why.
// The notes that hold for the transformation it took (a datum shift good
// to metres for want of a grid file, a reference read beyond its grid's
// land) are said on standard error, once in a run, unless settings.quiet.
std::optional<std::string> OutputLine(const Converted& converted, const OutputSettings& settings,
                                      std::string* why = nullptr);

// The result in separate cells: latitude and longitude, easting, northing
// and zone, or one code; `count` of them are set.
struct OutputCells {
    std::array<std::string, 3> cells;
    int count = 0;
};
bool WriteCells(const Converted& converted, const OutputSettings& settings, OutputCells& out,
                std::string* why = nullptr);

// The names of those cells' columns ("latitude_dms", "easting", "mgrs"...).
OutputCells CellNames(const OutputSettings& settings);

// For a line or row that gave no position (`fault`) and reads as one with
// decimal commas: the hint that says so. Costs nothing on lines that convert.
inline constexpr std::string_view kDecimalCommaHint = "did you mean --decimal-comma?";
std::string_view LineHint(Fault fault, std::string_view text, const OutputSettings& settings);

// The notation named on the command line: "dms", "dm", "dd" or "utm".
std::string_view NotationName(InputFormat notation);

}  // namespace quillet
