// The character limit of a text box stops a person, never the program; a
// paste too long for it is cut, never dropped.
#include "app/field_box.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QtTest/QTest>

class FieldBoxTest : public QObject {
    Q_OBJECT

private slots:
    // Ctrl+V, the context menu's Paste and a drop each insert what fits, over
    // a selection too.
    void everyPasteIsCutToTheLimit() {
        quillet::FieldBox box;
        box.setCharLimit(3);
        box.show();
        QGuiApplication::clipboard()->setText(QStringLiteral("-33.8688\n"));
        QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box.text(), QStringLiteral("-33"));
        box.setText(QStringLiteral("1"));
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(1, 1), box.mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(&box, &menuEvent);
        QMenu* menu = box.findChild<QMenu*>();
        menu->actions().at(5)->trigger();  // Paste
        menu->close();
        QCOMPARE(box.text(), QStringLiteral("1-3"));
        box.clear();
        QMimeData dropped;
        dropped.setText(QStringLiteral("45678"));
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&box, &enter);
        QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&box, &drop);
        QCOMPARE(box.text(), QStringLiteral("456"));
        box.selectAll();
        QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box.text(), QStringLiteral("-33"));
    }

    // Direction entry lowers the limit of a box that may hold "045": the
    // program's text stays whole, typing can shrink it but not grow it.
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
        QTest::keyClicks(&box, "6");
        QCOMPARE(box.text(), QStringLiteral("04"));
    }
};

QTEST_MAIN(FieldBoxTest)
#include "field_box_test.moc"
