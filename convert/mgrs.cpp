#include "convert/mgrs.h"

namespace quillet {

std::optional<PositionText> ReadMgrsText(std::string_view) { return std::nullopt; }

std::optional<std::string> FormatMgrs(double, double, int) { return std::nullopt; }

}  // namespace quillet
