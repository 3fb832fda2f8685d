#include "app/map/map_view.h"

#include "app/map/tile_loader.h"
#include "places/country_lookup.h"
#include "values/values.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace quillet {

namespace {

const QColor kSea(0xcd, 0xe2, 0xef);
const QColor kLand(0xf3, 0xef, 0xe2);
const QColor kBorder(0x7d, 0x7d, 0x7d);
const QColor kPin(0xc6, 0x28, 0x28);
constexpr double kCrossHairStep = 10;
// The pin's whole drawing stays this far inside the view when it is shown.
constexpr double kPinMargin = 24;

// The fraction part of a world x, so that every copy of the world is one.
double WrappedX(double x) {
    x = std::fmod(x, 1.0);
    return x < 0 ? x + 1.0 : x;
}

// The lines where the data cuts countries at ±180° or at the map's bottom
// edge (Antarctica) are no coast or border: they are not drawn.
bool IsSeam(QPointF a, QPointF b) {
    return (a.x() == b.x() && (a.x() == 0 || a.x() == 1)) || (a.y() == 1 && b.y() == 1);
}

// Adds a ring's edges to `lines`, its seams left out; `pixels` is the ring
// on screen, closed.
void AddCoastAndBorders(QPainterPath& lines, const QPolygonF& ring, const QPolygonF& pixels) {
    bool drawing = false;
    for (qsizetype i = 0; i < ring.size(); ++i) {
        const qsizetype next = (i + 1) % ring.size();
        if (IsSeam(ring[i], ring[next])) {
            drawing = false;
            continue;
        }
        if (!drawing) lines.moveTo(pixels[i]);
        lines.lineTo(pixels[i + 1]);
        drawing = true;
    }
}

QString ScaleText(double metres) {
    return metres >= 1000 ? QStringLiteral("%1 km").arg(metres / 1000) : QStringLiteral("%1 m").arg(metres);
}

}  // namespace

MapView::MapView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    setCursor(Qt::CrossCursor);
    setAccessibleName(QStringLiteral("Map"));
}

QSize MapView::sizeHint() const { return {360, 260}; }

void MapView::LoadOutlines() {
    if (outlinesLoaded_) return;
    outlinesLoaded_ = true;
    const std::vector<CountryOutline>& outlines = CountryOutlines();
    countries_.reserve(outlines.size());
    for (const CountryOutline& outline : outlines) {
        Country& country = countries_.emplace_back();
        for (const auto& ring : outline.rings) {
            QPolygonF& polygon = country.rings.emplace_back();
            polygon.reserve(static_cast<qsizetype>(ring.size()));
            for (const OutlinePoint& point : ring) {
                const WorldPoint world = ToWorld(point.latitude / kOutlineUnitsPerDegree, point.longitude / kOutlineUnitsPerDegree);
                polygon.append({world.x, world.y});
            }
            country.bounds = country.bounds.isNull() ? polygon.boundingRect() : country.bounds.united(polygon.boundingRect());
        }
    }
}

QPointF MapView::Origin() const {
    return QPointF(width() / 2.0 - center_.x * Scale(), height() / 2.0 - center_.y * Scale());
}

QPointF MapView::PixelOf(double latitude, double longitude) const {
    const WorldPoint world = ToWorld(latitude, longitude);
    double dx = WrappedX(world.x) - center_.x;
    dx -= std::round(dx);
    return {width() / 2.0 + dx * Scale(), height() / 2.0 + (world.y - center_.y) * Scale()};
}

MapView::Position MapView::PositionAt(QPointF pixel) const {
    const WorldPoint world{center_.x + (pixel.x() - width() / 2.0) / Scale(),
                           center_.y + (pixel.y() - height() / 2.0) / Scale()};
    if (world.y < 0 || world.y > 1) return std::nullopt;
    double latitude = 0, longitude = 0;
    FromWorld(world, latitude, longitude);
    return std::pair{latitude, longitude};
}

std::optional<MapView::Pick> MapView::PickAt(QPointF pixel) const {
    const Position position = PositionAt(pixel);
    if (!position) return std::nullopt;
    const auto [latitude, longitude] = *position;
    const int latitudeDecimals = DecimalsFor(LatitudePerPixel(zoom_, latitude));
    const int longitudeDecimals = DecimalsFor(LongitudePerPixel(zoom_));
    return Pick{RoundHalfEven(latitude, latitudeDecimals), RoundHalfEven(longitude, longitudeDecimals),
                latitudeDecimals, longitudeDecimals};
}

void MapView::setPosition(Position position) {
    position_ = position;
    if (position_) {
        const QPointF pin = PixelOf(position_->first, position_->second);
        const QRectF inner = QRectF(rect()).adjusted(kPinMargin, kPinMargin, -kPinMargin, -kPinMargin);
        if (!inner.contains(pin)) centerOn(position_->first, position_->second);
    }
    update();
}

void MapView::resizeEvent(QResizeEvent* event) {
    KeepInsideWorld();
    // A position set before the view had its size is brought into sight.
    if (position_) setPosition(position_);
    QWidget::resizeEvent(event);
}

void MapView::setZoom(int zoom) {
    zoom_ = std::clamp(zoom, 0, kMaxZoom);
    KeepInsideWorld();
    update();
}

void MapView::centerOn(double latitude, double longitude) {
    const WorldPoint world = ToWorld(latitude, longitude);
    center_ = {WrappedX(world.x), world.y};
    KeepInsideWorld();
    update();
}

void MapView::setStreetMap(TileLoader* loader) {
    if (tiles_) disconnect(tiles_, nullptr, this, nullptr);
    tiles_ = loader;
    if (tiles_) connect(tiles_, &TileLoader::tileArrived, this, qOverload<>(&QWidget::update));
    update();
}

void MapView::KeepInsideWorld() {
    center_.x = WrappedX(center_.x);
    // The world's top and bottom edges stay at the view's edges or beyond,
    // unless the whole world is shorter than the view.
    const double half = height() / 2.0 / Scale();
    center_.y = half >= 0.5 ? 0.5 : std::clamp(center_.y, half, 1.0 - half);
}

void MapView::ZoomAbout(QPointF pixel, int steps) {
    const int zoom = std::clamp(zoom_ + steps, 0, kMaxZoom);
    if (zoom == zoom_) return;
    const QPointF offset = pixel - QPointF(width() / 2.0, height() / 2.0);
    const WorldPoint under{center_.x + offset.x() / Scale(), center_.y + offset.y() / Scale()};
    zoom_ = zoom;
    center_ = {under.x - offset.x() / Scale(), under.y - offset.y() / Scale()};
    KeepInsideWorld();
    update();
}

void MapView::PanBy(QPointF pixels) {
    center_.x -= pixels.x() / Scale();
    center_.y -= pixels.y() / Scale();
    KeepInsideWorld();
    update();
}

void MapView::MoveCrossHair(QPointF pixels) {
    if (!crossHair_) {
        const QPointF start = position_ ? PixelOf(position_->first, position_->second) : QPointF(width() / 2.0, height() / 2.0);
        crossHair_ = WorldPoint{center_.x + (start.x() - width() / 2.0) / Scale(), center_.y + (start.y() - height() / 2.0) / Scale()};
    }
    crossHair_->x += pixels.x() / Scale();
    crossHair_->y = std::clamp(crossHair_->y + pixels.y() / Scale(), 0.0, 1.0);
    // The view follows the cross-hair when it reaches an edge.
    QPointF at((crossHair_->x - center_.x) * Scale() + width() / 2.0, (crossHair_->y - center_.y) * Scale() + height() / 2.0);
    const QRectF inner = QRectF(rect()).adjusted(kPinMargin, kPinMargin, -kPinMargin, -kPinMargin);
    if (!inner.contains(at)) {
        const QPointF inside(std::clamp(at.x(), inner.left(), inner.right()), std::clamp(at.y(), inner.top(), inner.bottom()));
        PanBy(inside - at);
    }
    update();
}

void MapView::PickAtPixel(QPointF pixel) {
    if (const std::optional<Pick> pick = PickAt(pixel))
        emit positionPicked(pick->latitude, pick->longitude, pick->latitudeDecimals, pick->longitudeDecimals);
}

void MapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    pressedAt_ = event->position();
    lastMouse_ = event->position();
    dragging_ = false;
    doubleClicked_ = false;
}

void MapView::mouseMoveEvent(QMouseEvent* event) {
    if (!pressedAt_) return;
    if (!dragging_ && (event->position() - *pressedAt_).manhattanLength() >= QApplication::startDragDistance()) {
        dragging_ = true;
        setCursor(Qt::ClosedHandCursor);
    }
    if (!dragging_) return;
    PanBy(event->position() - lastMouse_);
    lastMouse_ = event->position();
}

void MapView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressedAt_) return QWidget::mouseReleaseEvent(event);
    // The release that ends a double click picks nothing: its first click did.
    if (!dragging_ && !doubleClicked_) PickAtPixel(event->position());
    pressedAt_.reset();
    dragging_ = false;
    setCursor(Qt::CrossCursor);
}

void MapView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
    pressedAt_ = event->position();
    dragging_ = false;
    doubleClicked_ = true;
    ZoomAbout(event->position(), 1);
}

void MapView::wheelEvent(QWheelEvent* event) {
    wheelAngle_ += event->angleDelta().y();
    const int steps = wheelAngle_ / 120;
    wheelAngle_ -= steps * 120;
    if (steps != 0) ZoomAbout(event->position(), steps);
    event->accept();
}

void MapView::keyPressEvent(QKeyEvent* event) {
    const double step = event->modifiers() & Qt::ShiftModifier ? 1 : kCrossHairStep;
    const auto anchor = [this] {
        if (crossHair_)
            return QPointF((crossHair_->x - center_.x) * Scale() + width() / 2.0, (crossHair_->y - center_.y) * Scale() + height() / 2.0);
        const QPoint mouse = mapFromGlobal(QCursor::pos());
        return rect().contains(mouse) ? QPointF(mouse) : QPointF(width() / 2.0, height() / 2.0);
    };
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal: ZoomAbout(anchor(), 1); break;
        case Qt::Key_Minus: ZoomAbout(anchor(), -1); break;
        case Qt::Key_Left: MoveCrossHair({-step, 0}); break;
        case Qt::Key_Right: MoveCrossHair({step, 0}); break;
        case Qt::Key_Up: MoveCrossHair({0, -step}); break;
        case Qt::Key_Down: MoveCrossHair({0, step}); break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!crossHair_) MoveCrossHair({0, 0});
            PickAtPixel(anchor());
            break;
        default: return QWidget::keyPressEvent(event);
    }
    event->accept();
}

void MapView::focusInEvent(QFocusEvent* event) {
    // Reached with the keyboard, the map shows where Enter would pick.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason) MoveCrossHair({0, 0});
    QWidget::focusInEvent(event);
}

void MapView::focusOutEvent(QFocusEvent* event) {
    crossHair_.reset();
    update();
    QWidget::focusOutEvent(event);
}

void MapView::paintEvent(QPaintEvent*) {
    LoadOutlines();
    QPainter painter(this);
    painter.fillRect(rect(), tiles_ ? QColor(0xe4, 0xe4, 0xe4) : kSea);
    if (tiles_) DrawTiles(painter);
    DrawOutlines(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawPin(painter);
    DrawCrossHair(painter);
    DrawScaleBar(painter);
    if (tiles_) DrawAttribution(painter);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

void MapView::DrawTiles(QPainter& painter) {
    const int count = 1 << zoom_;
    const QPointF origin = Origin();
    const int firstX = static_cast<int>(std::floor(-origin.x() / kTileSize));
    const int lastX = static_cast<int>(std::floor((width() - origin.x()) / kTileSize));
    const int firstY = std::max(0, static_cast<int>(std::floor(-origin.y() / kTileSize)));
    const int lastY = std::min(count - 1, static_cast<int>(std::floor((height() - origin.y()) / kTileSize)));
    std::vector<std::pair<double, TileAddress>> missing;
    const QPointF middle(width() / 2.0, height() / 2.0);
    for (int ty = firstY; ty <= lastY; ++ty)
        for (int tx = firstX; tx <= lastX; ++tx) {
            const TileAddress tile{zoom_, ((tx % count) + count) % count, ty};
            const QPointF corner(origin.x() + tx * double(kTileSize), origin.y() + ty * double(kTileSize));
            const QImage image = tiles_->Tile(tile);
            if (!image.isNull()) {
                painter.drawImage(corner, image);
            } else {
                const QPointF away = corner + QPointF(kTileSize / 2.0, kTileSize / 2.0) - middle;
                missing.push_back({QPointF::dotProduct(away, away), tile});
            }
        }
    std::sort(missing.begin(), missing.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<TileAddress> wanted;
    for (const auto& [distance, tile] : missing)
        if (std::find(wanted.begin(), wanted.end(), tile) == wanted.end()) wanted.push_back(tile);
    tiles_->Want(wanted);
}

void MapView::DrawOutlines(QPainter& painter) {
    const double scale = Scale();
    const QPointF origin = Origin();
    const QRectF view = QRectF(rect()).adjusted(-2, -2, 2, 2);
    const int firstCopy = static_cast<int>(std::floor(-origin.x() / scale));
    const int lastCopy = std::min(firstCopy + 4, static_cast<int>(std::floor((width() - origin.x()) / scale)));
    QPainterPath borders;
    painter.setPen(Qt::NoPen);
    painter.setBrush(kLand);
    for (int copy = firstCopy; copy <= lastCopy; ++copy) {
        const QPointF shift = origin + QPointF(copy * scale, 0);
        for (const Country& country : countries_) {
            const QRectF bounds(country.bounds.topLeft() * scale + shift, country.bounds.size() * scale);
            if (!view.intersects(bounds)) continue;
            QPainterPath land;
            land.setFillRule(Qt::OddEvenFill);
            for (const QPolygonF& ring : country.rings) {
                QPolygonF pixels(ring.size());
                for (qsizetype i = 0; i < ring.size(); ++i) pixels[i] = ring[i] * scale + shift;
                pixels.append(pixels.first());
                land.addPolygon(pixels);
                AddCoastAndBorders(borders, ring, pixels);
            }
            if (!tiles_) painter.drawPath(land);
        }
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(tiles_ ? QColor(0x40, 0x40, 0x90, 0xa0) : kBorder, 0));
    painter.drawPath(borders);
}

void MapView::DrawPin(QPainter& painter) {
    if (!position_) return;
    const auto [latitude, longitude] = *position_;
    const QPointF tip = PixelOf(latitude, longitude);
    // Drawn with its tip at (0, 0); north of the map's top edge it hangs
    // below the edge, pointing up at the pole it cannot reach.
    QPainterPath pin;
    pin.moveTo(0, 0);
    pin.lineTo(-5, -12);
    pin.arcTo(QRectF(-7, -24, 14, 14), 215, -250);
    pin.closeSubpath();
    pin.addEllipse(QRectF(-2.5, -19.5, 5, 5));
    QTransform place = QTransform::fromTranslate(tip.x(), tip.y());
    if (latitude > kMercatorMaxLatitude) place.scale(1, -1);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(kPin);
    painter.drawPath(place.map(pin));
    if (std::abs(latitude) > kMercatorMaxLatitude) {
        // The pin sits on the map's edge; the pole itself cannot be drawn.
        const QString note = QStringLiteral("The pole is off the map");
        const QFontMetrics metrics(font());
        QRectF box(0, 0, metrics.horizontalAdvance(note) + 8, metrics.height() + 4);
        box.moveCenter(QPointF(std::clamp(tip.x(), box.width() / 2, width() - box.width() / 2),
                               latitude > 0 ? std::max(tip.y(), 0.0) + 44 : std::min(tip.y(), double(height())) - 40));
        painter.setBrush(QColor(255, 255, 255, 220));
        painter.drawRect(box);
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignCenter, note);
    }
}

void MapView::DrawCrossHair(QPainter& painter) {
    if (!crossHair_) return;
    const QPointF at((crossHair_->x - center_.x) * Scale() + width() / 2.0, (crossHair_->y - center_.y) * Scale() + height() / 2.0);
    for (const QColor& colour : {QColor(Qt::white), QColor(Qt::black)}) {
        painter.setPen(QPen(colour, colour == Qt::white ? 3 : 1));
        painter.drawLine(at + QPointF(-12, 0), at + QPointF(-3, 0));
        painter.drawLine(at + QPointF(3, 0), at + QPointF(12, 0));
        painter.drawLine(at + QPointF(0, -12), at + QPointF(0, -3));
        painter.drawLine(at + QPointF(0, 3), at + QPointF(0, 12));
    }
}

void MapView::DrawScaleBar(QPainter& painter) {
    double latitude = 0, longitude = 0;
    FromWorld(center_, latitude, longitude);
    const double metresPerPixel = MetresPerPixel(zoom_, latitude);
    const double most = metresPerPixel * 100;
    const double power = std::pow(10.0, std::floor(std::log10(most)));
    double metres = power;
    for (const double nice : {5.0, 2.0})
        if (nice * power <= most) {
            metres = nice * power;
            break;
        }
    const double length = metres / metresPerPixel;
    const QString text = ScaleText(metres);
    const QFontMetrics metrics(font());
    const QPointF start(8, height() - 8);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 180));
    painter.drawRect(QRectF(start.x() - 4, start.y() - metrics.height() - 8,
                            std::max(length, double(metrics.horizontalAdvance(text))) + 8, metrics.height() + 12));
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawLine(start, start + QPointF(length, 0));
    painter.drawLine(start, start + QPointF(0, -5));
    painter.drawLine(start + QPointF(length, 0), start + QPointF(length, -5));
    painter.drawText(QPointF(start.x(), start.y() - 6 - metrics.descent()), text);
}

void MapView::DrawAttribution(QPainter& painter) {
    const QString text = QStringLiteral("© OpenStreetMap contributors");
    const QFontMetrics metrics(font());
    const QRectF box(width() - metrics.horizontalAdvance(text) - 8, height() - metrics.height() - 4,
                     metrics.horizontalAdvance(text) + 8, metrics.height() + 4);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 210));
    painter.drawRect(box);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignCenter, text);
}

}  // namespace quillet
