// What every kind of refresh leaves on screen with UTM output: the UTM
// error label exactly while the position is incomplete, and after a failed
// conversion a message, no result and no label. The checks keep unreadable
// texts out of the boxes, so the test puts them in as the program itself
// could, without leaving a box.
#include "app/converter_form.h"
#include "geodesy/proj_systems.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <functional>

class FormRefreshTest : public QObject {
    Q_OBJECT

private:
    quillet::ConverterForm form_;
    QStringList messages_;
    QStringList messageFaces_;

    template <class Control = QWidget>
    Control* find(const char* name) {
        return form_.findChild<Control*>(QLatin1String(name));
    }
    void write(const char* box, const char* text) { find<QLineEdit>(box)->setText(QLatin1String(text)); }
    void pick(const char* list, int index) {
        find<QComboBox>(list)->setCurrentIndex(index);
        emit find<QComboBox>(list)->activated(index);
    }
    void click(const char* button) { find<QAbstractButton>(button)->click(); }

private slots:
    void labelFollowsTheLastRefresh() {
        // Reports and closes every message box, as a person would.
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages_ << box->text();
                const QFontInfo face(box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->font());
                messageFaces_ << QStringLiteral("%1 %2").arg(face.family()).arg(face.pixelSize());
                box->accept();
            }
        });
        closer.start(5);
        form_.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form_));
        const char* notNumber = "Error: A value in the input boxes is not a number.";
        const struct {
            const char* refresh;
            std::function<void()> act;
            bool label;
            const char* message;
        } steps[] = {
            {"UTM output chosen, no position", [&] { pick("cmbOutput", 3); }, true, nullptr},
            {"Convert, whole position",
             [&] {
                 pick("cmbInput", 2);
                 write("txtDecLatIn(1)", "12");
                 write("txtDecLonIn(1)", "5");
                 click("btnConvert");
             },
             false, nullptr},
            {"No Units", [&] { click("chkUnits"); }, false, nullptr},
            {"Use Direction", [&] { click("chkDirection"); }, false, nullptr},
            {"Convert, latitude alone", [&] { write("txtDecLonIn(1)", ""); click("btnConvert"); }, true, nullptr},
            {"Convert fails", [&] { write("txtDecLatIn(1)", "abc"); click("btnConvert"); }, false, notNumber},
            {"Reset", [&] { click("btnReset"); }, true, nullptr},
            {"zone beyond 16 bits",
             [&] {
                 pick("cmbInput", 3);
                 write("txtEastIn", "500000");
                 write("txtNorthIn", "0");
                 write("txtZoneIn", "9999");
                 click("btnConvert");
             },
             false, "Error: A value in the input boxes is too large to convert."},
            {"UTM input converted", [&] { write("txtZoneIn", "31"); click("btnConvert"); }, false, nullptr},
            {"output chosen again", [&] { pick("cmbOutput", 3); }, false, nullptr},
            {"new input notation", [&] { pick("cmbInput", 0); }, true, nullptr},
        };
        for (const auto& step : steps) {
            messages_.clear();
            step.act();
            QVERIFY2(find("lblUtmError")->isVisible() == step.label, step.refresh);
            QCOMPARE(messages_, step.message ? QStringList{step.message} : QStringList());
            const bool result = !step.label && !step.message;
            QVERIFY2(find<QLineEdit>("txtZoneOut")->text().isEmpty() != result, step.refresh);
        }
        // Messages come in the window's face and size, not the desktop's.
        const QFontInfo window(form_.font());
        for (const QString& face : messageFaces_)
            QCOMPARE(face, QStringLiteral("%1 %2").arg(window.family()).arg(window.pixelSize()));
        QVERIFY(!messageFaces_.isEmpty());
    }

    // A national grid's "Copy as" entry only where the grid reaches; PROJ
    // starts only when the menu opens, never with the window.
    void gridEntriesOnlyWithinTheirArea() {
        QVERIFY(!quillet::proj::Started());
        QMenu* copyAs = nullptr;
        for (QMenu* menu : form_.findChildren<QMenu*>())
            if (menu->title() == QLatin1String("Copy as")) copyAs = menu;
        QVERIFY(copyAs);
        const auto enabled = [&](const char* entry) {
            for (QAction* action : copyAs->actions())
                if (action->text() == QLatin1String(entry)) return action->isEnabled();
            return false;
        };
        const struct { const char* latitude; const char* longitude; bool british, irish; } places[] = {
            {"51.5", "-0.1275", true, false}, {"53.27", "-9.05", false, true}, {"54.6", "-5.9", true, true},
            {"48.8566", "2.3522", false, false}};
        pick("cmbInput", 2);
        for (const auto& place : places) {
            write("txtDecLatIn(1)", place.latitude);
            write("txtDecLonIn(1)", place.longitude);
            click("btnConvert");
            emit copyAs->aboutToShow();
            QCOMPARE(enabled("British National Grid"), place.british);
            QCOMPARE(enabled("Irish Grid"), place.irish);
            QVERIFY(enabled("MGRS"));
        }
    }
};

QTEST_MAIN(FormRefreshTest)
#include "form_refresh_test.moc"
