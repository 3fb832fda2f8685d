// The map: country outlines in Web Mercator, the position as a pin, and the
// street map's tiles under the outlines when switched on. Wheel, + and -
// zoom about the pointer, a drag pans, a double click zooms in; a click (not
// a drag) picks the position under it, and so do the arrows and Enter with
// a cross-hair.
#pragma once

#include "places/web_mercator.h"

#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QWidget>

#include <optional>
#include <utility>
#include <vector>

namespace quillet {

class TileLoader;

class MapView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxZoom = 18;
    using Position = std::optional<std::pair<double, double>>;  // latitude, longitude

    explicit MapView(QWidget* parent = nullptr);

    // The pin; the view pans to it when it is out of sight.
    void setPosition(Position position);
    Position position() const { return position_; }

    int zoom() const { return zoom_; }
    void setZoom(int zoom);
    void centerOn(double latitude, double longitude);
    // Where a position is drawn, in the widget's pixels (the copy of the
    // world nearest the centre); latitudes beyond Web Mercator's on its edge.
    QPointF PixelOf(double latitude, double longitude) const;
    // The position under a pixel, unrounded; nothing off the world's top or bottom.
    Position PositionAt(QPointF pixel) const;
    // The position under a pixel, rounded to what a pixel is worth at this zoom.
    struct Pick {
        double latitude;
        double longitude;
        int latitudeDecimals;
        int longitudeDecimals;
    };
    std::optional<Pick> PickAt(QPointF pixel) const;

    // Tiles under the outlines from this loader; nullptr for outlines alone.
    void setStreetMap(TileLoader* loader);
    bool streetMap() const { return tiles_ != nullptr; }

    QSize sizeHint() const override;

signals:
    void positionPicked(double latitude, double longitude, int latitudeDecimals, int longitudeDecimals);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Country {
        std::vector<QPolygonF> rings;  // in world units, 0..1
        QRectF bounds;
    };
    void LoadOutlines();
    double Scale() const { return WorldPixels(zoom_); }
    QPointF Origin() const;
    void ZoomAbout(QPointF pixel, int steps);
    void PanBy(QPointF pixels);
    void KeepInsideWorld();
    void MoveCrossHair(QPointF pixels);
    void PickAtPixel(QPointF pixel);
    void DrawTiles(class QPainter& painter);
    void DrawOutlines(QPainter& painter);
    void DrawPin(QPainter& painter);
    void DrawCrossHair(QPainter& painter);
    void DrawScaleBar(QPainter& painter);
    void DrawAttribution(QPainter& painter);

    std::vector<Country> countries_;
    bool outlinesLoaded_ = false;
    Position position_;
    int zoom_ = 1;
    WorldPoint center_{0.5, 0.5};
    TileLoader* tiles_ = nullptr;
    // The press of a click or drag, and whether it has become a drag.
    std::optional<QPointF> pressedAt_;
    QPointF lastMouse_;
    bool dragging_ = false;
    bool doubleClicked_ = false;
    int wheelAngle_ = 0;
    // The keyboard's cross-hair, in world units; shown while the map has the focus.
    std::optional<WorldPoint> crossHair_;
};

}  // namespace quillet
