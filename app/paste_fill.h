// What a text pasted into an input box does to the window, and how one
// Ctrl+Z takes a whole fill back. The form carries the decisions out.
#pragma once

#include "convert/read/position_text.h"

#include <QPalette>
#include <QString>

#include <array>
#include <optional>
#include <span>
#include <vector>

class QWidget;

namespace quillet {

class FieldBox;

// Where an input box sits: its notation and, for an angle notation, its
// coordinate and its place among that coordinate's boxes (0 the direction,
// 1 the degrees, then minutes and seconds).
struct BoxPlace {
    int notation = DegreesMinutesSeconds;
    bool latitude = true;
    int element = 0;
    bool zone = false;
};

struct Paste {
    enum class Kind {
        Insert,   // inserted as typed text
        Replace,  // the box's whole text becomes `text`
        Whole,    // a whole position fills the input
        Angle,    // one angle fills its own coordinate
        Refused,  // a form the reader knows, refused: `text` says why
    };
    Kind kind = Kind::Insert;
    QString text{};
    PositionText whole{};
    double angle = 0;
};

// Where `box` sits in the input of that notation, given its boxes.
BoxPlace PlaceOf(const FieldBox* box, int notation, std::span<FieldBox* const> latitudeBoxes,
                 std::span<FieldBox* const> longitudeBoxes, const FieldBox* zoneBox);

// The reading options of the person's desktop: decimal commas where the
// desktop writes them.
ReadOptions DesktopReadOptions();

Paste ReadPaste(const QString& text, const BoxPlace& place, const ReadOptions& options);

// Writes one coordinate into its boxes as the window's own writer puts it in
// its output for that notation and mode, split at its blanks: the same digits
// and the same carry. `boxes` start with the direction box.
void FillAngle(std::span<FieldBox* const> boxes, InputFormat notation, bool latitude, bool letters, double value);

// Writes a UTM point into the easting, northing and zone boxes.
void FillUtm(const std::array<FieldBox*, 3>& boxes, const UtmPoint& point);

// The window as a fill found it: the input notation, every box's text and
// colours, which labels showed, the position and the focus; and what the
// boxes held once the fill was done, so that an undo acts only while the
// window is still as the fill left it.
class FillUndo {
public:
    FillUndo(int notation, const std::vector<QWidget*>& controls, std::optional<double> latitude,
             std::optional<double> longitude);
    void Filled(int notation);
    bool Untouched(int notation) const;
    // Puts back the boxes, labels and focus; the notation and the position
    // are the form's to put back.
    void Restore() const;

    int notation() const { return notation_; }
    std::optional<double> latitude() const { return latitude_; }
    std::optional<double> longitude() const { return longitude_; }

private:
    struct Box {
        FieldBox* box;
        QString text;
        QPalette palette;
    };
    std::vector<QString> TextsNow() const;

    int notation_;
    int filledNotation_ = -1;
    std::vector<Box> boxes_;
    std::vector<std::pair<QWidget*, bool>> labels_;
    std::vector<QString> filled_;
    std::optional<double> latitude_;
    std::optional<double> longitude_;
    QWidget* focus_;
};

}  // namespace quillet
