// A conversion that fails never ends the program, never leaves a result the
// input does not give, and leaves a window that still converts. The checks
// keep such texts out of the boxes, so these tests put them in as the
// program itself could, without leaving a box.
#include "app/converter_form.h"

#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

class FormErrorsTest : public QObject {
    Q_OBJECT

private:
    quillet::ConverterForm form_;
    QStringList messages_;
    QFontInfo messageFont_{QFont()};

    template <class Control>
    Control* find(const char* name) {
        return form_.findChild<Control*>(QLatin1String(name));
    }
    void write(const char* box, const char* text) { find<QLineEdit>(box)->setText(QLatin1String(text)); }
    QString text(const char* box) { return find<QLineEdit>(box)->text(); }
    void pick(const char* list, int index) {
        auto* combo = find<QComboBox>(list);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void convert() {
        messages_.clear();
        QTest::mouseClick(find<QPushButton>("btnConvert"), Qt::LeftButton);
    }

private slots:
    void initTestCase() {
        // Reports and closes every message box, as a person would.
        auto* closer = new QTimer(this);
        connect(closer, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages_ << box->text();
                messageFont_ = QFontInfo(box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->font());
                box->accept();
            }
        });
        closer->start(5);
        form_.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form_));
    }

    void textThatIsNoNumberIsReportedAndEmptiesTheOutput() {
        pick("cmbInput", 2);
        write("txtDecLatIn(1)", "12");
        write("txtDecLonIn(1)", "5");
        convert();
        QCOMPARE(text("txtLatOut"), QStringLiteral("12\u00B0 "));
        write("txtDecLatIn(1)", "abc");
        convert();
        QCOMPARE(messages_, QStringList{QStringLiteral("Error: A value in the input boxes is not a number.")});
        // In the window's face and size, not the desktop's.
        QCOMPARE(messageFont_.family(), QFontInfo(form_.font()).family());
        QCOMPARE(messageFont_.pixelSize(), QFontInfo(form_.font()).pixelSize());
        QCOMPARE(text("txtLatOut"), QString());
        QCOMPARE(text("txtLonOut"), QString());
        write("txtDecLatIn(1)", "13");
        convert();
        QVERIFY(messages_.isEmpty());
        QCOMPARE(text("txtLatOut"), QStringLiteral("13\u00B0 "));
    }

    void zoneBeyondSixteenBitsIsReported() {
        pick("cmbInput", 3);
        pick("cmbOutput", 3);
        write("txtEastIn", "500000");
        write("txtNorthIn", "0");
        write("txtZoneIn", "9999");
        convert();
        QCOMPARE(messages_, QStringList{QStringLiteral("Error: A value in the input boxes is too large to convert.")});
        QCOMPARE(text("txtZoneOut"), QString());
        write("txtZoneIn", "31");
        convert();
        QCOMPARE(text("txtZoneOut"), QStringLiteral("31 N"));
    }
};

QTEST_MAIN(FormErrorsTest)
#include "form_errors_test.moc"
