#include "app/form_widgets.h"

#include "app/field_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace quillet {

namespace {

// "Tahoma Small Cap" 14.25 pt bold: DejaVu Sans is Tahoma's closest
// relative on Linux; small capitals are drawn by Qt.
QFont BannerFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(19);
    font.setBold(true);
    font.setCapitalization(QFont::SmallCaps);
    return font;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette shades = widget->palette();
    shades.setColor(QPalette::WindowText, colour);
    widget->setPalette(shades);
}


QLabel* MakeLabel(const ControlRow& row, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(row.caption), parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap((row.style & WordWrap) != 0);
    if (row.style & FieldLabel) {
        QFont italic = label->font();
        italic.setItalic(true);
        label->setFont(italic);
    }
    if (row.style & Banner) {
        label->setFont(BannerFont());
        label->setAutoFillBackground(true);
        QPalette shades = label->palette();
        shades.setColor(QPalette::Window, QColor(0x40, 0x40, 0x40));
        shades.setColor(QPalette::WindowText, QColor(0xE0, 0xE0, 0xE0));
        label->setPalette(shades);
    }
    if (row.style & MakerAddress) SetTextColour(label, QColor(0x80, 0x80, 0x80));
    // Drawn twice, the smoothed edges of the text would add up to a bold look.
    if (row.style & Unpainted) SetTextColour(label, Qt::transparent);
    if (row.style & ErrorText) {
        // The message wraps in a narrow column; one pixel less keeps it
        // within five lines of its box, as in the narrower original face.
        QFont smaller = label->font();
        smaller.setPixelSize(10);
        label->setFont(smaller);
        SetTextColour(label, QColor(0xC0, 0x00, 0x00));
        label->hide();
    }
    return label;
}

FieldBox* MakeTextBox(const ControlRow& row, QWidget* parent) {
    auto* box = new FieldBox(parent);
    box->setCharLimit(row.charLimit);
    if (row.style & DirectionBox) {
        box->setEnabled(false);
        box->setBackColour(DirectionGrey());
    }
    // Output is for reading and copying; typing into it would only mislead.
    if (row.style & OutputBox) box->setReadOnly(true);
    return box;
}

}  // namespace

// The window's face. "MS Sans Serif" 8.25 pt is 11 pixels at 96 dots per
// inch; Linux seldom has it, and Liberation Sans is the nearest face in
// width, so the captions fit the boxes they were measured for. Pixel sizes
// keep the layout the same whatever the screen's dots per inch.
QFont WindowFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

QWidget* MakeControl(const ControlRow& row, QWidget* parent) {
    switch (row.kind) {
    case ControlKind::Label: return MakeLabel(row, parent);
    case ControlKind::TextBox: return MakeTextBox(row, parent);
    case ControlKind::List: {
        auto* list = new QComboBox(parent);
        list->addItems(QString::fromUtf8(row.caption).split(QLatin1Char('\n')));
        list->setCurrentIndex(-1);
        // A wheel turned over a list neither takes the focus to it nor
        // changes it (the window drops it); a click or Tab does.
        list->setFocusPolicy(Qt::StrongFocus);
        return list;
    }
    case ControlKind::CheckBox: return new QCheckBox(QString::fromUtf8(row.caption), parent);
    case ControlKind::Button: return new QPushButton(QString::fromUtf8(row.caption), parent);
    case ControlKind::Frame: {
        // The frames only show one field set at a time: no border, no title,
        // and no background of their own, so the rule between the halves
        // stays visible.
        auto* frame = new QFrame(parent);
        frame->setFrameShape(QFrame::NoFrame);
        return frame;
    }
    case ControlKind::Line: {
        auto* line = new QFrame(parent);
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Plain);
        line->setLineWidth(1);
        return line;
    }
    }
    return nullptr;
}

QRect PixelGeometry(const ControlRow& row) {
    if (row.kind == ControlKind::Line)  // from (left, top) down to (width, height)
        return {TwipsToPixels(row.left), TwipsToPixels(row.top), 1, TwipsToPixels(row.height - row.top)};
    return {TwipsToPixels(row.left), TwipsToPixels(row.top), TwipsToPixels(row.width),
            TwipsToPixels(row.height)};
}

}  // namespace quillet
