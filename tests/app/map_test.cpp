// The map without the window: the pin on the right pixel, a click giving
// back its position, zoom and pan by mouse and keys, the country line; and
// the street map against a tile server on 127.0.0.1: addresses, User-Agent,
// two requests at most, the disk cache, and untrusted replies dropped.
#include "app/map/map_panel.h"
#include "app/map/map_view.h"
#include "app/map/tile_loader.h"

#include "tile_server.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <cmath>

using quillet::MapPanel;
using quillet::MapView;
using quillet::TileAddress;
using quillet::TileLoader;

namespace {

// The tip of the pin in a picture of the map: the pin's red is symmetric
// about the tip's column and ends a few pixels above it (the pin's own shape).
QPointF PinTip(const QImage& image) {
    double sumX = 0;
    int count = 0, lowest = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 170 && c.green() < 70 && c.blue() < 70) {
                sumX += x + 0.5;
                ++count;
                lowest = std::max(lowest, y);
            }
        }
    // The red narrows to nothing 4 pixels above the tip, inside the pin's white edge.
    return count ? QPointF(sumX / count, lowest + 5) : QPointF(-1, -1);
}

}  // namespace

class MapTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        TileLoader::Settings()->clear();
        qunsetenv("QUILLET_TILE_URL");
    }

    // First, so that the outlines are read here for the first time.
    void opensAndRepaintsQuickly() {
        MapPanel panel;
        panel.resize(400, 360);
        panel.setPosition(std::pair{50.0, 10.0});
        QElapsedTimer timer;
        timer.start();
        panel.show();
        QVERIFY(!panel.view()->grab().isNull());
        const double opening = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        // The whole world in view: the most outline there is to draw.
        panel.view()->setZoom(1);
        timer.restart();
        for (int i = 0; i < 20; ++i) {
            QTest::mousePress(panel.view(), Qt::LeftButton, {}, QPoint(200, 150));
            QTest::mouseMove(panel.view(), QPoint(200 + i, 160));
            QTest::mouseRelease(panel.view(), Qt::LeftButton, {}, QPoint(200 + i, 160));
            QVERIFY(!panel.view()->grab().isNull());
        }
        const double repaint = static_cast<double>(timer.nsecsElapsed()) / 1e6 / 20;
        qInfo("first opening %.1f ms, one repaint while dragging %.2f ms", opening, repaint);
#if !defined(__SANITIZE_ADDRESS__)
        QVERIFY(opening < 150);
        QVERIFY(repaint < 16);
#endif
    }

    void pinOnItsPixel_data() {
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        QTest::addColumn<QPointF>("pixel");
        // Pixels from PROJ's EPSG:3857 metres (cs2cs), the world 1024 pixels
        // wide. Both signs of each coordinate, and every value within ±90, so
        // that a sign or an exchange of the two would show.
        QTest::newRow("Paris") << 48.8566 << 2.3522 << QPointF(518.69, 352.29);
        QTest::newRow("New York") << 40.7128 << -74.0060 << QPointF(301.49, 385.00);
        QTest::newRow("Rio de Janeiro") << -22.9068 << -43.1729 << QPointF(389.20, 578.97);
        QTest::newRow("Cape Town") << -33.9249 << 18.4241 << QPointF(564.41, 614.69);
    }
    void pinOnItsPixel() {
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        QFETCH(QPointF, pixel);
        MapView view;
        view.resize(1024, 1024);
        view.setZoom(2);
        view.centerOn(0, 0);
        view.setPosition(std::pair{latitude, longitude});
        const QPointF tip = PinTip(view.grab().toImage());
        QVERIFY2(std::abs(tip.x() - pixel.x()) <= 1.5 && std::abs(tip.y() - pixel.y()) <= 2.5,
                 qPrintable(QStringLiteral("pin at %1, %2").arg(tip.x()).arg(tip.y())));
        // A click on that pixel gives the position back within a pixel's worth.
        QSignalSpy picked(&view, &MapView::positionPicked);
        QTest::mouseClick(&view, Qt::LeftButton, {}, pixel.toPoint());
        QCOMPARE(picked.size(), 1);
        const double pixelDegrees = quillet::LongitudePerPixel(2);
        QVERIFY(std::abs(picked[0][0].toDouble() - latitude) <= pixelDegrees);
        QVERIFY(std::abs(picked[0][1].toDouble() - longitude) <= pixelDegrees);
    }

    void clickRoundsToAPixelsWorth() {
        MapView view;
        view.resize(400, 300);
        view.setZoom(14);
        view.centerOn(48.8566, 2.3522);
        QSignalSpy picked(&view, &MapView::positionPicked);
        QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(200, 150));
        QCOMPARE(picked.size(), 1);
        // A pixel at zoom 14 is 2.1e-5° of longitude and 1.4e-5° of latitude.
        QCOMPARE(picked[0][2].toInt(), 5);
        QCOMPARE(picked[0][3].toInt(), 5);
        QVERIFY(std::abs(picked[0][0].toDouble() - 48.8566) <= quillet::LatitudePerPixel(14, 48.8566));
        QVERIFY(std::abs(picked[0][1].toDouble() - 2.3522) <= quillet::LongitudePerPixel(14));
        const double scaled = picked[0][0].toDouble() * 1e5;
        QCOMPARE(scaled, std::round(scaled));
    }

    void dragPansAndPicksNothing() {
        MapView view;
        view.resize(400, 300);
        view.setZoom(4);
        view.centerOn(10, 10);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QSignalSpy picked(&view, &MapView::positionPicked);
        const auto before = view.PositionAt({200, 150});
        QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(200, 150));
        QTest::mouseMove(&view, QPoint(230, 170));
        QTest::mouseMove(&view, QPoint(260, 190));
        QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(260, 190));
        QCOMPARE(picked.size(), 0);
        // What was under the pointer went with it.
        const auto after = view.PositionAt({260, 190});
        QVERIFY(std::abs(after->first - before->first) < 1e-9 && std::abs(after->second - before->second) < 1e-9);
    }

    void wheelKeysAndDoubleClickZoomAboutThePointer() {
        MapView view;
        view.resize(400, 300);
        view.setZoom(3);
        view.centerOn(45, 5);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QPointF pointer(300, 100);
        const auto under = view.PositionAt(pointer);
        QWheelEvent wheel(pointer, view.mapToGlobal(pointer), {}, {0, 240}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &wheel);
        QCOMPARE(view.zoom(), 5);
        const auto still = view.PositionAt(pointer);
        QVERIFY(std::abs(still->first - under->first) < 1e-9 && std::abs(still->second - under->second) < 1e-9);
        QTest::mouseDClick(&view, Qt::LeftButton, {}, pointer.toPoint());
        QCOMPARE(view.zoom(), 6);
        view.setFocus();
        QTest::keyClick(&view, Qt::Key_Minus);
        QTest::keyClick(&view, Qt::Key_Minus);
        QCOMPARE(view.zoom(), 4);
        QTest::keyClick(&view, Qt::Key_Plus);
        QCOMPARE(view.zoom(), 5);
    }

    void arrowsMoveACrossHairAndEnterPicks() {
        MapView view;
        view.resize(400, 300);
        view.setZoom(6);
        view.setPosition(std::pair{-20.0, 30.0});
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setFocus(Qt::TabFocusReason);
        QSignalSpy picked(&view, &MapView::positionPicked);
        for (int i = 0; i < 3; ++i) QTest::keyClick(&view, Qt::Key_Right);
        QTest::keyClick(&view, Qt::Key_Down);
        QTest::keyClick(&view, Qt::Key_Return);
        QCOMPARE(picked.size(), 1);
        // 30 pixels east and 10 south of the pin.
        const QPointF pin = view.PixelOf(-20, 30);
        const auto expected = view.PositionAt(pin + QPointF(30, 10));
        QVERIFY(std::abs(picked[0][0].toDouble() - expected->first) <= quillet::LatitudePerPixel(6, -20));
        QVERIFY(std::abs(picked[0][1].toDouble() - expected->second) <= quillet::LongitudePerPixel(6));
    }

    // Fiji's Vanua Levu is cut in two at 180° in the data: no line may show the cut.
    void noLineAlongTheAntimeridian() {
        MapView view;
        view.resize(400, 300);
        view.setZoom(6);
        view.centerOn(-16.3, 179.999);
        const QImage image = view.grab().toImage();
        const QPoint cut = view.PixelOf(-16.31, 180).toPoint();
        for (int dx = -1; dx <= 1; ++dx)
            QCOMPARE(image.pixelColor(cut + QPoint(dx, 0)), image.pixelColor(cut + QPoint(-5, 0)));
    }

    void beyondMercatorThePinStaysOnTheEdge() {
        MapPanel panel;
        panel.resize(400, 360);
        panel.setPosition(std::pair{89.5, 10.0});
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        const QPointF pin = panel.view()->PixelOf(89.5, 10);
        const QPointF edge = panel.view()->PixelOf(quillet::kMercatorMaxLatitude, 10);
        QVERIFY(std::abs(pin.x() - edge.x()) < 1e-6 && std::abs(pin.y() - edge.y()) < 1e-6);
        // The view keeps the edge in sight, and the pin is drawn there.
        QVERIFY(panel.view()->rect().contains(pin.toPoint()));
        QVERIFY(PinTip(panel.view()->grab().toImage()).x() >= 0);
        QCOMPARE(panel.countryLine()->text(), QStringLiteral("at sea"));
        QCOMPARE(panel.view()->accessibleDescription(),
                 QStringLiteral("at sea; 89.50000° N, 10.00000° E; the pole is off the map"));
    }

    void countryLineAndDescriptionFollowThePosition() {
        MapPanel panel;
        QCOMPARE(panel.view()->accessibleName(), QStringLiteral("Map"));
        panel.setPosition(std::pair{48.8566, 2.3522});
        QCOMPARE(panel.countryLine()->text(), QString());  // not looked up while hidden
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QCOMPARE(panel.countryLine()->text(), QStringLiteral("France"));
        panel.setPosition(std::pair{-33.85, 151.45});
        QCOMPARE(panel.countryLine()->text(), QStringLiteral("at sea, near Australia"));
        QCOMPARE(panel.view()->accessibleDescription(), QStringLiteral("at sea, near Australia; 33.85000° S, 151.45000° E"));
        panel.setPosition(std::nullopt);
        QCOMPARE(panel.countryLine()->text(), QString());
    }

    // The street map.

    void tileAddresses() {
        const QString pattern = QStringLiteral("http://127.0.0.1:8080/{z}/{x}/{y}.png");
        QCOMPARE(TileLoader::TileUrl(pattern, quillet::TileOf(48.8566, 2.3522, 10)).toString(),
                 QStringLiteral("http://127.0.0.1:8080/10/518/352.png"));
        QCOMPARE(TileLoader::TileUrl(pattern, quillet::TileOf(-33.8688, 151.2093, 12)).toString(),
                 QStringLiteral("http://127.0.0.1:8080/12/3768/2457.png"));
        for (const char* bad : {"file:///tmp/{z}/{x}/{y}.png", "http://127.0.0.1/{z}/{x}.png", "ftp://h/{z}/{x}/{y}",
                                "http:///{z}/{x}/{y}.png"})
            QVERIFY2(TileLoader::TileUrl(QString::fromLatin1(bad), {1, 0, 0}).isEmpty(), bad);
        QCOMPARE(TileLoader::UrlTemplate(), QStringLiteral("https://tile.openstreetmap.org/{z}/{x}/{y}.png"));
        qputenv("QUILLET_TILE_URL", pattern.toUtf8());
        QCOMPARE(TileLoader::UrlTemplate(), pattern);
    }

    void tilesComeOnceWithTheProgramsName() {
        TileServer server;
        qputenv("QUILLET_TILE_URL", server.Template().toUtf8());
        const TileAddress paris = quillet::TileOf(48.8566, 2.3522, 10);
        {
            TileLoader loader;
            QSignalSpy arrived(&loader, &TileLoader::tileArrived);
            loader.Want({paris});
            QVERIFY(arrived.wait(5000));
            QCOMPARE(loader.Tile(paris).size(), QSize(256, 256));
            QCOMPARE(server.paths, QStringList{QStringLiteral("/10/518/352.png")});
            QCOMPARE(server.userAgents, QStringList{QStringLiteral("GPS Quillet/1.00")});
        }
        // A new loader, as after a restart, finds the tile on disk and fresh.
        TileLoader again;
        QSignalSpy arrived(&again, &TileLoader::tileArrived);
        again.Want({paris});
        QVERIFY(arrived.wait(5000));
        QCOMPARE(server.paths.size(), 1);
        QVERIFY(QDir(TileLoader::CacheFolder()).exists());
    }

    void twoRequestsAtMost() {
        TileServer server;
        qputenv("QUILLET_TILE_URL", server.Template(QStringLiteral("hang/")).toUtf8());
        TileLoader loader;
        loader.setTimeout(400);
        QSignalSpy failed(&loader, &TileLoader::failed);
        loader.Want({{3, 0, 0}, {3, 1, 0}, {3, 2, 0}, {3, 3, 0}, {3, 4, 0}});
        QTest::qWait(250);
        QCOMPARE(server.paths.size(), 2);
        // Each hung request is dropped in time and the next one goes out.
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 5, 5000);
        QCOMPARE(server.paths.size(), 5);
        QCOMPARE(failed[0][0].toString(), QStringLiteral("no answer in time"));
    }

    void untrustedRepliesAreDropped_data() {
        QTest::addColumn<QString>("route");
        QTest::addColumn<QString>("reason");
        QTest::newRow("server error") << "fail/" << "the server answered 500";
        QTest::newRow("over 1 MiB") << "big/" << "a tile was larger than 1 MiB";
        QTest::newRow("wrong size") << "small/" << "a reply was not a tile";
        QTest::newRow("not a picture") << "text/" << "a reply was not a tile";
    }
    void untrustedRepliesAreDropped() {
        QFETCH(QString, route);
        QFETCH(QString, reason);
        TileServer server;
        qputenv("QUILLET_TILE_URL", server.Template(route).toUtf8());
        const TileAddress tile{2, 1, 1};
        for (int round = 0; round < 2; ++round) {
            TileLoader loader;
            QSignalSpy failed(&loader, &TileLoader::failed);
            loader.Want({tile});
            QVERIFY(failed.wait(5000));
            QCOMPARE(failed[0][0].toString(), reason);
            QVERIFY(loader.Tile(tile).isNull());
        }
        // Nothing of it was kept: the second loader asked again.
        QCOMPARE(server.paths.size(), 2);
    }

    void noRequestWhileClosedOrOff() {
        TileServer server;
        qputenv("QUILLET_TILE_URL", server.Template().toUtf8());
        MapPanel panel;
        panel.resize(400, 360);
        panel.setPosition(std::pair{48.8566, 2.3522});
        QTest::qWait(50);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QTest::qWait(100);
        QVERIFY(!panel.streetMapBox()->isChecked());
        QVERIFY(!panel.tileLoader()->hasNetwork());
        QCOMPARE(server.connections, 0);
        panel.streetMapBox()->click();
        QTRY_VERIFY_WITH_TIMEOUT(server.paths.size() >= 2, 5000);
        // The first view's tiles may still be coming: count once they stop.
        for (qsizetype before = 0; before != server.paths.size();) {
            before = server.paths.size();
            QTest::qWait(300);
        }
        // Remembered for the next start, which asks for tiles only once shown.
        const int asked = static_cast<int>(server.paths.size());
        MapPanel next;
        next.resize(400, 360);
        next.setPosition(std::pair{-22.9068, -43.1729});
        QTest::qWait(100);
        QVERIFY(!next.streetMapBox()->isChecked());
        QVERIFY(!next.tileLoader()->hasNetwork());
        QCOMPARE(server.paths.size(), asked);
        next.show();
        QVERIFY(QTest::qWaitForWindowExposed(&next));
        QVERIFY(next.streetMapBox()->isChecked());
        QVERIFY(next.view()->streetMap());
    }

    void aFailingServerIsToldOnce() {
        TileServer server;
        qputenv("QUILLET_TILE_URL", server.Template(QStringLiteral("fail/")).toUtf8());
        MapPanel panel;
        panel.resize(600, 500);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QSignalSpy status(&panel, &MapPanel::statusMessage);
        panel.streetMapBox()->click();
        QTRY_VERIFY_WITH_TIMEOUT(server.paths.size() >= 4, 5000);
        QTest::qWait(100);
        QCOMPARE(status.size(), 1);
        QCOMPARE(status[0][0].toString(), QStringLiteral("Street map unavailable: the server answered 500"));
        // The outlines are still drawn, and the map still answers.
        QSignalSpy picked(panel.view(), &MapView::positionPicked);
        QTest::mouseClick(panel.view(), Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(picked.size(), 1);
        // Off, then on again: told again.
        panel.streetMapBox()->click();
        panel.streetMapBox()->click();
        QTRY_COMPARE_WITH_TIMEOUT(status.size(), 2, 5000);
    }

    void aRefusedConnectionIsNamed() {
        quint16 port = 0;
        {
            QTcpServer closed;
            closed.listen(QHostAddress::LocalHost);
            port = closed.serverPort();
        }
        qputenv("QUILLET_TILE_URL", QStringLiteral("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(port).toUtf8());
        TileLoader loader;
        QSignalSpy failed(&loader, &TileLoader::failed);
        loader.Want({{1, 0, 0}});
        QVERIFY(failed.wait(5000));
        QCOMPARE(failed[0][0].toString(), QStringLiteral("connection refused"));
    }

    // Pictures to look at: the panel with the outlines alone, and with the
    // street map from the test server.
    void screenshot() {
        const QByteArray folder = qgetenv("QUILLET_MAP_SCREENSHOTS");
        if (folder.isEmpty()) QSKIP("set QUILLET_MAP_SCREENSHOTS to a folder to get pictures of the map");
        TileServer server;
        qputenv("QUILLET_TILE_URL", server.Template().toUtf8());
        MapPanel panel;
        panel.resize(420, 380);
        panel.setPosition(std::pair{48.8566, 2.3522});
        panel.view()->setZoom(4);
        panel.view()->centerOn(48.8566, 2.3522);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        const QString scale = QString::number(panel.devicePixelRatio());
        const QString name = QString::fromLocal8Bit(folder) + QStringLiteral("/map-scale") + scale;
        QVERIFY(panel.grab().save(name + QStringLiteral(".png")));
        panel.streetMapBox()->click();
        QTRY_VERIFY_WITH_TIMEOUT(server.paths.size() >= 4, 5000);
        QTest::qWait(300);
        QVERIFY(panel.grab().save(name + QStringLiteral("-street.png")));
    }
};

int main(int argc, char* argv[]) {
    // Settings and tiles in folders of the test's own, never the person's.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_CACHE_HOME", (home.path() + QStringLiteral("/cache")).toUtf8());
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("GPS Quillet"));
    MapTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "map_test.moc"
