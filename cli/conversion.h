// One position read and written the way the window would: the same reader,
// the same field bounds, the same writers. Plain C++, no Qt.
#pragma once

#include "convert/position.h"
#include "convert/position_text.h"

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
};

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

// The message after "line N: ", before the quoted text; `why` tells what
// made a text ambiguous, or why it was refused.
std::string FaultMessage(Fault fault, const OutputSettings& settings, std::string_view why = {});

// The position the window would show for what was read, or why there is
// none: nothing read, another notation than --from, or a UTM point the
// window refuses to convert.
Fault PositionOf(const PositionReading& read, const OutputSettings& settings, Position& position);

// The result on one line, as "Copy Position" writes it.
std::optional<std::string> OutputLine(const Position& position, const OutputSettings& settings);

// The result in separate cells: latitude and longitude, easting, northing
// and zone, or one code; `count` of them are set.
struct OutputCells {
    std::array<std::string, 3> cells;
    int count = 0;
};
bool WriteCells(const Position& position, const OutputSettings& settings, OutputCells& out);

// The names of those cells' columns ("latitude_dms", "easting", "mgrs"...).
OutputCells CellNames(const OutputSettings& settings);

// For a line or row that gave no position (`fault`) and reads as one with
// decimal commas: the hint that says so. Costs nothing on lines that convert.
inline constexpr std::string_view kDecimalCommaHint = "did you mean --decimal-comma?";
std::string_view LineHint(Fault fault, std::string_view text, const OutputSettings& settings);

// The notation named on the command line: "dms", "dm", "dd" or "utm".
std::string_view NotationName(InputFormat notation);

}  // namespace quillet
