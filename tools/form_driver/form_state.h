// What the form driver reads off the window: every named control as JSON,
// and whether each caption fits the box it is drawn in.
#pragma once

#include <QJsonObject>
#include <QObject>
#include <QStringList>
#include <QUrl>

class QMessageBox;
class QWidget;

namespace quillet {

class ConverterForm;

// Stands in for the desktop's browser: what the window asks to open (a
// map link) is kept here, and the state shows the last one as "opened".
// Nothing leaves the machine during a test.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    // Takes over http and https for the whole driver.
    UrlRecorder();
    ~UrlRecorder() override;
    static QString last();
    // With no browser, the desktop's URL handling fails: the window must
    // say so rather than do nothing.
    void setBrowser(bool present);
public slots:
    void open(const QUrl& url);
};

QWidget* FindControl(const ConverterForm& form, const QString& name);

// {"title":..., "focus":..., NAME: {...} for every named control, "clipboard":
// ..., "opened": the last URL the window opened}.
QJsonObject FormState(const ConverterForm& form);

// The names of the controls whose caption or list items do not fit them.
QStringList ClippedControls(const ConverterForm& form);

bool MessageFits(const QMessageBox& box);

// What is wrong with the layout of the shown controls: visible siblings that
// overlap by more than the 1 px the layout itself lets them touch (save the
// pairs placed on one another on purpose), and boxes or lists outside their frame.
QStringList LayoutFaults(const ConverterForm& form);

}  // namespace quillet
