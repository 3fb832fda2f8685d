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
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/gps-quillet.png")));
    // The layout is fixed to the pixel, so it gets one style and its light
    // palette everywhere: a desktop style with wider frames or a dark theme
    // would clip captions or hide the grey of the unused direction boxes.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(fusion);
        QApplication::setPalette(fusion->standardPalette());
    }
}

}  // namespace quillet
