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
    void iconIsThePictureOfThePng() {
        const QImage png(QStringLiteral(QUILLET_SOURCE_DIR "/app/resources/gps-quillet.png"));
        QVERIFY(!png.isNull());
        const QImage shown = quillet::WindowIcon().pixmap(png.size()).toImage();
        QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 png.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
};

QTEST_MAIN(WindowIconTest)
#include "window_icon_test.moc"
