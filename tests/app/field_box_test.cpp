// The character limit of a text box stops a person, never the program.
#include "app/field_box.h"

#include <QApplication>
#include <QtTest/QTest>

class FieldBoxTest : public QObject {
    Q_OBJECT

private slots:
    void limitStopsTypingAndPasting() {
        quillet::FieldBox box;
        box.setCharLimit(3);
        box.show();
        QTest::keyClicks(&box, "12345");
        QCOMPARE(box.text(), QStringLiteral("123"));
        box.selectAll();
        QTest::keyClicks(&box, "9");
        QCOMPARE(box.text(), QStringLiteral("9"));
    }

    void programWritesAndLowerLimitsKeepTheWholeText() {
        quillet::FieldBox box;
        box.setCharLimit(2);
        box.setText(QStringLiteral("-7.5"));
        QCOMPARE(box.text(), QStringLiteral("-7.5"));
        box.setText(QStringLiteral("045"));
        box.setCharLimit(1);
        QCOMPARE(box.text(), QStringLiteral("045"));
    }

    void overLongTextCanShrinkButNotGrow() {
        quillet::FieldBox box;
        box.setCharLimit(2);
        box.setText(QStringLiteral("045"));
        box.show();
        box.end(false);
        QTest::keyClicks(&box, "6");
        QCOMPARE(box.text(), QStringLiteral("045"));
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(box.text(), QStringLiteral("04"));
        QTest::keyClicks(&box, "6");
        QCOMPARE(box.text(), QStringLiteral("04"));
    }

    void noLimitTakesAnyLength() {
        quillet::FieldBox box;
        box.show();
        const QString digits(300, QLatin1Char('7'));
        QTest::keyClicks(&box, digits);
        QCOMPARE(box.text(), digits);
    }
};

QTEST_MAIN(FieldBoxTest)
#include "field_box_test.moc"
