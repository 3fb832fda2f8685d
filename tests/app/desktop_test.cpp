// The window as a person reads it and a screen reader announces it, and its
// icon with pixels enough for twice the scale.
#include "app/application.h"
#include "app/converter_form.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QtTest/QTest>

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
        QHash<QString, QStringList> says = {
            {"Label1", {".:GPS Quillet:."}},
            {"Label2", {"Select the type of coordinates that you want to input and receive as output.  "
                        "After that enter the coordinate(s) and click convert."}},
            {"Label3", {"Input:"}}, {"Label4", {"Output:"}},
            {"cmbInput", {"", "", "Input:"}}, {"cmbOutput", {"", "", "Output:"}},
            {"Label10", {"Latitude", latitudeHint}}, {"Label11", {"Longitude"}}, {"Label20", {"Latitude", latitudeHint}},
            {"Label17", {"Longitude"}}, {"Label23", {"Latitude", latitudeHint}}, {"Label25", {"Longitude", longitudeHint}},
            {"Label19", {"Latitude", latitudeHint}}, {"Label30", {"Latitude", latitudeHint}},
            {"Label18", {"Longitude", longitudeHint}}, {"Label31", {"Longitude", longitudeHint}},
            {"Label29", {"Easting"}}, {"Label32", {"Northing"}}, {"Label33", {"Zone"}},
            {"Label26", {"Easting"}}, {"Label27", {"Northing"}}, {"Label28", {"Zone"}},
            {"txtEastIn", {"", "", "Easting"}}, {"txtNorthIn", {"", "", "Northing"}}, {"txtZoneIn", {"", "", "Zone"}},
            {"txtLatOut", {"", "", "Output latitude"}}, {"txtLonOut", {"", "", "Output longitude"}},
            {"txtEastOut", {"", "Easting value (in meters)", "Output easting"}},
            {"txtNorthOut", {"", "Northing value (in meters)", "Output northing"}}, {"txtZoneOut", {"", "", "Output zone"}},
            {"lblUtmError", {"Both latitude and longitude are required to convert to UTM."}},
            {"chkDirection", {"Use Direction", "Check to use directions rather than positive/negative.", "Use Direction"}},
            {"btnConvert", {"Convert", "", "Convert"}}, {"btnReset", {"Reset", "", "Reset"}},
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
