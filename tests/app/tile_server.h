// A tile server on 127.0.0.1 for the map's tests, in the test's own event
// loop: it counts requests, keeps their User-Agent, and answers by the
// path's first part: a generated 256×256 PNG tile (cacheable for an hour),
// "fail" (HTTP 500), "hang" (never answers), "big" (2 MiB), "small" (a PNG
// of the wrong size) or "text" (not a picture).
#pragma once

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

class TileServer : public QObject {
public:
    TileServer() {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                ++connections;
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    // "http://127.0.0.1:PORT/ROUTE{z}/{x}/{y}.png", ROUTE empty or "hang/" and so on.
    QString Template(const QString& route = {}) const {
        return QStringLiteral("http://127.0.0.1:%1/%2{z}/{x}/{y}.png").arg(server_.serverPort()).arg(route);
    }

    int connections = 0;
    QStringList paths;
    QStringList userAgents;

private:
    void Read(QTcpSocket* socket) {
        QByteArray& request = pending_[socket];
        request += socket->readAll();
        qsizetype end = -1;
        while ((end = request.indexOf("\r\n\r\n")) >= 0) {
            const QByteArray head = request.left(end);
            request.remove(0, end + 4);
            const QList<QByteArray> lines = head.split('\n');
            const QByteArray path = lines.value(0).split(' ').value(1);
            paths << QString::fromLatin1(path);
            for (const QByteArray& line : lines)
                if (line.toLower().startsWith("user-agent:")) userAgents << QString::fromLatin1(line.mid(11).trimmed());
            Answer(socket, path);
        }
    }

    // A plain tile with its frame and its address written on it.
    static QByteArray Png(int side, const QByteArray& label = {}) {
        QImage image(side, side, QImage::Format_RGB32);
        image.fill(QColor(0xb8, 0xd8, 0xb0));
        QPainter painter(&image);
        painter.setPen(QColor(0x60, 0x80, 0x60));
        painter.drawRect(0, 0, side - 1, side - 1);
        painter.drawText(QRect(0, 0, side, side), Qt::AlignCenter, QString::fromLatin1(label));
        painter.end();
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return png;
    }

    static void Send(QTcpSocket* socket, const QByteArray& status, const QByteArray& type, const QByteArray& body) {
        socket->write("HTTP/1.1 " + status + "\r\nContent-Type: " + type + "\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\nCache-Control: max-age=3600\r\n\r\n" + body);
    }

    void Answer(QTcpSocket* socket, const QByteArray& path) {
        if (path.startsWith("/hang/")) return;
        if (path.startsWith("/fail/")) return Send(socket, "500 Internal Server Error", "text/plain", "no");
        if (path.startsWith("/big/")) return Send(socket, "200 OK", "image/png", Png(256) + QByteArray(2 << 20, 'x'));
        if (path.startsWith("/small/")) return Send(socket, "200 OK", "image/png", Png(100));
        if (path.startsWith("/text/")) return Send(socket, "200 OK", "text/html", QByteArray(300, '<'));
        Send(socket, "200 OK", "image/png", Png(256, path));
    }

    QTcpServer server_;
    QHash<QTcpSocket*, QByteArray> pending_;
};
