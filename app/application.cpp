#include "app/application.h"

#include "values/values.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QLocale>
#include <QPixmap>
#include <QStyle>
#include <QStyleFactory>

// The icon lives in a static library; naming its resources here keeps the
// linker from dropping them.
static void LoadResources() { Q_INIT_RESOURCE(resources); }

namespace quillet {

namespace {

// One picture of the icon, from its raw RGBA pixels.
QPixmap IconPicture(const QString& resource, int side) {
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray pixels = file.readAll();
    if (pixels.size() != side * side * 4) return {};
    const QImage image(reinterpret_cast<const uchar*>(pixels.constData()), side, side, side * 4,
                       QImage::Format_RGBA8888);
    return QPixmap::fromImage(image.copy());
}

}  // namespace

// The icon is the pixels of gps-quillet.png and gps-quillet-64.png as raw
// RGBA: decoding a PNG made Qt load every image-format plugin it has (GIF,
// ICO, JPEG...) at start-up. The 64-pixel picture keeps it sharp at twice
// the scale.
QIcon WindowIcon() {
    QIcon icon;
    icon.addPixmap(IconPicture(QStringLiteral(":/gps-quillet.rgba"), 32));
    icon.addPixmap(IconPicture(QStringLiteral(":/gps-quillet-64.rgba"), 64));
    return icon;
}

void ConfigureApplication(QApplication& application) {
    LoadResources();
    QApplication::setApplicationName(QString::fromUtf8(kApplicationName));
    QApplication::setApplicationVersion(QString::fromUtf8(kApplicationVersion));
    application.setProperty("description", QString::fromUtf8(kApplicationDescription));
    // Ties the window to its desktop entry, so the shell shows its name and icon.
    QApplication::setDesktopFileName(QStringLiteral(QUILLET_APP_ID));
    QApplication::setWindowIcon(WindowIcon());
    // Boxes read the desktop's decimal separator as well as ".".
    const QString separator = QLocale::system().decimalPoint();
    if (separator.size() == 1 && separator.at(0).unicode() < 0x80)
        SetUserDecimalSeparator(static_cast<char>(separator.at(0).unicode()));
    // The layout is fixed to the pixel, so it gets one style and its light
    // palette everywhere: a desktop style with wider frames or a dark theme
    // would clip captions or hide the grey of the unused direction boxes.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(fusion);
        QApplication::setPalette(fusion->standardPalette());
    }
}

}  // namespace quillet
