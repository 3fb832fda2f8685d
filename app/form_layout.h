// Every control of the converter window as one table: name, kind, container,
// place, caption, hint and start-up flags. The form builds itself from it,
// so the layout reads in one place instead of sixty blocks of setter calls.
#pragma once

#include <span>

namespace quillet {

enum class ControlKind { Label, TextBox, List, CheckBox, Button, Frame, Line };

// Start-up looks and flags a control may carry; combined with |.
enum ControlStyle : unsigned {
    Plain = 0,
    FieldLabel = 1u << 0,    // italic: the label names a field
    Banner = 1u << 1,        // the dark title strip
    MakerAddress = 1u << 2,  // grey text over the banner
    WordWrap = 1u << 3,
    ErrorText = 1u << 4,     // dark red, hidden at start
    DirectionBox = 1u << 5,  // one letter; disabled and grey in signed mode
    OutputBox = 1u << 6,     // written by the program, read and copied by the user
    Unpainted = 1u << 7,     // lies exactly over a twin with the same caption, which draws it
};

struct ControlRow {
    const char* name;    // objectName; element i of an array is "name(i)"
    ControlKind kind;
    const char* parent;  // the frame that holds it, or nullptr for the window
    // Left, top, width and height in twips (1/1440 inch) from the container's
    // top left corner. A line runs from (left, top) to (width, height).
    int left, top, width, height;
    const char* caption;  // label, button and check box text; list items separated by '\n'
    const char* hint;     // tooltip, or nullptr
    int charLimit;        // text boxes: most characters a person may type, 0 for no limit
    unsigned style;
};

// 15 twips make one device-independent pixel (96 dots per inch).
constexpr int TwipsToPixels(int twips) { return twips / 15; }

// The client area of the fixed-size window, in twips.
inline constexpr int kWindowWidthTwips = 5280;
inline constexpr int kWindowHeightTwips = 3405;

// All controls in creation order: containers before their contents, and a
// later control lies over an earlier one where they overlap.
std::span<const ControlRow> FormControls();

// The Tab order of the controls that can take the focus.
std::span<const char* const> TabOrder();

// What a screen reader announces for a text box, which has no caption of its
// own; nullptr for the other controls, whose caption says it.
const char* AccessibleName(const char* control);

}  // namespace quillet
