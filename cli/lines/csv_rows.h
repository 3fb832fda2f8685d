// Positions in the columns of an RFC 4180 CSV file with a header row: every
// row written back with its result appended as new columns.
#pragma once

#include "cli/output/conversion.h"
#include "cli/lines/line_io.h"
#include "cli/output/progress.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// The columns a position is read from, by their names in the header (by
// their numbers from 1 without one): a latitude and a longitude, one whole
// position, or a UTM point.
struct CsvColumns {
    std::string latitude, longitude;
    std::string position;
    std::string easting, northing, zone;
    bool south = false;  // a zone without a letter is southern, with the false northing
    char delimiter = ',';  // between fields, read and written
    bool header = true;    // the first row names the columns; without it, parts of a file convert alike
};

// A column's number, from 1; nothing for any other text.
std::optional<std::size_t> ColumnNumber(std::string_view text);

enum class RunStatus { AllConverted = 0, SomeBad = 1, Failed = 2 };

// How each file is run.
struct RunOptions {
    bool strict = false;       // --strict: stop at the first line that gives no position
    bool interactive = false;  // a terminal: each line's result as soon as it is read
    unsigned threads = 1;      // converting threads for a large input that is no terminal
    Progress* progress = nullptr;
};

// Converts one file; `stopped` is set when --strict ends the run.
RunStatus ConvertCsv(int descriptor, std::string_view source, const CsvColumns& columns,
                     const OutputSettings& settings, const RunOptions& run, Output& out, bool& stopped);

}  // namespace quillet
