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
    // Keys are meant for WINDOW.
    static std::unique_ptr<XInput> Open(const QWidget* window);
    ~XInput();

    void Click(QWidget* widget, QPoint where);
    // Another click where the pointer is, at once; Sync() waits for it.
    void ClickAgain();
    // Positive notches turn the wheel away from the person (up).
    void Wheel(QWidget* widget, QPoint where, int notches);
    // One key stroke of a key symbol of X, with Shift and Control as asked;
    // false when the keyboard has no key for it.
    bool Key(unsigned long symbol, bool shift = false, bool control = false);
    // True from a stroke until Qt has handled it.
    bool busy() const;
    // Whether the server's keyboard focus is on WIDGET's window.
    bool HasFocus(const QWidget* widget) const;
    // Waits until Qt has had every release sent so far.
    void Sync();

private:
    XInput(_XDisplay* display, const QWidget* window) : display_(display), window_(window) {}
    void MoveTo(QWidget* widget, QPoint where);
    void PointAt(QWidget* widget, QPoint where);
    bool PointerOver(const QWidget* widget) const;
    void Button(unsigned int button);
    _XDisplay* display_;
    const QWidget* window_;
};

}  // namespace quillet
