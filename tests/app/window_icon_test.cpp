// The window shows raw pixels, kept beside the PNG people edit: they must be
// the same picture.
#include "app/application.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QtTest/QTest>

class WindowIconTest : public QObject {
    Q_OBJECT

private slots:
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

QTEST_MAIN(WindowIconTest)
#include "window_icon_test.moc"
