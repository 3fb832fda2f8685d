#include "app/tile_loader.h"

#include "app/application.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

#include <memory>

namespace quillet {

namespace {

const char* const kDefaultTiles = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";

QString Reason(QNetworkReply::NetworkError error, int status) {
    switch (error) {
        case QNetworkReply::HostNotFoundError: return QStringLiteral("host not found");
        case QNetworkReply::ConnectionRefusedError: return QStringLiteral("connection refused");
        case QNetworkReply::TimeoutError:
        case QNetworkReply::OperationCanceledError: return QStringLiteral("no answer in time");
        case QNetworkReply::RemoteHostClosedError: return QStringLiteral("the server closed the connection");
        case QNetworkReply::SslHandshakeFailedError: return QStringLiteral("secure connection failed");
        case QNetworkReply::TooManyRedirectsError:
        case QNetworkReply::InsecureRedirectError: return QStringLiteral("redirected too often or unsafely");
        default: break;
    }
    if (status >= 400) return QStringLiteral("the server answered %1").arg(status);
    return QStringLiteral("network error");
}

// Only PNG and JPEG are decoded, recognised by their first bytes: no other
// decoder ever sees a server's bytes.
QByteArray PictureFormat(const QByteArray& data) {
    if (data.startsWith("\x89PNG\r\n\x1a\n")) return "png";
    if (data.startsWith("\xff\xd8\xff")) return "jpeg";
    return {};
}

}  // namespace

TileLoader::TileLoader(QObject* parent) : QObject(parent) {}

QString TileLoader::UrlTemplate() {
    const QString fromEnvironment = qEnvironmentVariable("QUILLET_TILE_URL");
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
    return Settings()->value(QStringLiteral("map/tileUrl"), QString::fromLatin1(kDefaultTiles)).toString();
}

QUrl TileLoader::TileUrl(const QString& urlTemplate, const TileAddress& tile) {
    const QString z = QStringLiteral("{z}"), x = QStringLiteral("{x}"), y = QStringLiteral("{y}");
    if (!urlTemplate.contains(z) || !urlTemplate.contains(x) || !urlTemplate.contains(y)) return {};
    QString filled = urlTemplate;
    filled.replace(z, QString::number(tile.zoom)).replace(x, QString::number(tile.x)).replace(y, QString::number(tile.y));
    const QUrl url(filled, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    return url;
}

QByteArray TileLoader::UserAgent() {
    return QByteArray(kApplicationName) + '/' + kApplicationVersion;
}

QString TileLoader::CacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/gps-quillet/tiles");
}

std::unique_ptr<QSettings> TileLoader::Settings() {
    const QString name = QStringLiteral("gps-quillet");
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, name, name);
}

quint64 TileLoader::Key(const TileAddress& tile) {
    return static_cast<quint64>(tile.zoom) << 58 | static_cast<quint64>(tile.x) << 29 | static_cast<quint64>(tile.y);
}

QImage TileLoader::Tile(const TileAddress& tile) const {
    const QImage* image = tiles_.object(Key(tile));
    return image ? *image : QImage();
}

void TileLoader::Want(const std::vector<TileAddress>& tiles) {
    wanted_.clear();
    for (const TileAddress& tile : tiles) {
        const quint64 key = Key(tile);
        if (!tiles_.contains(key) && !inFlight_.contains(key) && !failedTiles_.contains(key)) wanted_.push_back(tile);
    }
    StartNext();
}

void TileLoader::Stop() {
    wanted_.clear();
    failedTiles_.clear();
    inFlight_.clear();
    ++generation_;
    urlTemplate_.clear();
    if (!network_) return;
    for (QNetworkReply* reply : network_->findChildren<QNetworkReply*>()) reply->abort();
}

void TileLoader::StartNext() {
    while (inFlight_.size() < kMaxRequests && !wanted_.empty()) {
        const TileAddress tile = wanted_.front();
        wanted_.pop_front();
        if (urlTemplate_.isEmpty()) urlTemplate_ = UrlTemplate();
        const QUrl url = TileUrl(urlTemplate_, tile);
        if (url.isEmpty()) {
            Fail(tile, url, QStringLiteral("the tile address is not valid"));
            continue;
        }
        Fetch(tile, url);
    }
}

void TileLoader::Fetch(const TileAddress& tile, const QUrl& url) {
    if (!network_) {
        network_ = new QNetworkAccessManager(this);
        auto* cache = new QNetworkDiskCache(network_);
        cache->setCacheDirectory(CacheFolder());
        cache->setMaximumCacheSize(64 << 20);
        network_->setCache(cache);
    }
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent());
    // Fresh tiles come from the disk; stale ones are revalidated by the server.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::PreferCache);
    request.setMaximumRedirectsAllowed(3);
    inFlight_.insert(Key(tile));
    QNetworkReply* reply = network_->get(request);
    auto outcome = std::make_shared<Outcome>();
    outcome->generation = generation_;
    const auto checkSize = [reply, outcome](qint64 bytes) {
        if (bytes <= kMaxReplyBytes || outcome->tooLarge) return;
        outcome->tooLarge = true;
        reply->abort();
    };
    connect(reply, &QNetworkReply::metaDataChanged, this, [reply, checkSize] {
        checkSize(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
    });
    connect(reply, &QNetworkReply::downloadProgress, this,
            [checkSize](qint64 received, qint64 total) { checkSize(std::max(received, total)); });
    // The whole reply's time is limited, not only the silences: a server
    // that trickles its bytes is dropped too.
    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, reply, [reply, outcome] {
        outcome->timedOut = true;
        reply->abort();
    });
    deadline->start(timeoutMs_);
    connect(reply, &QNetworkReply::finished, this, [this, reply, tile, outcome] { Finished(reply, tile, *outcome); });
}

void TileLoader::Finished(QNetworkReply* reply, const TileAddress& tile, const Outcome& outcome) {
    reply->deleteLater();
    // What Stop() aborted is neither a tile nor a failure to report.
    if (outcome.generation != generation_) return;
    inFlight_.remove(Key(tile));
    const QUrl url = reply->request().url();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (outcome.tooLarge) {
        Fail(tile, url, QStringLiteral("a tile was larger than 1 MiB"));
    } else if (outcome.timedOut) {
        Fail(tile, url, QStringLiteral("no answer in time"));
    } else if (reply->error() != QNetworkReply::NoError) {
        Fail(tile, url, Reason(reply->error(), status));
    } else {
        const QByteArray data = reply->read(kMaxReplyBytes + 1);
        QBuffer buffer;
        buffer.setData(data);
        const QByteArray format = PictureFormat(data);
        QImageReader reader(&buffer, format);
        const QSize tileSize(kTileSize, kTileSize);
        QImage image;
        // The header's size is read before any pixel is decoded.
        if (data.size() <= kMaxReplyBytes && !format.isEmpty() && reader.size() == tileSize) image = reader.read();
        if (image.size() == tileSize) {
            tiles_.insert(Key(tile), new QImage(std::move(image)));
            emit tileArrived();
        } else {
            Fail(tile, url, QStringLiteral("a reply was not a tile"));
        }
    }
    StartNext();
}

void TileLoader::Fail(const TileAddress& tile, const QUrl& url, const QString& reason) {
    failedTiles_.insert(Key(tile));
    // What failed is never kept for next time.
    if (network_ && network_->cache() && url.isValid()) network_->cache()->remove(url);
    emit failed(reason);
}

}  // namespace quillet
