#include "app/paste_fill.h"

#include "app/field_box.h"
#include "convert/input_reading.h"
#include "convert/output_format.h"
#include "values/values.h"

#include <QApplication>
#include <QLabel>
#include <QRegularExpression>

#include <algorithm>

namespace quillet {

namespace {

// A number a person may paste as part of what the box holds: digits alone
// into a direction or degree box, a plain decimal into minutes or seconds.
bool IsPartOfABox(const QString& text, int element, const ReadOptions& options) {
    if (text.isEmpty()) return false;
    for (const QChar c : text)
        if (!(c.isDigit() && c.unicode() < 0x80) &&
            !(element >= 2 && (c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char('+') ||
                               (options.decimalComma && c == QLatin1Char(',')))))
            return false;
    return true;
}

// Whether every letter in the text is one a box takes (a direction): a
// refused text of numbers is left in the box to be mended there; one with
// other letters (a code, a grid square, a link) could never be.
bool BoxLetters(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() < 0x80 && c.isLetter() && !QStringLiteral("NSEWnsew").contains(c)) return false;
    return true;
}

}  // namespace

BoxPlace PlaceOf(const FieldBox* box, int notation, std::span<FieldBox* const> latitudeBoxes,
                 std::span<FieldBox* const> longitudeBoxes, const FieldBox* zoneBox) {
    for (const bool latitude : {true, false}) {
        const std::span<FieldBox* const> boxes = latitude ? latitudeBoxes : longitudeBoxes;
        if (const auto at = std::find(boxes.begin(), boxes.end(), box); at != boxes.end())
            return {notation, latitude, static_cast<int>(at - boxes.begin())};
    }
    return {.notation = notation, .zone = box == zoneBox};
}

ReadOptions DesktopReadOptions() { return {.decimalComma = UserDecimalSeparator() == ','}; }

Paste ReadPaste(const QString& text, const BoxPlace& place, const ReadOptions& options) {
    const QString line = text.trimmed();
    // The zone as the window or a receiver writes it: a band the box reads
    // stays, for the hemisphere it gives the northing; a polar letter goes.
    static const QRegularExpression zoneText(QStringLiteral("^([0-9]{1,2}) ?[A-HJ-NP-Z]$"));
    if (const QRegularExpressionMatch zone = zoneText.match(line); place.zone && zone.hasMatch())
        return {.kind = Paste::Kind::Replace,
                .text = SplitZoneBand(line.toStdString()).band ? line : zone.captured(1)};
    const PositionReading reading = ReadPosition(line.toStdString(), options);
    if (reading.position) return {.kind = Paste::Kind::Whole, .whole = *reading.position};
    if (place.notation != Utm && !IsPartOfABox(line, place.element, options))
        if (const std::optional<AngleValue> angle = ReadAngleText(line.toStdString(), place.latitude, options))
            return {.kind = Paste::Kind::Angle, .angle = angle->value};
    if (reading.failure == ReadFailure::Refused && !BoxLetters(line))
        return {.kind = Paste::Kind::Refused, .text = QString::fromStdString(reading.why)};
    return {.kind = Paste::Kind::Insert};
}

void FillAngle(std::span<FieldBox* const> boxes, InputFormat notation, bool latitude, bool letters, double value) {
    Position position;
    (latitude ? position.latitude : position.longitude) = value;
    const LatLonTexts texts = FormatLatLon(position, notation, letters, MarksWithoutUnits());
    const QStringList words = QString::fromStdString(*(latitude ? texts.latitude : texts.longitude))
                                  .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    boxes = boxes.subspan(letters ? 0 : 1);
    for (std::size_t i = 0; i < boxes.size() && i < static_cast<std::size_t>(words.size()); ++i) {
        boxes[i]->setText(words[static_cast<qsizetype>(i)]);
        boxes[i]->useWindowTextColour();
    }
}

void FillUtm(const std::array<FieldBox*, 3>& boxes, const UtmPoint& point) {
    const double values[] = {point.easting, point.northing, static_cast<double>(point.zone)};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        boxes[i]->setText(QString::fromStdString(NumberToText(values[i])));
        boxes[i]->useWindowTextColour();
    }
}

FillUndo::FillUndo(int notation, const std::vector<QWidget*>& controls, std::optional<double> latitude,
                   std::optional<double> longitude)
    : notation_(notation), latitude_(latitude), longitude_(longitude), focus_(QApplication::focusWidget()) {
    for (QWidget* control : controls) {
        if (auto* box = qobject_cast<FieldBox*>(control)) boxes_.push_back({box, box->text(), box->palette()});
        if (qobject_cast<QLabel*>(control)) labels_.emplace_back(control, control->isHidden());
    }
}

std::vector<QString> FillUndo::TextsNow() const {
    std::vector<QString> texts;
    for (const Box& saved : boxes_) texts.push_back(saved.box->text());
    return texts;
}

void FillUndo::Filled(int notation) {
    filledNotation_ = notation;
    filled_ = TextsNow();
}

bool FillUndo::Untouched(int notation) const { return notation == filledNotation_ && TextsNow() == filled_; }

void FillUndo::Restore() const {
    for (const Box& saved : boxes_) {
        saved.box->setText(saved.text);
        saved.box->setPalette(saved.palette);
    }
    for (const auto& [label, hidden] : labels_) label->setHidden(hidden);
    if (focus_) focus_->setFocus(Qt::OtherFocusReason);
}

}  // namespace quillet
