#include "app/form_layout.h"

#include <array>
#include <string_view>

namespace quillet {

namespace {

using K = ControlKind;

constexpr const char* kNotations = "DDD\u00B0 MM' SS.SS\"\nDDD\u00B0 MM.MMM'\nDDD.DDDDD\u00B0\nUTM";
constexpr const char* kHelp =
    "Select the type of coordinates that you want to input and receive as output.  "
    "After that enter the coordinate(s) and click convert.";
constexpr const char* kLatitudeHint = "Values between -90 and 90 degrees";
constexpr const char* kLongitudeHint = "Values between -180 and 180 degrees";
constexpr const char* kDirection = "Direction (N,S,E,W)";
// Nothing on screen points to the output boxes' menu but these hints.
constexpr const char* kOutputMenu = "Right-click: Copy Position, Copy as a code or link, Open in Map";
constexpr const char* kEastingOut = "Easting value (in meters)\nRight-click: Copy Position, Copy as a code or link, Open in Map";
constexpr const char* kNorthingOut =
    "Northing value (in meters), negative south of the equator (receivers add 10,000,000)\n"
    "Right-click: Copy Position, Copy as a code or link, Open in Map";
constexpr const char* kZoneOut = "Zone number and latitude band letter (C to M south, N to X north)\n"
                                 "Right-click: Copy Position, Copy as a code or link, Open in Map";

// Rows: name, kind, container, left, top, width, height, caption, hint, character limit, style.
constexpr std::array kControls{
    ControlRow{"Label1", K::Label, nullptr, 0, 0, 5295, 375, ".:GPS Quillet:.", nullptr, 0, Banner},
    ControlRow{"Label5", K::Label, nullptr, 2520, 0, 2655, 255, "", nullptr, 0, MakerAddress},
    ControlRow{"Label2", K::Label, nullptr, 0, 480, 5295, 495, kHelp, nullptr, 0, WordWrap},
    ControlRow{"Label3", K::Label, nullptr, 120, 960, 1095, 255, "Input:", nullptr, 0, Plain},
    ControlRow{"Label4", K::Label, nullptr, 2880, 960, 975, 255, "Output:", nullptr, 0, Plain},
    ControlRow{"cmbInput", K::List, nullptr, 120, 1200, 2175, 315, kNotations,
               "The notation you type in; another one empties every box", 0, Plain},
    ControlRow{"cmbOutput", K::List, nullptr, 2880, 1200, 2175, 315, kNotations,
               "The notation the output is written in (Ctrl+L shows every one)", 0, Plain},
    ControlRow{"Line1", K::Line, nullptr, 2640, 960, 2640, 3000, "", nullptr, 0, Plain},

    // Degrees, minutes and seconds.
    ControlRow{"frmIn(0)", K::Frame, nullptr, 0, 1560, 2535, 1335, "", nullptr, 0, Plain},
    ControlRow{"Label10", K::Label, "frmIn(0)", 120, 0, 1215, 255, "Latitude", kLatitudeHint, 0, FieldLabel},
    ControlRow{"Label11", K::Label, "frmIn(0)", 120, 600, 1215, 255, "Longitude", nullptr, 0, FieldLabel},
    ControlRow{"txtDMSLatIn(0)", K::TextBox, "frmIn(0)", 120, 240, 255, 285, "", kDirection, 1, DirectionBox},
    ControlRow{"txtDMSLatIn(1)", K::TextBox, "frmIn(0)", 480, 240, 495, 285, "", "Degrees", 3, Plain},
    ControlRow{"txtDMSLatIn(2)", K::TextBox, "frmIn(0)", 1080, 240, 375, 285, "", "Minutes", 2, Plain},
    ControlRow{"txtDMSLatIn(3)", K::TextBox, "frmIn(0)", 1560, 240, 615, 285, "", "Seconds", 0, Plain},
    ControlRow{"txtDMSLonIn(0)", K::TextBox, "frmIn(0)", 120, 840, 255, 285, "", kDirection, 1, DirectionBox},
    ControlRow{"txtDMSLonIn(1)", K::TextBox, "frmIn(0)", 480, 840, 495, 285, "", "Degrees", 4, Plain},
    ControlRow{"txtDMSLonIn(2)", K::TextBox, "frmIn(0)", 1080, 840, 375, 285, "", "Minutes", 2, Plain},
    ControlRow{"txtDMSLonIn(3)", K::TextBox, "frmIn(0)", 1560, 840, 615, 285, "", "Seconds", 0, Plain},
    ControlRow{"Label7", K::Label, "frmIn(0)", 960, 240, 135, 255, "\u00B0", nullptr, 0, Plain},
    ControlRow{"Label12", K::Label, "frmIn(0)", 960, 840, 135, 255, "\u00B0", nullptr, 0, Plain},
    ControlRow{"Label8", K::Label, "frmIn(0)", 1440, 240, 135, 255, "'", nullptr, 0, Plain},
    ControlRow{"Label13", K::Label, "frmIn(0)", 1440, 840, 135, 255, "'", nullptr, 0, Plain},
    ControlRow{"Label9", K::Label, "frmIn(0)", 2160, 240, 255, 255, "\"", nullptr, 0, Plain},
    ControlRow{"Label14", K::Label, "frmIn(0)", 2160, 840, 255, 255, "\"", nullptr, 0, Plain},

    // Degrees and decimal minutes.
    ControlRow{"frmIn(1)", K::Frame, nullptr, 0, 1560, 2535, 1455, "", nullptr, 0, Plain},
    ControlRow{"Label20", K::Label, "frmIn(1)", 120, 0, 1215, 255, "Latitude", kLatitudeHint, 0, FieldLabel},
    ControlRow{"Label17", K::Label, "frmIn(1)", 120, 600, 1215, 255, "Longitude", nullptr, 0, FieldLabel},
    ControlRow{"txtDMLatIn(0)", K::TextBox, "frmIn(1)", 120, 240, 255, 285, "", kDirection, 1, DirectionBox},
    ControlRow{"txtDMLatIn(1)", K::TextBox, "frmIn(1)", 480, 240, 495, 285, "", "Degrees", 3, Plain},
    ControlRow{"txtDMLatIn(2)", K::TextBox, "frmIn(1)", 1080, 240, 855, 285, "", "Minutes", 0, Plain},
    ControlRow{"txtDMLonIn(0)", K::TextBox, "frmIn(1)", 120, 840, 255, 285, "", kDirection, 1, DirectionBox},
    ControlRow{"txtDMLonIn(1)", K::TextBox, "frmIn(1)", 480, 840, 495, 285, "", "Degrees", 4, Plain},
    ControlRow{"txtDMLonIn(2)", K::TextBox, "frmIn(1)", 1080, 840, 855, 285, "", "Minutes", 0, Plain},
    ControlRow{"Label21", K::Label, "frmIn(1)", 960, 240, 135, 255, "\u00B0", nullptr, 0, Plain},
    ControlRow{"Label16", K::Label, "frmIn(1)", 960, 840, 135, 255, "\u00B0", nullptr, 0, Plain},
    ControlRow{"Label22", K::Label, "frmIn(1)", 1920, 240, 135, 255, "'", nullptr, 0, Plain},
    ControlRow{"Label15", K::Label, "frmIn(1)", 1920, 840, 135, 255, "'", nullptr, 0, Plain},

    // Decimal degrees.
    ControlRow{"frmIn(2)", K::Frame, nullptr, 0, 1560, 2535, 1335, "", nullptr, 0, Plain},
    ControlRow{"Label23", K::Label, "frmIn(2)", 120, 0, 1215, 255, "Latitude", kLatitudeHint, 0, FieldLabel},
    ControlRow{"Label25", K::Label, "frmIn(2)", 120, 600, 1335, 255, "Longitude", kLongitudeHint, 0, FieldLabel},
    ControlRow{"txtDecLatIn(0)", K::TextBox, "frmIn(2)", 120, 240, 255, 285, "", kDirection, 1, DirectionBox},
    ControlRow{"txtDecLatIn(1)", K::TextBox, "frmIn(2)", 480, 240, 1575, 285, "", "Degrees", 0, Plain},
    ControlRow{"txtDecLonIn(0)", K::TextBox, "frmIn(2)", 120, 840, 255, 285, "", kDirection, 1, DirectionBox},
    ControlRow{"txtDecLonIn(1)", K::TextBox, "frmIn(2)", 480, 840, 1575, 285, "", "Degrees", 0, Plain},
    ControlRow{"Label6", K::Label, "frmIn(2)", 2040, 240, 135, 255, "\u00B0", nullptr, 0, Plain},
    ControlRow{"Label24", K::Label, "frmIn(2)", 2040, 840, 135, 255, "\u00B0", nullptr, 0, Plain},

    // UTM.
    // The UTM frames are 45 twips taller than the 1455 they were drawn with,
    // so that the zone box at their foot is not cut off.
    ControlRow{"frmIn(3)", K::Frame, nullptr, 0, 1560, 2655, 1500, "", nullptr, 0, Plain},
    ControlRow{"Label29", K::Label, "frmIn(3)", 120, 0, 1095, 255, "Easting", nullptr, 0, FieldLabel},
    ControlRow{"Label32", K::Label, "frmIn(3)", 120, 600, 1095, 255, "Northing", nullptr, 0, FieldLabel},
    ControlRow{"Label33", K::Label, "frmIn(3)", 120, 1200, 615, 255, "Zone", nullptr, 0, FieldLabel},
    ControlRow{"txtEastIn", K::TextBox, "frmIn(3)", 120, 240, 1335, 285, "", "Easting in meters, 160000 to 834000", 0, Plain},
    ControlRow{"txtNorthIn", K::TextBox, "frmIn(3)", 120, 840, 1335, 285, "",
               "Northing in meters, negative south of the equator; a receiver's northing is read with its zone's band letter", 0, Plain},
    ControlRow{"txtZoneIn", K::TextBox, "frmIn(3)", 720, 1200, 495, 285, "",
               "Zone number, 1 to 60; a band letter (C to M south, N to X north) may follow it", 4, Plain},

    // Latitude and longitude output; each caption is held by two labels lying on one another.
    ControlRow{"frmOut(0)", K::Frame, nullptr, 2760, 1560, 2535, 1335, "", nullptr, 0, Plain},
    ControlRow{"Label19", K::Label, "frmOut(0)", 120, 0, 1215, 255, "Latitude", kLatitudeHint, 0, FieldLabel},
    ControlRow{"Label30", K::Label, "frmOut(0)", 120, 0, 1215, 255, "Latitude", kLatitudeHint, 0, FieldLabel | Unpainted},
    ControlRow{"txtLatOut", K::TextBox, "frmOut(0)", 120, 240, 2175, 285, "", kOutputMenu, 0, OutputBox},
    ControlRow{"Label18", K::Label, "frmOut(0)", 120, 600, 1215, 255, "Longitude", kLongitudeHint, 0, FieldLabel},
    ControlRow{"Label31", K::Label, "frmOut(0)", 120, 600, 1215, 255, "Longitude", kLongitudeHint, 0, FieldLabel | Unpainted},
    ControlRow{"txtLonOut", K::TextBox, "frmOut(0)", 120, 840, 2175, 285, "", kOutputMenu, 0, OutputBox},

    // UTM output.
    ControlRow{"frmOut(1)", K::Frame, nullptr, 2760, 1560, 2535, 1500, "", nullptr, 0, Plain},
    ControlRow{"Label26", K::Label, "frmOut(1)", 0, 0, 615, 255, "Easting", nullptr, 0, FieldLabel},
    ControlRow{"txtEastOut", K::TextBox, "frmOut(1)", 0, 240, 1215, 285, "", kEastingOut, 0, OutputBox},
    ControlRow{"Label27", K::Label, "frmOut(1)", 0, 600, 735, 255, "Northing", nullptr, 0, FieldLabel},
    ControlRow{"txtNorthOut", K::TextBox, "frmOut(1)", 0, 840, 1215, 285, "", kNorthingOut, 0, OutputBox},
    ControlRow{"Label28", K::Label, "frmOut(1)", 0, 1200, 615, 255, "Zone", nullptr, 0, FieldLabel},
    ControlRow{"txtZoneOut", K::TextBox, "frmOut(1)", 600, 1200, 495, 285, "", kZoneOut, 4, OutputBox},
    ControlRow{"lblUtmError", K::Label, "frmOut(1)", 1320, 120, 975, 1095,
                "Both latitude and longitude are required to convert to UTM.", nullptr, 0, WordWrap | ErrorText},

    ControlRow{"chkDirection", K::CheckBox, nullptr, 120, 3120, 1455, 255, "Use Direction",
                "Check to use directions rather than positive/negative.", 0, Plain},
    ControlRow{"btnConvert", K::Button, nullptr, 1680, 3120, 855, 255, "Convert",
               "Convert the input boxes now (Enter in a box does the same)", 0, Plain},
    ControlRow{"btnReset", K::Button, nullptr, 2760, 3120, 855, 255, "Reset", "Empty every box", 0, Plain},
    ControlRow{"chkUnits", K::CheckBox, nullptr, 4320, 3120, 975, 255, "No Units", nullptr, 0, Plain},
};

// The output boxes come where a person expects them: the lat/lon results
// after Reset, the UTM results last.
constexpr auto kTabOrder = std::to_array<const char*>({
    "cmbInput",       "cmbOutput",      "txtEastIn",      "txtNorthIn",     "txtZoneIn",
    "txtDMLatIn(0)",  "txtDMLatIn(1)",  "txtDMLatIn(2)",  "txtDMLonIn(0)",  "txtDMLonIn(1)",
    "txtDMLonIn(2)",  "txtDecLatIn(0)", "txtDecLatIn(1)", "txtDecLonIn(0)", "txtDecLonIn(1)",
    "txtDMSLatIn(0)", "txtDMSLatIn(1)", "txtDMSLatIn(2)", "txtDMSLatIn(3)", "txtDMSLonIn(0)",
    "txtDMSLonIn(1)", "txtDMSLonIn(2)", "txtDMSLonIn(3)", "btnConvert",     "chkDirection",
    "btnReset",       "txtLatOut",      "txtLonOut",      "chkUnits",       "txtEastOut",
    "txtNorthOut",    "txtZoneOut",
});

struct SpokenName {
    const char* control;
    const char* name;
};

// Only one input set shows at a time, so the four sets share their names:
// a person hears "Latitude degrees" whichever notation holds it.
constexpr auto kAccessibleNames = std::to_array<SpokenName>({
    {"txtDMSLatIn(0)", "Latitude direction"},
    {"txtDMSLatIn(1)", "Latitude degrees"},
    {"txtDMSLatIn(2)", "Latitude minutes"},
    {"txtDMSLatIn(3)", "Latitude seconds"},
    {"txtDMSLonIn(0)", "Longitude direction"},
    {"txtDMSLonIn(1)", "Longitude degrees"},
    {"txtDMSLonIn(2)", "Longitude minutes"},
    {"txtDMSLonIn(3)", "Longitude seconds"},
    {"txtDMLatIn(0)", "Latitude direction"},
    {"txtDMLatIn(1)", "Latitude degrees"},
    {"txtDMLatIn(2)", "Latitude minutes"},
    {"txtDMLonIn(0)", "Longitude direction"},
    {"txtDMLonIn(1)", "Longitude degrees"},
    {"txtDMLonIn(2)", "Longitude minutes"},
    {"txtDecLatIn(0)", "Latitude direction"},
    {"txtDecLatIn(1)", "Latitude degrees"},
    {"txtDecLonIn(0)", "Longitude direction"},
    {"txtDecLonIn(1)", "Longitude degrees"},
    {"txtEastIn", "Easting"},
    {"txtNorthIn", "Northing"},
    {"txtZoneIn", "Zone"},
    {"txtLatOut", "Output latitude"},
    {"txtLonOut", "Output longitude"},
    {"txtEastOut", "Output easting"},
    {"txtNorthOut", "Output northing"},
    {"txtZoneOut", "Output zone"},
});

}  // namespace

std::span<const ControlRow> FormControls() { return kControls; }

const char* AccessibleName(const char* control) {
    for (const SpokenName& spoken : kAccessibleNames)
        if (std::string_view(spoken.control) == control) return spoken.name;
    return nullptr;
}

std::span<const char* const> TabOrder() { return kTabOrder; }

}  // namespace quillet
