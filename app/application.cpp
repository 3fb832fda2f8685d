#include "app/application.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <QStyleFactory>

// The icon lives in a static library; naming its resources here keeps the
// linker from dropping them.
static void LoadResources() { Q_INIT_RESOURCE(resources); }

namespace quillet {

void ConfigureApplication(QApplication& application) {
    LoadResources();
    QApplication::setApplicationName(QString::fromUtf8(kApplicationName));
    QApplication::setApplicationVersion(QString::fromUtf8(kApplicationVersion));
    application.setProperty("description", QString::fromUtf8(kApplicationDescription));
    // Ties the window to its desktop entry, so the shell shows its name and icon.
    QApplication::setDesktopFileName(QStringLiteral(QUILLET_APP_ID));
    // 64 pixels keep the 32-pixel icon sharp on a screen at twice the scale.
    QIcon icon;
    icon.addFile(QStringLiteral(":/gps-quillet.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/gps-quillet-64.png"), QSize(64, 64));
    QApplication::setWindowIcon(icon);
    // The layout is fixed to the pixel, so it gets one style and its light
    // palette everywhere: a desktop style with wider frames or a dark theme
    // would clip captions or hide the grey of the unused direction boxes.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(fusion);
        QApplication::setPalette(fusion->standardPalette());
    }
}

}  // namespace quillet
