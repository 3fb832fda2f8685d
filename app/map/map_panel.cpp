#include "app/map/map_panel.h"

#include "app/map/tile_loader.h"
#include "places/country_lookup.h"

#include <QCheckBox>
#include <QLabel>
#include <QSettings>
#include <QVBoxLayout>

#include <cmath>

namespace quillet {

namespace {
const char* const kStreetMapKey = "map/streetMap";
}  // namespace

MapPanel::MapPanel(QWidget* parent)
    : QWidget(parent), view_(new MapView(this)), country_(new QLabel(this)),
      streetMap_(new QCheckBox(QStringLiteral("Street map (OpenStreetMap)"), this)), tiles_(new TileLoader(this)) {
    view_->setObjectName(QStringLiteral("mapView"));
    country_->setObjectName(QStringLiteral("lblCountry"));
    streetMap_->setObjectName(QStringLiteral("chkStreetMap"));
    country_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(view_, 1);
    layout->addWidget(country_);
    layout->addWidget(streetMap_);
    connect(view_, &MapView::positionPicked, this, &MapPanel::positionPicked);
    connect(streetMap_, &QCheckBox::toggled, this, [this](bool on) {
        TileLoader::Settings()->setValue(QLatin1String(kStreetMapKey), on);
        SwitchStreetMap(on);
    });
    connect(tiles_, &TileLoader::failed, this, [this](const QString& reason) {
        if (std::exchange(failureTold_, true)) return;
        emit statusMessage(QStringLiteral("Street map unavailable: %1").arg(reason));
    });
}

QString MapPanel::Description(const QString& countryLine, MapView::Position position) {
    if (!position) return QStringLiteral("No position");
    const auto [latitude, longitude] = *position;
    const QString where = QStringLiteral("%1° %2, %3° %4")
                              .arg(std::abs(latitude), 0, 'f', 5)
                              .arg(latitude < 0 ? QLatin1Char('S') : QLatin1Char('N'))
                              .arg(std::abs(longitude), 0, 'f', 5)
                              .arg(longitude < 0 ? QLatin1Char('W') : QLatin1Char('E'));
    QString text = countryLine + QStringLiteral("; ") + where;
    if (std::abs(latitude) > kMercatorMaxLatitude) text += QStringLiteral("; the pole is off the map");
    return text;
}

void MapPanel::setPosition(MapView::Position position) {
    view_->setPosition(position);
    stale_ = true;
    // The outlines are read on the panel's first showing, not before.
    if (isVisible()) Refresh();
}

void MapPanel::Refresh() {
    stale_ = false;
    const MapView::Position position = view_->position();
    const QString line =
        position ? QString::fromStdString(PlaceLine(LookUpPlace(position->first, position->second))) : QString();
    country_->setText(line);
    view_->setAccessibleDescription(Description(line, position));
}

void MapPanel::showEvent(QShowEvent* event) {
    if (!std::exchange(settingsRead_, true)) {
        // Checking the box switches the street map on through its handler.
        const QSignalBlocker quiet(streetMap_);
        streetMap_->setChecked(TileLoader::Settings()->value(QLatin1String(kStreetMapKey), false).toBool());
        SwitchStreetMap(streetMap_->isChecked());
    }
    if (stale_) Refresh();
    QWidget::showEvent(event);
}

void MapPanel::SwitchStreetMap(bool on) {
    failureTold_ = false;
    if (!on) tiles_->Stop();
    view_->setStreetMap(on ? tiles_ : nullptr);
}

}  // namespace quillet
