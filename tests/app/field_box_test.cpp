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

    // Direction entry lowers the limit of a box that may hold "045".
    void programWritesKeepTheWholeTextWhichCanShrinkButNotGrow() {
        quillet::FieldBox box;
        box.setCharLimit(3);
        box.setText(QStringLiteral("045"));
        box.setCharLimit(2);
        QCOMPARE(box.text(), QStringLiteral("045"));
        box.show();
        box.end(false);
        QTest::keyClicks(&box, "6");
        QCOMPARE(box.text(), QStringLiteral("045"));
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(box.text(), QStringLiteral("04"));
        QTest::keyClicks(&box, "6");
        QCOMPARE(box.text(), QStringLiteral("04"));
    }

};

QTEST_MAIN(FieldBoxTest)
#include "field_box_test.moc"
