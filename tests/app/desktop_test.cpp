// The window as a screen reader and a high-density screen meet it: what
// QAccessible announces, reading and copying the results by keyboard, and an
// icon with pixels enough for twice the scale.
#include "app/application.h"
#include "app/converter_form.h"
#include "app/field_box.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QAbstractButton>
#include <QHash>
#include <QSet>
#include <QtTest/QTest>

using quillet::ConverterForm;
using quillet::FieldBox;

namespace {

// What a screen reader says a control is. A list's own name is its current
// item; the reader takes the name of the label that points at it.
QString HeardName(QWidget* control) {
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(control);
    if (spoken->role() != QAccessible::ComboBox) return spoken->text(QAccessible::Name);
    const auto labels = spoken->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

// Sends a key to whichever control has the focus, as the keyboard does.
void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
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
    // Whichever input and output sets show, every control that takes the
    // focus has a name, and no two of them sound alike.
    void namesTellTheShownControlsApart() {
        ConverterForm form;
        for (int input = 0; input < 4; ++input) {
            for (int output = 0; output < 2; ++output) {
                const QSet<QString> shown{form.objectName(), QStringLiteral("frmIn(%1)").arg(input),
                                          QStringLiteral("frmOut(%1)").arg(output)};
                QSet<QString> heard;
                for (QWidget* control : form.controls()) {
                    if (control->focusPolicy() == Qt::NoFocus || !shown.contains(control->parentWidget()->objectName()))
                        continue;
                    const QString name = HeardName(control);
                    QVERIFY2(!name.isEmpty(), qPrintable(control->objectName()));
                    QVERIFY2(!heard.contains(name), qPrintable(control->objectName() + QStringLiteral(": ") + name));
                    heard.insert(name);
                }
            }
        }
    }

    void resultsAreReadAndCopiedByKeyboard_data() {
        QTest::addColumn<int>("notation");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("box");
        QTest::newRow("latitude after Reset") << 2 << "btnReset" << "txtLatOut";
        QTest::newRow("easting after No Units") << 3 << "chkUnits" << "txtEastOut";
    }
    void resultsAreReadAndCopiedByKeyboard() {
        QFETCH(int, notation);
        QFETCH(QString, before);
        QFETCH(QString, box);
        ConverterForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto* list = form.findChild<QComboBox*>(QStringLiteral("cmbOutput"));
        list->setFocus();
        while (list->currentIndex() < notation) Press(Qt::Key_Down);
        auto* result = form.findChild<FieldBox*>(box);
        result->setText(QStringLiteral("-33.86880\u00B0"));

        form.findChild<QWidget*>(before)->setFocus();
        Press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), result);
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(result);
        QVERIFY(spoken->state().readOnly && spoken->state().focused);
        QAccessibleTextInterface* text = spoken->textInterface();
        QCOMPARE(text->text(0, text->characterCount()), QStringLiteral("-33.86880\u00B0"));

        Press(Qt::Key_Home);
        Press(Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(text->selectionCount(), 1);
        Press(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("-33.86880\u00B0"));
    }

    // At scale 2 the 32-pixel icon is drawn from 64 real pixels, not blown up.
    void iconIsSharpAtDoubleScale() {
        const QIcon icon = QApplication::windowIcon();
        QCOMPARE(icon.pixmap(QSize(32, 32), 1.0).size(), QSize(32, 32));
        QCOMPARE(icon.pixmap(QSize(32, 32), 2.0).size(), QSize(64, 64));
    }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
