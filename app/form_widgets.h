// Qt widgets made from the rows of the control table, with the window's
// fonts and colours.
#pragma once

#include "app/form_layout.h"

#include <QColor>
#include <QFont>
#include <QRect>

class QWidget;

namespace quillet {

// The face every control inherits.
QFont WindowFont();

// The background of a direction box that signed entry leaves unused.
inline QColor DirectionGrey() { return {0xE0, 0xE0, 0xE0}; }

// A control of the row's kind, with its caption, look and start-up flags.
QWidget* MakeControl(const ControlRow& row, QWidget* parent);

// The row's place in device-independent pixels.
QRect PixelGeometry(const ControlRow& row);

}  // namespace quillet
