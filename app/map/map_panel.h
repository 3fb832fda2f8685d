// The map with what belongs to it: the country line under it and the street
// map's check box. Nothing is read from disk or the network until it is first
// shown, and the network only while the street map is switched on.
#pragma once

#include "app/map/map_view.h"

#include <QWidget>

class QCheckBox;
class QLabel;

namespace quillet {

class TileLoader;

class MapPanel : public QWidget {
    Q_OBJECT
public:
    explicit MapPanel(QWidget* parent = nullptr);

    // The position the form shows, or none.
    void setPosition(MapView::Position position);

    MapView* view() const { return view_; }
    QLabel* countryLine() const { return country_; }
    QCheckBox* streetMapBox() const { return streetMap_; }
    TileLoader* tileLoader() const { return tiles_; }

    // "France; 48.85660° N, 2.35220° E": what a screen reader says of the map.
    static QString Description(const QString& countryLine, MapView::Position position);

signals:
    // A click or Enter on the map, rounded to what a pixel is worth.
    void positionPicked(double latitude, double longitude, int latitudeDecimals, int longitudeDecimals);
    // One line for the window's status line.
    void statusMessage(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Refresh();
    void SwitchStreetMap(bool on);

    MapView* view_;
    QLabel* country_;
    QCheckBox* streetMap_;
    TileLoader* tiles_;
    bool settingsRead_ = false;
    bool stale_ = true;
    // A failure is told once each time the street map is switched on.
    bool failureTold_ = false;
};

}  // namespace quillet
