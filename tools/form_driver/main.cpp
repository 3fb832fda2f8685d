// form-driver: opens the real converter window and uses it as a person would,
// from a script, printing what it sees as JSON Lines.
//
//   type CONTROL TEXT   click into CONTROL, select all, type TEXT key by key
//   focus CONTROL       click into a text box or list (a list's popup is closed again)
//   paste CONTROL TEXT  click into CONTROL and paste TEXT with Ctrl+V; \n, \r, \t
//                       and \\ in TEXT are a line break, a carriage return, a tab
//                       and a backslash
//   click CONTROL       click a button or check box
//   menu CONTROL ENTRY  open CONTROL's context menu and choose ENTRY by its caption
//   pick CONTROL INDEX  open a list and choose item INDEX
//   doubleclick CONTROL double-click the middle of CONTROL
//   wheel CONTROL N     turn the mouse wheel N notches (up when positive) over CONTROL
//   mapclick LAT LON    click the map (mapView) where that position is drawn,
//                       panning to it first when it is out of view
//   tab | backtab       press Tab or Shift+Tab
//   state               print {"state":{...}} with every named control, the
//                       clipboard, and "opened": the last URL the window
//                       opened (the driver stands in for the desktop's browser);
//                       the map's mapView also has "pin" ([latitude, longitude]
//                       or null) and "zoom"
//   expect PATH VALUE   compare one value of the state with JSON VALUE; PATH is
//                       title, focus, CONTROL.property, or messages (the texts of
//                       the messages the previous action showed, as a JSON array)
//   expect fits         every caption, list item and message fits its box
//   expect layout       no unmeant overlaps of shown controls, boxes inside their frames
//   expect tabs A B ..  from A (the focus), Tab visits B .. and wraps, Shift+Tab goes back
//   expect limits B=N ..  box B takes N characters and refuses one more (B is emptied after)
//   screenshot FILE     save a picture of the window as FILE (PNG)
//   browser none|some   the desktop has no web browser from now on, or has one again
//
// On xcb the clicks, wheel notches and keys go through the X server (XTest).
// Every message box prints {"message":{"title":...,"text":...}} and is closed
// with its OK button. A line that cannot be carried out prints {"error":...}
// and ends the driver with status 2; a failed expectation prints {"fail":...}
// and ends it with status 1 after the whole script has run.
//
// The script comes from standard input, or from the file named as argument.
//
//   form-driver --walk SEED STEPS   a random walk of STEPS actions (see walk.cpp)
//   form-driver --check SCRIPT      plays SCRIPT with the walk's checks after each line

#include "app/application.h"
#include "app/converter_form.h"

#include "driver.h"
#include "walk.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    quillet::ConfigureApplication(application);
    // No script or walk ever opens the desktop's browser.
    quillet::UrlRecorder browser;
    if (argc == 4 && QLatin1String(argv[1]) == QLatin1String("--walk"))
        return quillet::Walk(QByteArray(argv[2]).toULongLong(), QByteArray(argv[3]).toLongLong());
    if (argc == 3 && QLatin1String(argv[1]) == QLatin1String("--check")) return quillet::CheckScript(QString::fromLocal8Bit(argv[2]));

    QFile script;
    if (argc > 1) {
        script.setFileName(QString::fromLocal8Bit(argv[1]));
        if (!script.open(QIODevice::ReadOnly | QIODevice::Text)) {
            quillet::Print({{QStringLiteral("error"), QStringLiteral("cannot read %1").arg(script.fileName())}});
            return 2;
        }
    } else if (!script.open(stdin, QIODevice::ReadOnly | QIODevice::Text)) {
        quillet::Print({{QStringLiteral("error"), QStringLiteral("cannot read standard input")}});
        return 2;
    }

    quillet::ConverterForm form;
    form.show();
    // On an X server with no window manager nothing else gives the window
    // the keyboard.
    form.activateWindow();
    static_cast<void>(QTest::qWaitForWindowActive(&form, 2000));
    quillet::Driver driver(form);
    driver.setBrowser(&browser);

    QTextStream lines(&script);
    lines.setEncoding(QStringConverter::Utf8);
    QString line;
    while (lines.readLineInto(&line)) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        QString problem;
        if (!driver.Run(line, problem)) {
            quillet::Print({{QStringLiteral("error"), QStringLiteral("%1: %2").arg(line, problem)}});
            return 2;
        }
    }
    form.close();
    return driver.failures() > 0 ? 1 : 0;
}
