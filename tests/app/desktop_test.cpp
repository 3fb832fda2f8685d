// The window as a person reads it and a screen reader announces it, and its
// icon with pixels enough for twice the scale.
#include "app/application.h"
#include "app/converter_form.h"
#include "app/panel/help_window.h"
#include "app/panel/notations_panel.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QHash>
#include <QLineEdit>
#include <QUrl>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QtTest/QTest>

#include <functional>

using quillet::ConverterForm;

namespace {

// What a screen reader says a control is. A list's own name is its current
// item; the reader takes the name of the label that points at it.
QString HeardName(QWidget* control) {
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(control);
    if (spoken->role() != QAccessible::ComboBox) return spoken->text(QAccessible::Name);
    const auto labels = spoken->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

// Stands in for the desktop's browser: keeps what it was asked to open.
class Browser : public QObject {
    Q_OBJECT
public:
    QString opened;
public slots:
    void open(const QUrl& url) { opened = url.toString(); }
};

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { quillet::ConfigureApplication(*qobject_cast<QApplication*>(QCoreApplication::instance())); }

    // Every caption, hint and spoken name in the window, as a person reads
    // and hears them; a control missing here has none of the three.
    void controlsSayWhatTheyShould() {
        const QString latitudeHint = "Values between -90 and 90 degrees";
        const QString longitudeHint = "Values between -180 and 180 degrees";
        const QString menu = "Right-click: Copy Position, Copy as a code or link, Open in Map";
        QHash<QString, QStringList> says = {
            {"Label1", {".:GPS Quillet:."}},
            {"Label2", {"Select the type of coordinates that you want to input and receive as output.  "
                        "After that enter the coordinate(s) and click convert."}},
            {"Label3", {"Input:"}}, {"Label4", {"Output:"}},
            {"cmbInput", {"", "The notation you type in; another one empties every box", "Input:"}},
            {"cmbOutput", {"", "The notation the output is written in (Ctrl+L shows every one)", "Output:"}},
            {"Label10", {"Latitude", latitudeHint}}, {"Label11", {"Longitude"}}, {"Label20", {"Latitude", latitudeHint}},
            {"Label17", {"Longitude"}}, {"Label23", {"Latitude", latitudeHint}}, {"Label25", {"Longitude", longitudeHint}},
            {"Label19", {"Latitude", latitudeHint}}, {"Label30", {"Latitude", latitudeHint}},
            {"Label18", {"Longitude", longitudeHint}}, {"Label31", {"Longitude", longitudeHint}},
            {"Label29", {"Easting"}}, {"Label32", {"Northing"}}, {"Label33", {"Zone"}},
            {"Label26", {"Easting"}}, {"Label27", {"Northing"}}, {"Label28", {"Zone"}},
            {"txtEastIn", {"", "Easting in meters, 160000 to 834000", "Easting"}},
            {"txtNorthIn", {"", "Northing in meters, negative south of the equator; a receiver's northing is read "
                                "with its zone's band letter", "Northing"}},
            {"txtZoneIn", {"", "Zone number, 1 to 60; a band letter (C to M south, N to X north) may follow it", "Zone"}},
            {"txtLatOut", {"", menu, "Output latitude"}}, {"txtLonOut", {"", menu, "Output longitude"}},
            {"txtEastOut", {"", "Easting value (in meters)\n" + menu, "Output easting"}},
            {"txtNorthOut", {"", "Northing value (in meters), negative south of the equator (receivers add "
                                 "10,000,000)\n" + menu, "Output northing"}},
            {"txtZoneOut", {"", "Zone number and latitude band letter (C to M south, N to X north)\n" + menu,
                            "Output zone"}},
            {"lblUtmError", {"Both latitude and longitude are required to convert to UTM."}},
            {"chkDirection", {"Use Direction", "Check to use directions rather than positive/negative.", "Use Direction"}},
            {"btnConvert", {"Convert", "Convert the input boxes now (Enter in a box does the same)", "Convert"}},
            {"btnReset", {"Reset", "Empty every box", "Reset"}},
            {"chkUnits", {"No Units", "", "No Units"}},
        };
        for (const auto& [mark, labels] : {std::pair{"\u00B0", "6 7 12 16 21 24"}, {"'", "8 13 15 22"}, {"\"", "9 14"}})
            for (const QString& label : QString(labels).split(' ')) says.insert("Label" + label, {mark});
        // The input sets share their hints and spoken names.
        const QStringList parts = {"Direction (N,S,E,W)", "Degrees", "Minutes", "Seconds"};
        for (const auto& [set, count] : {std::pair{"DMS", 4}, {"DM", 3}, {"Dec", 2}})
            for (const auto& [box, coordinate] : {std::pair{"Lat", "Latitude "}, {"Lon", "Longitude "}})
                for (int i = 0; i < count; ++i)
                    says.insert(QStringLiteral("txt%1%2In(%3)").arg(set, box).arg(i),
                                {"", parts[i], coordinate + QString(i ? parts[i] : "direction").toLower()});
        ConverterForm form;
        for (QWidget* control : form.controls()) {
            QString caption;
            if (auto* label = qobject_cast<QLabel*>(control)) caption = label->text();
            if (auto* button = qobject_cast<QAbstractButton*>(control)) caption = button->text();
            const QString spoken = control->focusPolicy() == Qt::NoFocus ? QString() : HeardName(control);
            const QStringList expected = says.value(control->objectName()) + QStringList{"", "", ""};
            QCOMPARE(QStringList({control->objectName(), caption, control->toolTip(), spoken}),
                     QStringList{control->objectName()} + expected.mid(0, 3));
        }
    }
    // Every shortcut the F1 help lists does what it says there, pressed in
    // turn as a person would try them.
    void helpShortcutsDoWhatItSays() {
        ConverterForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        Browser browser;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
        const auto text = [&form](const char* name) { return form.findChild<QLineEdit*>(QLatin1String(name))->text(); };
        const auto clipboard = [] { return QGuiApplication::clipboard()->text(); };
        QWidget* help = nullptr;
        const struct {
            QString keys;
            std::function<bool()> done;
        } shortcuts[] = {
            {"Ctrl+V", [&] { return text("txtLatOut") == "-33.8688\u00B0 " && text("txtDMSLatIn(1)") == "-33"; }},
            {"Ctrl+Shift+C", [&] { return clipboard() == "-33.8688\u00B0, 151.2093\u00B0"; }},
            {"Ctrl+Shift+M", [&] { return clipboard() == "56H LH 34368 50948"; }},
            {"Ctrl+Shift+O",
             [&] { return browser.opened == "https://www.openstreetmap.org/?mlat=-33.8688&mlon=151.2093#map=17/-33.8688/151.2093"; }},
            {"Ctrl+L", [&] { return form.notationsPanel() && form.notationsPanel()->isVisible(); }},
            {"Ctrl+Z", [&] { return text("txtDMSLatIn(1)").isEmpty() && text("txtLatOut").isEmpty(); }},
            {"F1", [&] {
                 help = form.findChild<QWidget*>(QStringLiteral("GPS_Quillet_Help"));
                 return help && help->isVisible();
             }},
        };
        QGuiApplication::clipboard()->setText(QStringLiteral("-33.8688, 151.2093"));
        form.findChild<QLineEdit*>(QStringLiteral("txtDMSLatIn(1)"))->setFocus();
        QStringList tried;
        for (const auto& [keys, done] : shortcuts) {
            QTest::keySequence(form.windowHandle(), QKeySequence(keys));
            QVERIFY2(QTest::qWaitFor(done, 1000), qPrintable(keys));
            tried << keys;
        }
        QStringList listed;
        for (const auto& [keys, what] : quillet::HelpShortcuts()) listed << keys;
        tried.sort();
        listed.sort();
        QCOMPARE(tried, listed);
        const QString shown = help->findChild<QLabel*>(QStringLiteral("lblHelp"))->text();
        for (const QString& keys : listed) QVERIFY2(shown.contains(keys), qPrintable(keys));
        QVERIFY(shown.contains(QStringLiteral("gps-quillet-convert")));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }

    // A map given to the panel lies under the form, inside the window, and
    // goes and comes with the panel; the form's size stays its own.
    void mapLiesUnderTheFormWithThePanel() {
        ConverterForm form;
        form.show();
        const QSize closed = form.size();
        form.ToggleNotations();
        const QWidget* mapView = form.findChild<QWidget*>(QStringLiteral("mapView"));
        QVERIFY(mapView);
        const QWidget* map = mapView->parentWidget();
        QVERIFY(map->isVisible());
        const QRect onWindow(map->mapTo(&form, QPoint(0, 0)), map->size());
        QVERIFY(onWindow.top() >= closed.height());
        QVERIFY(form.rect().contains(onWindow));
        QVERIFY(map->height() >= 150);
        form.ToggleNotations();
        QVERIFY(!map->isVisible());
        QCOMPARE(form.size(), closed);
    }

    // The window shows raw pixels, kept beside the PNGs people edit: they
    // must be the same pictures, 64 pixels for scale 2.
    void iconIsThePictureOfThePngs() {
        for (const char* name : {"gps-quillet.png", "gps-quillet-64.png"}) {
            const QImage png(QStringLiteral(QUILLET_SOURCE_DIR "/app/resources/") + QLatin1String(name));
            QVERIFY(!png.isNull());
            const QImage shown = quillet::WindowIcon().pixmap(png.size()).toImage();
            QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                     png.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        }
    }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
