// Files of positions, a line each: every line converted on its own, so that
// a file cut at any line ends converts to the same lines, part by part.
#pragma once

#include "cli/output/conversion.h"
#include "cli/lines/csv_rows.h"
#include "cli/lines/line_io.h"

#include <string_view>

namespace quillet {

// Converts one file; a `comment` character (0 for none) starts a label that
// is not read but written after the result. `stopped` is set when --strict
// ends the run.
RunStatus ConvertLines(int descriptor, std::string_view source, const OutputSettings& settings, char comment,
                       const RunOptions& run, Output& out, bool& stopped);

}  // namespace quillet
