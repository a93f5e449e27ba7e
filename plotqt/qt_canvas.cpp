#include "plotqt/qt_canvas.h"

#include <QFont>
#include <QPainter>
#include <QPen>
#include <QPolygonF>

#include "plot/font_metrics.h"

namespace quillet::plotqt {
namespace {

QColor ToQt(plot::Color c) { return {c.red, c.green, c.blue, c.alpha}; }

QPen ToQt(const plot::Pen& pen) {
    QPen qt(ToQt(pen.color), pen.width);
    if (pen.dashed)
        qt.setDashPattern({plot::kDashWidths, plot::kGapWidths});
    return qt;
}

QPolygonF ToQt(std::span<const plot::Point> points) {
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const plot::Point& p : points)
        polygon << QPointF(p.x, p.y);
    return polygon;
}

}  // namespace

QtCanvas::QtCanvas(QPainter& painter) : painter_(painter) { painter_.setRenderHint(QPainter::Antialiasing); }

void QtCanvas::FillRect(const plot::Rect& rect, plot::Color fill) {
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(ToQt(fill));
    painter_.drawRect(plotqt::ToQt(rect));
}

void QtCanvas::StrokeRect(const plot::Rect& rect, const plot::Pen& pen) {
    painter_.setPen(ToQt(pen));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(plotqt::ToQt(rect));
}

void QtCanvas::Line(plot::Point from, plot::Point to, const plot::Pen& pen) {
    painter_.setPen(ToQt(pen));
    painter_.drawLine(plotqt::ToQt(from), plotqt::ToQt(to));
}

void QtCanvas::Polyline(std::span<const plot::Point> points, const plot::Pen& pen) {
    painter_.setPen(ToQt(pen));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPolyline(ToQt(points));
}

void QtCanvas::Polygon(std::span<const plot::Point> points, plot::Color fill, const plot::Pen* outline) {
    painter_.setPen(outline ? ToQt(*outline) : QPen(Qt::NoPen));
    painter_.setBrush(ToQt(fill));
    painter_.drawPolygon(ToQt(points));
}

void QtCanvas::Circle(plot::Point centre, double radius, const plot::Pen& pen) {
    painter_.setPen(ToQt(pen));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawEllipse(plotqt::ToQt(centre), radius, radius);
}

// Placed by the shared metrics, so the text lines up with what the plot
// laid out around it whatever the painter's font measures.
void QtCanvas::Text(std::string_view text, plot::Point at, plot::Anchor anchor, const plot::Font& font,
                    plot::Color color, double degrees) {
    QFont qt(QString::fromUtf8(plot::kFontFamily.data(), static_cast<qsizetype>(plot::kFontFamily.size())));
    qt.setPixelSize(qRound(font.pixels));
    qt.setBold(font.bold);
    const double width = plot::TextWidth(text, font);
    const double shift = anchor == plot::Anchor::Start ? 0 : anchor == plot::Anchor::Middle ? width / 2 : width;
    painter_.save();
    painter_.setFont(qt);
    painter_.setPen(ToQt(color));
    painter_.translate(at.x, at.y);
    painter_.rotate(degrees);
    painter_.drawText(QPointF(-shift, 0), QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    painter_.restore();
}

void QtCanvas::ClipTo(const plot::Rect& rect) { painter_.setClipRect(plotqt::ToQt(rect)); }

void QtCanvas::Unclip() { painter_.setClipping(false); }

}  // namespace quillet::plotqt
