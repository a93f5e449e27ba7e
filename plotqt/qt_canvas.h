// A canvas that draws with Qt's painter, antialiased.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include "plot/canvas.h"

class QPainter;

namespace quillet::plotqt {

class QtCanvas : public plot::Canvas {
public:
    explicit QtCanvas(QPainter& painter);

    void FillRect(const plot::Rect& rect, plot::Color fill) override;
    void StrokeRect(const plot::Rect& rect, const plot::Pen& pen) override;
    void Line(plot::Point from, plot::Point to, const plot::Pen& pen) override;
    void Polyline(std::span<const plot::Point> points, const plot::Pen& pen) override;
    void Polygon(std::span<const plot::Point> points, plot::Color fill, const plot::Pen* outline) override;
    void Circle(plot::Point centre, double radius, const plot::Pen& pen) override;
    void Text(std::string_view text, plot::Point at, plot::Anchor anchor, const plot::Font& font, plot::Color color,
              double degrees) override;
    void ClipTo(const plot::Rect& rect) override;
    void Unclip() override;

private:
    QPainter& painter_;
};

inline QPointF ToQt(plot::Point p) { return {p.x, p.y}; }
inline QRectF ToQt(const plot::Rect& r) { return {r.left, r.top, r.width, r.height}; }
inline plot::Size FromQt(QSizeF s) { return {s.width(), s.height()}; }

}  // namespace quillet::plotqt
