// Every code, grid reference and link a position can be written as, in one
// table: the converter's --to and --from names, the window's "Copy as"
// caption, and the writer. Plain C++, no Qt.
#pragma once

#include "convert/reading.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quillet {

struct CodeForm {
    Code code;
    // What a person types after --to and --from; the first is the name used
    // in messages and as the CSV column, the others are aliases.
    std::span<const std::string_view> names;
    // The window's "Copy as" entry; empty where the window has none.
    std::string_view caption;
    // The length written when none is asked for, and the window's length:
    // digits, characters or figures as each code counts them (-1 where the
    // code has no length).
    int defaultLength;
    int windowLength;
};

// Every code, in the order the help and the "Copy as" submenu list them.
std::span<const CodeForm> CodeForms();

// The row of `code`, or of the code a person's name for it means (any case).
const CodeForm& FormOf(Code code);
const CodeForm* FormNamed(std::string_view name);

// The code of the cell, square or link that holds the position, `length`
// long (the code's default when negative). Nothing where the code cannot
// hold the position (outside a grid's area) or the length is not one of the
// code's; never an exception. `utm` is the UTM point the position was read
// as, where it was: MGRS is then written from its own easting and northing.
std::optional<std::string> FormatCode(Code code, double latitude, double longitude, int length = -1,
                                      const std::optional<UtmPoint>& utm = std::nullopt);

// A GeoJSON point written by FormatCode with a label: a Feature whose
// properties hold the label, so that the line stays valid JSON whatever
// the label holds.
std::string GeoJsonWithLabel(std::string_view point, std::string_view label);

// Whether `length` is one the code writes.
bool ValidCodeLength(Code code, int length);

}  // namespace quillet
