// A canvas that writes SVG text of its own making: the same bytes from
// every build for the same drawing, since each number is written from IEEE
// results by the standard library's exact conversion.
#pragma once

#include <string>
#include <string_view>

#include "plot/canvas.h"

namespace quillet::plot {

class SvgCanvas : public Canvas {
public:
    SvgCanvas(Size size, std::string_view title);

    void FillRect(const Rect& rect, Color fill) override;
    void StrokeRect(const Rect& rect, const Pen& pen) override;
    void Line(Point from, Point to, const Pen& pen) override;
    void Polyline(std::span<const Point> points, const Pen& pen) override;
    void Polygon(std::span<const Point> points, Color fill, const Pen* outline) override;
    void Circle(Point centre, double radius, const Pen& pen) override;
    void Text(std::string_view text, Point at, Anchor anchor, const Font& font, Color color, double degrees) override;
    void ClipTo(const Rect& rect) override;
    void Unclip() override;

    // The whole document; the canvas takes nothing more after it.
    std::string Finish();

private:
    std::string svg_;
    int clips_ = 0;
    bool clipped_ = false;
};

}  // namespace quillet::plot
