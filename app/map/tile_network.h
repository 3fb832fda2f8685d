// The street map's network. QtNetwork, and the libraries it brings with it
// (Kerberos, libproxy), live in a module of their own that is loaded the
// first time a person switches the street map on: linked into the window,
// they were loaded at every start of it, street map or not.
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

namespace quillet {

struct TileReply {
    QByteArray data;  // the reply's body, at most the asked bytes and one more
    QString error;    // why there is none, in a few words ("host not found")
};

class TileNetwork {
public:
    virtual ~TileNetwork() = default;
    // Fetches `url` through the disk cache, with the program's User-Agent.
    // `done` is called once, later, on this thread: with the body, or with
    // the reason when the reply failed, grew past `maxBytes` or took longer
    // than `timeoutMs` in all. Never called once the network is destroyed.
    virtual void Get(const QUrl& url, qint64 maxBytes, int timeoutMs, std::function<void(TileReply)> done) = 0;
    // Aborts every request in flight; their `done` still comes, with an error.
    virtual void AbortAll() = 0;
    // Drops `url` from the disk cache: what failed is never kept.
    virtual void Forget(const QUrl& url) = 0;
};

// The network, its disk cache in `cacheFolder`; nothing, with `why` set,
// when the module cannot be loaded.
std::unique_ptr<TileNetwork> OpenTileNetwork(const QString& cacheFolder, const QByteArray& userAgent, QString& why);

}  // namespace quillet

// The module's one entry point.
extern "C" quillet::TileNetwork* QuilletOpenTileNetwork(const QString& cacheFolder, const QByteArray& userAgent);
