#include "app/application.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QStyle>
#include <QStyleFactory>

// The icon lives in a static library; naming its resources here keeps the
// linker from dropping them.
static void LoadResources() { Q_INIT_RESOURCE(resources); }

namespace quillet {

// The icon is gps-quillet.png's pixels as raw RGBA: decoding the PNG made Qt
// load every image-format plugin it has (GIF, ICO, JPEG...) at start-up.
QIcon WindowIcon() {
    constexpr int kSide = 32;
    QFile file(QStringLiteral(":/gps-quillet.rgba"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray pixels = file.readAll();
    if (pixels.size() != kSide * kSide * 4) return {};
    const QImage image(reinterpret_cast<const uchar*>(pixels.constData()), kSide, kSide, kSide * 4,
                       QImage::Format_RGBA8888);
    return QIcon(QPixmap::fromImage(image.copy()));
}

void ConfigureApplication(QApplication& application) {
    LoadResources();
    QApplication::setApplicationName(QString::fromUtf8(kApplicationName));
    QApplication::setApplicationVersion(QString::fromUtf8(kApplicationVersion));
    application.setProperty("description", QString::fromUtf8(kApplicationDescription));
    QApplication::setWindowIcon(WindowIcon());
    // The layout is fixed to the pixel, so it gets one style and its light
    // palette everywhere: a desktop style with wider frames or a dark theme
    // would clip captions or hide the grey of the unused direction boxes.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(fusion);
        QApplication::setPalette(fusion->standardPalette());
    }
}

}  // namespace quillet
