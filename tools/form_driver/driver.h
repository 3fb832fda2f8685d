// The driver of the real window: carries out one script line at a time with
// real mouse and key events (through the X server on xcb, Qt's own elsewhere),
// and closes and reports every message box.
// Shared by the script player and the random walk.
#pragma once

#include "app/converter_form.h"
#include "app/map/map_view.h"

#include "form_state.h"
#include "x_input.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest/QTest>

#include <X11/keysym.h>

#include <cmath>
#include <functional>
#include <iostream>
#include <utility>

namespace quillet {

inline void Print(const QJsonObject& object) {
    std::cout << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() << '\n' << std::flush;
}

class Driver {
public:
    explicit Driver(ConverterForm& form) : form_(form) {
        // Message boxes run their own event loop inside a handler; this timer
        // fires in that loop, reports the box and presses its OK button.
        messageTimer_ = new QTimer(&form);
        messageTimer_->setInterval(5);
        QObject::connect(messageTimer_, &QTimer::timeout, [this] { CloseMessageBox(); });
        messageTimer_->start();
        // The window starts with the keyboard, as when a person opens it. A
        // window manager still starting up may miss the first request: it
        // is asked again until the window has it.
        const QDeadlineTimer failsafe(20000);
        while (!HasKeyboard() && !failsafe.hasExpired())
            if (!QTest::qWaitFor([this] { return HasKeyboard(); }, 1000)) form_.activateWindow();
    }

    // Runs one script line; false when it cannot be carried out.
    bool Run(const QString& line, QString& problem) {
        const QString verb = line.section(QLatin1Char(' '), 0, 0);
        const QString rest = line.indexOf(QLatin1Char(' ')) < 0 ? QString() : line.mid(line.indexOf(QLatin1Char(' ')) + 1);
        if (verb == QLatin1String("state")) {
            Print({{QStringLiteral("state"), quillet::FormState(form_)}});
            return true;
        }
        if (verb == QLatin1String("expect")) return Expect(rest, problem);
        if (verb == QLatin1String("screenshot")) {
            if (form_.grab().save(rest, "PNG")) return true;
            problem = QStringLiteral("cannot write %1").arg(rest);
            return false;
        }
        if (verb == QLatin1String("browser") && browser_) {
            browser_->setBrowser(rest != QLatin1String("none"));
            return true;
        }
        messages_ = QJsonArray();
        titles_.clear();
        if (verb == QLatin1String("tab") || verb == QLatin1String("backtab")) {
            if (x_)
                x_->Key(XK_Tab, verb == QLatin1String("backtab"));
            else if (verb == QLatin1String("tab"))
                QTest::keyClick(form_.windowHandle(), Qt::Key_Tab);
            else
                QTest::keyClick(form_.windowHandle(), Qt::Key_Backtab, Qt::ShiftModifier);
            Settle();
            return true;
        }
        if (verb == QLatin1String("key")) {
            QTest::keySequence(form_.windowHandle(), QKeySequence(rest));
            Settle();
            return true;
        }
        if (verb == QLatin1String("mapclick")) return MapClick(rest, problem);
        const QString name = rest.section(QLatin1Char(' '), 0, 0);
        QWidget* control = quillet::FindControl(form_, name);
        if (!control) {
            problem = QStringLiteral("no control named '%1'").arg(name);
            return false;
        }
        if (!control->isVisible()) {
            problem = QStringLiteral("%1 is not visible").arg(name);
            return false;
        }
        if (verb == QLatin1String("type")) return Type(control, rest.mid(name.size() + 1), problem);
        if (verb == QLatin1String("focus")) return Focus(control, problem);
        if (verb == QLatin1String("paste")) {
            QGuiApplication::clipboard()->setText(Unescaped(rest.mid(name.size() + 1)));
            ClickAt(control, control->rect().center());
            QTest::keySequence(form_.windowHandle(), QKeySequence::Paste);
            Settle();
            return true;
        }
        if (verb == QLatin1String("menu")) return Menu(control, rest.mid(name.size() + 1), problem);
        if (verb == QLatin1String("click")) return Click(control, problem);
        if (verb == QLatin1String("pick")) return Pick(control, rest.section(QLatin1Char(' '), 1), problem);
        if (verb == QLatin1String("wheel")) return Wheel(control, rest.section(QLatin1Char(' '), 1).toInt());
        if (verb == QLatin1String("doubleclick")) return DoubleClick(control, control->rect().center());
        problem = QStringLiteral("unknown command '%1'").arg(verb);
        return false;
    }

    int failures() const { return failures_; }
    // The titles and texts of the messages the last action showed.
    const QStringList& messageTitles() const { return titles_; }
    const QJsonArray& messageTexts() const { return messages_; }
    void setBrowser(UrlRecorder* browser) { browser_ = browser; }
    // Whether message boxes are printed as they close.
    void setQuiet(bool quiet) { quiet_ = quiet; }

private:
    // A paste's text may hold several lines: \n, \r and \t stand for a line
    // break, a carriage return and a tab, \\ for a backslash.
    static QString Unescaped(const QString& text) {
        QString plain;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
            const qsizetype escape = text.at(i) == QLatin1Char('\\') ? QStringLiteral("nrt\\").indexOf(next) : -1;
            plain += escape < 0 ? text.at(i) : QStringLiteral("\n\r\t\\").at(escape);
            if (escape >= 0) ++i;
        }
        return plain;
    }

    void CloseMessageBox() {
        if (secondClick_) {
            if (QGuiApplication::modalWindow()) std::exchange(secondClick_, nullptr)();
            return;
        }
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        // A person reads the message only once it is on screen (on X a box
        // may be visible to Qt before it is laid out, its OK button without
        // height), and only after letting go of the mouse.
        if (!box || !box->windowHandle() || !box->windowHandle()->isExposed() || (x_ && x_->busy())) return;
        if (!quiet_)
            Print({{QStringLiteral("message"),
                    QJsonObject{{QStringLiteral("title"), box->windowTitle()}, {QStringLiteral("text"), box->text()}}}});
        messages_.append(box->text());
        titles_.append(box->windowTitle());
        if (!quillet::MessageFits(*box)) ++unfitMessages_;
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        if (ok)
            QTest::mouseClick(ok, Qt::LeftButton);
        else
            box->reject();
    }

    // The window is active, in Qt's view and on X in the server's.
    bool HasKeyboard() const { return form_.isActiveWindow() && (!x_ || x_->HasFocus(&form_)); }

    // Lets queued events, message boxes and the return of the window's
    // activation run their course before the next line looks at the window.
    void Settle() {
        QTest::qWait(1);
        // On X the window manager hands the keyboard back in its own time,
        // late on a busy machine; the next line waits for it, as a person
        // would look for the cursor. The limit only ends a broken run.
        if (!QTest::qWaitFor(
                [this] { return !QApplication::activeModalWidget() && HasKeyboard(); },
                20000))
            std::cerr << "form-driver: the window did not get the keyboard back\n";
        QCoreApplication::processEvents();
    }

    bool ClickAt(QWidget* control, QPoint where) {
        if (x_)
            x_->Click(control, where);
        else
            QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, where);
        Settle();
        return true;
    }

    // A double click is one gesture: its second click comes at once, while
    // whatever the first brought up is still on screen (a message the person
    // has not read yet, over the window it blocks).
    bool DoubleClick(QWidget* control, QPoint where) {
        QWindow* window = form_.windowHandle();
        const QPoint at = control->mapTo(&form_, where);
        secondClick_ = [this, window, at] {
            if (x_) return x_->ClickAgain();
            QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, at);
            QTest::lastMouseTimestamp -= QTest::mouseDoubleClickInterval;  // within the double-click time
            QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, at);
        };
        if (x_)
            x_->Click(control, where);
        else
            QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, at);
        if (secondClick_) std::exchange(secondClick_, nullptr)();
        if (x_) x_->Sync();
        Settle();
        return true;
    }

    bool Focus(QWidget* control, QString& problem) {
        if (qobject_cast<QLineEdit*>(control)) return ClickAt(control, control->rect().center());
        if (auto* list = qobject_cast<QComboBox*>(control)) {
            ClickAt(list, list->rect().center());
            if (list->view()->isVisible()) {
                QTest::keyClick(list->view(), Qt::Key_Escape);
                Settle();
            }
            return true;
        }
        problem = QStringLiteral("%1 cannot be focused by a click without acting on it").arg(control->objectName());
        return false;
    }

    bool Click(QWidget* control, QString& problem) {
        if (auto* check = qobject_cast<QCheckBox*>(control)) {
            QStyleOptionButton option;
            option.initFrom(check);
            const QRect indicator = check->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, check);
            return ClickAt(check, indicator.center());
        }
        if (qobject_cast<QPushButton*>(control)) return ClickAt(control, control->rect().center());
        problem = QStringLiteral("%1 is not a button or check box").arg(control->objectName());
        return false;
    }

    // Clicks the map where the position is drawn, panning to it first when it
    // is out of view.
    bool MapClick(const QString& rest, QString& problem) {
        const QStringList numbers = rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        bool latitudeRead = false, longitudeRead = false;
        const double latitude = numbers.value(0).toDouble(&latitudeRead);
        const double longitude = numbers.value(1).toDouble(&longitudeRead);
        auto* map = qobject_cast<quillet::MapView*>(quillet::FindControl(form_, QStringLiteral("mapView")));
        if (numbers.size() != 2 || !latitudeRead || !longitudeRead || std::abs(latitude) >= quillet::kMercatorMaxLatitude ||
            std::abs(longitude) > 180) {
            problem = QStringLiteral("mapclick wants a latitude within the map and a longitude, not '%1'").arg(rest);
            return false;
        }
        if (!map || !map->isVisible()) {
            problem = QStringLiteral("no map in view");
            return false;
        }
        const QRect inner = map->rect().adjusted(8, 8, -8, -8);
        if (!inner.contains(map->PixelOf(latitude, longitude).toPoint())) map->centerOn(latitude, longitude);
        return ClickAt(map, map->PixelOf(latitude, longitude).toPoint());
    }

    bool Pick(QWidget* control, const QString& indexText, QString& problem) {
        auto* list = qobject_cast<QComboBox*>(control);
        bool isNumber = false;
        const int index = indexText.toInt(&isNumber);
        if (!list || !isNumber || index < 0 || index >= list->count()) {
            problem = QStringLiteral("cannot pick item '%1' of %2").arg(indexText, control->objectName());
            return false;
        }
        ClickAt(list, list->rect().center());
        QAbstractItemView* popup = list->view();
        if (!popup->isVisible()) return true;  // the click was refused (a check took the focus back)
        // Point at the item, then take it with Return: the popup ignores a
        // mouse release that follows its opening click too closely.
        const QRect item = popup->visualRect(list->model()->index(index, list->modelColumn()));
        QTest::mouseMove(popup->viewport(), item.center());
        popup->setCurrentIndex(list->model()->index(index, list->modelColumn()));
        QTest::keyClick(popup, Qt::Key_Return);
        Settle();
        return true;
    }

    // Opens the control's context menu and chooses the entry of that caption
    // (without its & and shortcut); a disabled entry fails the script.
    bool Menu(QWidget* control, const QString& caption, QString& problem) {
        QContextMenuEvent open(QContextMenuEvent::Keyboard, control->rect().center(),
                               control->mapToGlobal(control->rect().center()));
        QApplication::sendEvent(control, &open);
        Settle();
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        // A path ("Copy as/Plus Code") opens each submenu on the way.
        const QStringList path = caption.split(QLatin1Char('/'));
        QAction* chosen = nullptr;
        for (qsizetype step = 0; step < path.size() && menu; ++step) {
            chosen = nullptr;
            for (QAction* entry : menu->actions())
                if (entry->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&')) == path[step])
                    chosen = entry;
            if (!chosen || step + 1 == path.size()) break;
            if (!chosen->menu()) {
                chosen = nullptr;
                break;
            }
            menu->setActiveAction(chosen);
            QTest::keyClick(menu, Qt::Key_Right);
            Settle();
            menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        }
        if (!chosen) {
            problem = QStringLiteral("no menu entry '%1'").arg(caption);
            CloseMenus();
            return false;
        }
        if (!chosen->isEnabled()) {
            Fail(QStringLiteral("menu entry '%1' is disabled").arg(caption));
            CloseMenus();
        } else {
            menu->setActiveAction(chosen);
            QTest::keyClick(menu, Qt::Key_Return);
        }
        Settle();
        return true;
    }

    static void CloseMenus() {
        while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    }

    // A person's wheel: it may move the focus first, as the control's policy says.
    bool Wheel(QWidget* control, int notches) {
        const QPoint where = control->rect().center();
        if (x_) {
            x_->Wheel(control, where, notches);
        } else {
            QWheelEvent wheel(where, control->mapToGlobal(where), {}, {0, 120 * notches}, Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QSpontaneKeyEvent::setSpontaneous(&wheel);
            QApplication::sendEvent(control, &wheel);
        }
        Settle();
        return true;
    }

    bool Type(QWidget* control, const QString& text, QString& problem) {
        if (!qobject_cast<QLineEdit*>(control)) {
            problem = QStringLiteral("%1 is not a text box").arg(control->objectName());
            return false;
        }
        // Into a box that has the focus already a person just types.
        if (QApplication::focusWidget() != control) ClickAt(control, control->rect().center());
        // A box that did not take the focus (disabled, or a check kept it
        // elsewhere) gets none of the keys.
        if (QApplication::focusWidget() != control) return true;
        QWindow* window = form_.windowHandle();
        if (x_) {
            x_->Key(XK_a, false, true);
            if (text.isEmpty()) x_->Key(XK_Delete);
        } else {
            QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
            if (text.isEmpty()) QTest::keyClick(window, Qt::Key_Delete);
        }
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            // Printable ASCII as keys; anything else (control characters
            // too) as the text of a key Qt has no name for.
            const bool printable = c.unicode() >= 0x20 && c.unicode() < 0x7F;
            if (printable && x_) {
                if (!x_->Key(c.unicode())) QTest::keyClick(window, static_cast<char>(c.unicode()));
            } else if (printable) {
                QTest::keyClick(window, static_cast<char>(c.unicode()));
            } else {
                QString key(c);
                if (c.isHighSurrogate() && i + 1 < text.size()) key += text.at(++i);
                QTest::sendKeyEvent(QTest::Click, window, Qt::Key_unknown, key, Qt::NoModifier);
            }
            if (QApplication::activeModalWidget()) Settle();
        }
        Settle();
        return true;
    }

    bool Expect(const QString& rest, QString& problem) {
        if (rest == QLatin1String("fits")) {
            const QStringList unfit = quillet::ClippedControls(form_);
            if (!unfit.isEmpty() || unfitMessages_ > 0)
                Fail(QStringLiteral("clipped: %1; clipped messages: %2").arg(unfit.join(QLatin1Char(','))).arg(unfitMessages_));
            return true;
        }
        if (rest == QLatin1String("layout")) {
            const QStringList faults = quillet::LayoutFaults(form_);
            if (!faults.isEmpty()) Fail(QStringLiteral("layout: %1").arg(faults.join(QLatin1Char(','))));
            return true;
        }
        const QString path = rest.section(QLatin1Char(' '), 0, 0);
        if (path == QLatin1String("tabs")) return ExpectTabs(rest.split(QLatin1Char(' ')).mid(1));
        if (path == QLatin1String("limits")) return ExpectLimits(rest.split(QLatin1Char(' ')).mid(1), problem);
        const QByteArray wanted = rest.section(QLatin1Char(' '), 1).toUtf8();
        QJsonParseError error{};
        const QJsonDocument parsed = QJsonDocument::fromJson("[" + wanted + "]", &error);
        if (error.error != QJsonParseError::NoError || parsed.array().size() != 1) {
            problem = QStringLiteral("expect %1: '%2' is not one JSON value").arg(path, QString::fromUtf8(wanted));
            return false;
        }
        QJsonValue actual;
        if (path == QLatin1String("messages")) {
            actual = messages_;
        } else {
            const QJsonObject state = quillet::FormState(form_);
            const qsizetype dot = path.indexOf(QLatin1Char('.'));
            if (dot < 0) {
                actual = state.value(path);
            } else {
                const QJsonValue control = state.value(path.left(dot));
                if (!control.isObject()) {
                    problem = QStringLiteral("expect: no control named '%1'").arg(path.left(dot));
                    return false;
                }
                actual = control.toObject().value(path.mid(dot + 1));
            }
            if (actual.isUndefined()) {
                problem = QStringLiteral("expect: the state has no '%1'").arg(path);
                return false;
            }
        }
        const QJsonValue expected = parsed.array().at(0);
        if (actual != expected) {
            const auto text = [](const QJsonValue& value) {
                return QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
            };
            Fail(QStringLiteral("%1: expected %2, got %3").arg(path, text(expected), text(actual)));
        }
        return true;
    }

    QString Focused() const {
        const QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QString();
    }

    // The focus is on the first control; Tab visits the rest in turn and
    // wraps to the first, then Shift+Tab goes the same way back.
    bool ExpectTabs(const QStringList& order) {
        const qsizetype n = order.size();
        if (Focused() != order.value(0)) Fail(QStringLiteral("tabs: focus on %1, not %2").arg(Focused(), order.value(0)));
        for (qsizetype i = 1; i <= 2 * n; ++i) {
            const bool back = i > n;
            QString problem;
            Run(back ? QStringLiteral("backtab") : QStringLiteral("tab"), problem);
            const QString& wanted = order.at((back ? 2 * n - i : i) % n);
            if (Focused() != wanted) {
                Fail(QStringLiteral("%1 %2: focus on %3, expected %4")
                         .arg(back ? "backtab" : "tab").arg(i).arg(Focused(), wanted));
                break;
            }
        }
        return true;
    }

    // BOX=N: N characters go into the box, one more is refused. The box is
    // emptied again before the next one is tried.
    bool ExpectLimits(const QStringList& limits, QString& problem) {
        for (const QString& item : limits) {
            const QString name = item.section(QLatin1Char('='), 0, 0);
            const int limit = item.section(QLatin1Char('='), 1).toInt();
            QWidget* box = quillet::FindControl(form_, name);
            if (!box || !Type(box, QString(limit + 1, QLatin1Char('1')), problem)) return false;
            const QString text = qobject_cast<QLineEdit*>(box)->text();
            if (text.size() != limit) Fail(QStringLiteral("%1 took '%2', limit %3").arg(name, text).arg(limit));
            Type(box, QString(), problem);
        }
        return true;
    }

    void Fail(const QString& what) {
        ++failures_;
        Print({{QStringLiteral("fail"), what}});
    }

    ConverterForm& form_;
    UrlRecorder* browser_ = nullptr;
    QTimer* messageTimer_ = nullptr;
    std::unique_ptr<XInput> x_ = XInput::Open(&form_);
    QJsonArray messages_;
    QStringList titles_;
    bool quiet_ = false;
    // The rest of a double click, until it is sent.
    std::function<void()> secondClick_;
    int failures_ = 0;
    int unfitMessages_ = 0;
};

}  // namespace quillet
