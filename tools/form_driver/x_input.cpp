#include "x_input.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>

// After Qt: X's headers define macros (None, Bool, KeyPress...) that Qt's own
// names would clash with.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <cstdint>

namespace quillet {

namespace {

long releasesSent = 0;
long releasesSeen = 0;
long pressesSeen = 0;
int inputOpcode = -1;  // of the X Input extension, through which Qt takes the mouse
QDeadlineTimer patience;

// Counts the key and button releases as Qt takes them from the server. A
// release may come late: through the window manager's pointer grab, which
// replays a click on a window it has not yet focused.
class ReleaseCounter : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_ge_generic_event_t*>(message);
        const int kind = event->response_type & 0x7F;
        // The X Input extension reports a click once from each device it
        // passed: count the one of the core pointer (2 on every X.Org server).
        constexpr int kExtensionButtonPress = 4, kExtensionButtonRelease = 5, kCorePointer = 2;
        const bool fromPointer = kind == XCB_GE_GENERIC && event->extension == inputOpcode &&
                                 static_cast<const std::uint16_t*>(message)[5] == kCorePointer;
        if (kind == XCB_BUTTON_RELEASE || kind == XCB_KEY_RELEASE ||
            (fromPointer && event->event_type == kExtensionButtonRelease))
            ++releasesSeen;
        if (kind == XCB_BUTTON_PRESS || (fromPointer && event->event_type == kExtensionButtonPress)) ++pressesSeen;
        return false;
    }
};

}  // namespace

std::unique_ptr<XInput> XInput::Open() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
        XCloseDisplay(display);
        return nullptr;
    }
    int firstEvent = 0, firstError = 0;
    XQueryExtension(display, "XInputExtension", &inputOpcode, &firstEvent, &firstError);
    static ReleaseCounter filter;
    QAbstractEventDispatcher::instance()->installNativeEventFilter(&filter);
    return std::unique_ptr<XInput>(new XInput(display));
}

XInput::~XInput() { XCloseDisplay(display_); }

// A release that never comes (the pointer left the window) is waited for a
// few seconds at most.
bool XInput::busy() const { return releasesSeen < releasesSent && !patience.hasExpired(); }

void XInput::MoveTo(QWidget* widget, QPoint where) {
    // Qt's own requests first (a message box unmapped, the focus given
    // back): a click must not reach a window the person no longer sees.
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        xcb_connection_t* connection = x11->connection();
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    // The server's own idea of where the window is: the window manager may
    // have moved it after Qt last heard.
    QWidget* window = widget->window();
    const QPoint local = widget->mapTo(window, where) * window->windowHandle()->devicePixelRatio();
    const Window native = window->winId();
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display_, native, DefaultRootWindow(display_), local.x(), local.y(), &x, &y, &child);
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
}

void XInput::Button(unsigned int button) {
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    ++releasesSent;
}

void XInput::Click(QWidget* widget, QPoint where) {
    // Right after a message box closes, the window manager may keep a click
    // for itself while it hands the focus back; the window never sees that
    // press, and a person would click again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const long pressesBefore = pressesSeen;
        MoveTo(widget, where);
        Button(Button1);
        XSync(display_, False);
        const QDeadlineTimer deadline(1000);
        while (pressesSeen == pressesBefore && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        if (pressesSeen != pressesBefore) break;
        releasesSeen = releasesSent;
    }
    Sync();
}

void XInput::Wheel(QWidget* widget, QPoint where, int notches) {
    MoveTo(widget, where);
    for (int i = 0; i < (notches < 0 ? -notches : notches); ++i) Button(notches > 0 ? Button4 : Button5);
    Sync();
}

bool XInput::Key(unsigned long symbol, bool shift, bool control) {
    const KeyCode code = XKeysymToKeycode(display_, symbol);
    if (code == 0) return false;
    // A symbol on the key's second level needs Shift.
    shift = shift || XkbKeycodeToKeysym(display_, code, 0, 0) != symbol;
    const KeyCode shiftKey = XKeysymToKeycode(display_, XK_Shift_L);
    const KeyCode controlKey = XKeysymToKeycode(display_, XK_Control_L);
    if (shift) XTestFakeKeyEvent(display_, shiftKey, True, CurrentTime);
    if (control) XTestFakeKeyEvent(display_, controlKey, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    if (control) XTestFakeKeyEvent(display_, controlKey, False, CurrentTime);
    if (shift) XTestFakeKeyEvent(display_, shiftKey, False, CurrentTime);
    releasesSent += 1 + int(shift) + int(control);
    Sync();
    return true;
}

void XInput::Sync() {
    XSync(display_, False);
    patience.setRemainingTime(2000);
    while (busy()) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    releasesSeen = releasesSent;
    // Qt reads an event before it hands it on through its own queue.
    QCoreApplication::processEvents();
}

}  // namespace quillet
