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

    void controlsAnnounceWhatTheyHold_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::newRow("list") << "cmbOutput" << "Output:";
        QTest::newRow("direction") << "txtDecLonIn(0)" << "Longitude direction";
        QTest::newRow("degrees") << "txtDMSLatIn(1)" << "Latitude degrees";
        QTest::newRow("minutes") << "txtDMLonIn(2)" << "Longitude minutes";
        QTest::newRow("easting") << "txtEastIn" << "Easting";
        QTest::newRow("output") << "txtLatOut" << "Output latitude";
        QTest::newRow("check box") << "chkDirection" << "Use Direction";
        QTest::newRow("button") << "btnReset" << "Reset";
    }
    void controlsAnnounceWhatTheyHold() {
        QFETCH(QString, control);
        QFETCH(QString, name);
        ConverterForm form;
        QWidget* widget = form.findChild<QWidget*>(control);
        QVERIFY(widget);
        QCOMPARE(HeardName(widget), name);
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

    // Twin captions lie on one another: drawn twice, their smoothed edges
    // add up to a bold look. The window shows each as one label alone would.
    void stackedCaptionsDrawOnce_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("latitude") << QStringLiteral("Label19");
        QTest::newRow("longitude") << QStringLiteral("Label18");
    }
    void stackedCaptionsDrawOnce() {
        QFETCH(QString, name);
        ConverterForm form;
        const auto* caption = form.findChild<QLabel*>(name);
        QLabel alone(caption->text());
        alone.setFont(caption->font());
        alone.setAlignment(caption->alignment());
        alone.resize(caption->size());
        // The output box below covers the caption's last row.
        const QRect text(0, 0, caption->width(), caption->height() - 1);
        QCOMPARE(form.grab(text.translated(caption->mapTo(&form, QPoint()))).toImage().convertToFormat(QImage::Format_RGB32),
                 alone.grab(text).toImage().convertToFormat(QImage::Format_RGB32));
    }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
