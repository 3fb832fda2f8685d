// The street map's tiles, fetched only while the person has it switched on:
// one network access manager made on the first request, at most two requests
// at once, a disk cache in the desktop's cache folder that honours the
// server's cache headers, and every reply taken as untrusted (size, time and
// picture checked before anything is kept).
#pragma once

#include "app/map/tile_network.h"
#include "places/web_mercator.h"

#include <QCache>
#include <QImage>
#include <QObject>
#include <QSettings>
#include <QSet>
#include <QString>
#include <QUrl>

#include <deque>
#include <memory>
#include <vector>

namespace quillet {

class TileLoader : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMaxReplyBytes = 1 << 20;
    static constexpr int kTimeoutMs = 5000;
    static constexpr int kMaxRequests = 2;

    explicit TileLoader(QObject* parent = nullptr);
    ~TileLoader() override;

    // The tile address: QUILLET_TILE_URL when set, else the "map/tileUrl"
    // setting, else OpenStreetMap's standard tiles.
    static QString UrlTemplate();
    // The template with {z}, {x} and {y} filled in; empty unless it is an
    // http or https address holding all three.
    static QUrl TileUrl(const QString& urlTemplate, const TileAddress& tile);
    // "GPS Quillet/1.00": the program and its version, as tile servers ask.
    static QByteArray UserAgent();
    // Where the tiles are kept: gps-quillet/tiles in the XDG cache folder.
    static QString CacheFolder();
    // The program's settings: gps-quillet/gps-quillet.conf in the XDG
    // config folder. The street map's state and its tile address are all it keeps.
    static std::unique_ptr<QSettings> Settings();

    // The longest a reply may take, start to end; tests shorten it.
    void setTimeout(int milliseconds) { timeoutMs_ = milliseconds; }

    // The tile's picture when it has arrived, else a null image.
    QImage Tile(const TileAddress& tile) const;
    // The tiles the view shows now, most wanted first. Replaces the earlier
    // wish: tiles scrolled away are never fetched.
    void Want(const std::vector<TileAddress>& tiles);
    // Forgets the wishes and the failures and aborts what is in flight (the
    // street map was switched off).
    void Stop();

    bool hasNetwork() const { return network_ != nullptr; }

signals:
    void tileArrived();
    // Why a tile could not be had, in a few words ("host not found").
    void failed(const QString& reason);

private:
    void StartNext();
    void Fetch(const TileAddress& tile, const QUrl& url);
    void Finished(const TileAddress& tile, const QUrl& url, int generation, const TileReply& reply);
    void Fail(const TileAddress& tile, const QUrl& url, const QString& reason);
    static quint64 Key(const TileAddress& tile);

    // Loaded with the first tile asked for.
    std::unique_ptr<TileNetwork> network_;
    // Decoded tiles, 256 KiB each: a few views' worth.
    QCache<quint64, QImage> tiles_{64};
    std::deque<TileAddress> wanted_;
    QSet<quint64> inFlight_;
    QSet<quint64> failedTiles_;
    QString urlTemplate_;
    // Counts the Stop()s, so that replies aborted by one are ignored.
    int generation_ = 0;
    int timeoutMs_ = kTimeoutMs;
};

}  // namespace quillet
