// Real input through the X server (its XTest extension), used when the window
// runs on xcb: clicks, wheel notches and keys then take a person's path, with
// the server's pointer grab, the window manager and Qt's own event queue, and
// arrive at Qt's pace rather than inside the driver's call.
#pragma once

#include <QPoint>

#include <memory>

class QWidget;
struct _XDisplay;

namespace quillet {

class XInput {
public:
    // Null unless the application runs on xcb and the server has XTest.
    static std::unique_ptr<XInput> Open();
    ~XInput();

    void Click(QWidget* widget, QPoint where);
    // Positive notches turn the wheel away from the person (up).
    void Wheel(QWidget* widget, QPoint where, int notches);
    // One key stroke of a key symbol of X, with Shift and Control as asked;
    // false when the keyboard has no key for it.
    bool Key(unsigned long symbol, bool shift = false, bool control = false);
    // True from a stroke until Qt has handled it.
    bool busy() const;

private:
    explicit XInput(_XDisplay* display) : display_(display) {}
    void MoveTo(QWidget* widget, QPoint where);
    void Button(unsigned int button);
    // Waits until Qt has had every release sent so far.
    void Sync();

    _XDisplay* display_;
};

}  // namespace quillet
