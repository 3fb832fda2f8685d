// The street map's network, built as a module of its own and loaded on
// first use (see tile_network.h): QtNetwork with a disk cache, every reply
// limited in size and time before anything of it is handed on.
#include "app/map/tile_network.h"

#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <algorithm>

namespace quillet {

namespace {

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

class NetworkTiles final : public TileNetwork {
public:
    NetworkTiles(const QString& cacheFolder, const QByteArray& userAgent) : userAgent_(userAgent) {
        auto* cache = new QNetworkDiskCache(&network_);
        cache->setCacheDirectory(cacheFolder);
        cache->setMaximumCacheSize(64 << 20);
        network_.setCache(cache);
    }

    ~NetworkTiles() override {
        // Replies deleted with the manager must call no one back.
        for (QNetworkReply* reply : network_.findChildren<QNetworkReply*>()) reply->disconnect();
    }

    void Get(const QUrl& url, qint64 maxBytes, int timeoutMs, std::function<void(TileReply)> done) override {
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::UserAgentHeader, userAgent_);
        // Fresh tiles come from the disk; stale ones are revalidated by the server.
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::PreferCache);
        request.setMaximumRedirectsAllowed(3);
        QNetworkReply* reply = network_.get(request);
        struct Outcome {
            bool tooLarge = false;
            bool timedOut = false;
        };
        auto outcome = std::make_shared<Outcome>();
        const auto checkSize = [reply, outcome, maxBytes](qint64 bytes) {
            if (bytes <= maxBytes || outcome->tooLarge) return;
            outcome->tooLarge = true;
            reply->abort();
        };
        QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, checkSize] {
            checkSize(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
        });
        QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                         [checkSize](qint64 received, qint64 total) { checkSize(std::max(received, total)); });
        // The whole reply's time is limited, not only the silences: a server
        // that trickles its bytes is dropped too.
        auto* deadline = new QTimer(reply);
        deadline->setSingleShot(true);
        QObject::connect(deadline, &QTimer::timeout, reply, [reply, outcome] {
            outcome->timedOut = true;
            reply->abort();
        });
        deadline->start(timeoutMs);
        QObject::connect(reply, &QNetworkReply::finished, reply, [reply, outcome, maxBytes, done = std::move(done)] {
            reply->deleteLater();
            TileReply result;
            if (outcome->tooLarge)
                result.error = QStringLiteral("a tile was larger than 1 MiB");
            else if (outcome->timedOut)
                result.error = QStringLiteral("no answer in time");
            else if (reply->error() != QNetworkReply::NoError)
                result.error = Reason(reply->error(), reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt());
            else
                result.data = reply->read(maxBytes + 1);
            done(std::move(result));
        });
    }

    void AbortAll() override {
        for (QNetworkReply* reply : network_.findChildren<QNetworkReply*>()) reply->abort();
    }

    void Forget(const QUrl& url) override {
        if (network_.cache() && url.isValid()) network_.cache()->remove(url);
    }

private:
    QNetworkAccessManager network_;
    QByteArray userAgent_;
};

}  // namespace

}  // namespace quillet

extern "C" Q_DECL_EXPORT quillet::TileNetwork* QuilletOpenTileNetwork(const QString& cacheFolder,
                                                                      const QByteArray& userAgent) {
    try {
        return new quillet::NetworkTiles(cacheFolder, userAgent);
    } catch (...) {  // no memory left: no street map
        return nullptr;
    }
}
