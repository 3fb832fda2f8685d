#include "x_input.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <cstdio>
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
int inputOpcode = -1;  // of the X Input extension, through which Qt takes the mouse
QDeadlineTimer patience;
// Only a broken run waits this long for anything.
constexpr int kFailsafeMs = 20000;

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
        constexpr int kExtensionButtonRelease = 5, kCorePointer = 2;
        const bool fromPointer = kind == XCB_GE_GENERIC && event->extension == inputOpcode &&
                                 static_cast<const std::uint16_t*>(message)[5] == kCorePointer;
        if (kind == XCB_BUTTON_RELEASE || kind == XCB_KEY_RELEASE ||
            (fromPointer && event->event_type == kExtensionButtonRelease))
            ++releasesSeen;
        return false;
    }
};

}  // namespace

std::unique_ptr<XInput> XInput::Open(const QWidget* window) {
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
    return std::unique_ptr<XInput>(new XInput(display, window));
}

XInput::~XInput() { XCloseDisplay(display_); }

// Every stroke starts over the window or in its focus, so its release comes;
// the limit only keeps a broken run from hanging.
bool XInput::busy() const { return releasesSeen < releasesSent && !patience.hasExpired(); }

// Waits, as long as a stalled machine may need, until the condition holds.
template <class Condition>
static bool Await(Condition condition) {
    const QDeadlineTimer failsafe(kFailsafeMs);
    while (!condition()) {
        if (failsafe.hasExpired()) {
            std::fprintf(stderr, "form-driver: gave up waiting on X\n");
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    }
    return true;
}

bool XInput::HasFocus(const QWidget* widget) const {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    return focus == widget->window()->winId();
}

// The deepest window under the pointer: the window manager's frames are
// passed through, a message box still on screen (or its frame, which the
// manager removes only after the box) is not.
bool XInput::PointerOver(const QWidget* widget) const {
    Window at = DefaultRootWindow(display_), child = 0, root = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    while (XQueryPointer(display_, at, &root, &child, &rootX, &rootY, &x, &y, &mask) && child) at = child;
    return at == widget->window()->winId();
}

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
    XSync(display_, False);
}

// A click or notch goes out only once the window itself is under the
// pointer: a closing message box, or the frame the window manager keeps
// around it a little longer, would take it instead.
void XInput::PointAt(QWidget* widget, QPoint where) {
    Await([&] {
        MoveTo(widget, where);
        return PointerOver(widget);
    });
}

void XInput::Button(unsigned int button) {
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    ++releasesSent;
}

void XInput::Click(QWidget* widget, QPoint where) {
    PointAt(widget, where);
    Button(Button1);
    Sync();
}

void XInput::ClickAgain() {
    Button(Button1);
    XSync(display_, False);
}

void XInput::Wheel(QWidget* widget, QPoint where, int notches) {
    PointAt(widget, where);
    for (int i = 0; i < (notches < 0 ? -notches : notches); ++i) Button(notches > 0 ? Button4 : Button5);
    Sync();
}

bool XInput::Key(unsigned long symbol, bool shift, bool control) {
    const KeyCode code = XKeysymToKeycode(display_, symbol);
    if (code == 0) return false;
    // Keys go where the server's focus is: wait until the window manager has
    // handed it back to the window (after a message box, say).
    Await([this] { return HasFocus(window_); });
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
    patience.setRemainingTime(kFailsafeMs);
    while (busy()) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    releasesSeen = releasesSent;
    // Qt reads an event before it hands it on through its own queue.
    QCoreApplication::processEvents();
}

}  // namespace quillet
