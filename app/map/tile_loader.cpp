#include "app/map/tile_loader.h"

#include "app/application.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QLibrary>
#include <QSettings>
#include <QStandardPaths>

#include <memory>

namespace quillet {

namespace {

const char* const kDefaultTiles = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";

// Only PNG and JPEG are decoded, recognised by their first bytes: no other
// decoder ever sees a server's bytes.
QByteArray PictureFormat(const QByteArray& data) {
    if (data.startsWith("\x89PNG\r\n\x1a\n")) return "png";
    if (data.startsWith("\xff\xd8\xff")) return "jpeg";
    return {};
}

}  // namespace

std::unique_ptr<TileNetwork> OpenTileNetwork(const QString& cacheFolder, const QByteArray& userAgent, QString& why) {
    // Where the build left it, else where it is installed beside the program.
    const QString installed =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/gps-quillet/gps-quillet-tiles.so");
    for (const QString& path : {QStringLiteral(QUILLET_TILES_BUILT), installed}) {
        if (!QFileInfo::exists(path)) continue;
        QLibrary module(path);
        // Kept loaded: the network's code runs until the program ends.
        const auto open = reinterpret_cast<decltype(&QuilletOpenTileNetwork)>(module.resolve("QuilletOpenTileNetwork"));
        if (!open) {
            why = QStringLiteral("its module cannot be loaded");
            return nullptr;
        }
        std::unique_ptr<TileNetwork> network(open(cacheFolder, userAgent));
        if (!network) why = QStringLiteral("no memory left");
        return network;
    }
    why = QStringLiteral("its module is not installed");
    return nullptr;
}

TileLoader::TileLoader(QObject* parent) : QObject(parent) {}

TileLoader::~TileLoader() = default;

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
    if (network_) network_->AbortAll();
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
        QString why;
        network_ = OpenTileNetwork(CacheFolder(), UserAgent(), why);
        if (!network_) {
            Fail(tile, url, why);
            return;
        }
    }
    inFlight_.insert(Key(tile));
    network_->Get(url, kMaxReplyBytes, timeoutMs_, [this, tile, url, generation = generation_](TileReply reply) {
        Finished(tile, url, generation, reply);
    });
}

void TileLoader::Finished(const TileAddress& tile, const QUrl& url, int generation, const TileReply& reply) {
    // What Stop() aborted is neither a tile nor a failure to report.
    if (generation != generation_) return;
    inFlight_.remove(Key(tile));
    if (!reply.error.isEmpty()) {
        Fail(tile, url, reply.error);
    } else {
        const QByteArray& data = reply.data;
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
    if (network_ && url.isValid()) network_->Forget(url);
    emit failed(reason);
}

}  // namespace quillet
