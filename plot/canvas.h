// What a plot draws on: a few primitives in picture coordinates (pixels,
// y down), each surface (the Qt painter, the SVG writer, the Win32 one)
// rendering them in its own way. Layout is the plot's own business, from
// the metrics in font_metrics.h, so every surface shows the same picture.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace quillet::plot {

struct Point {
    double x = 0, y = 0;
};

struct Size {
    double width = 0, height = 0;
};

struct Rect {
    double left = 0, top = 0, width = 0, height = 0;

    double Right() const { return left + width; }
    double Bottom() const { return top + height; }
    Point Centre() const { return {left + width / 2, top + height / 2}; }
    bool Contains(Point p) const { return p.x >= left && p.x <= Right() && p.y >= top && p.y <= Bottom(); }
};

struct Color {
    std::uint8_t red = 0, green = 0, blue = 0, alpha = 255;
    Color Opaque() const { return {red, green, blue, 255}; }
};

// A dashed line repeats a dash and a gap of these many line widths.
constexpr double kDashWidths = 4, kGapWidths = 2;

struct Pen {
    Color color;
    double width = 1;
    bool dashed = false;
};

struct Font {
    double pixels = 12;
    bool bold = false;
};

// Where a text's baseline point lies along it.
enum class Anchor { Start, Middle, End };

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void FillRect(const Rect& rect, Color fill) = 0;
    virtual void StrokeRect(const Rect& rect, const Pen& pen) = 0;
    virtual void Line(Point from, Point to, const Pen& pen) = 0;
    virtual void Polyline(std::span<const Point> points, const Pen& pen) = 0;
    // Filled with `fill`; outlined when `outline` is given.
    virtual void Polygon(std::span<const Point> points, Color fill, const Pen* outline) = 0;
    virtual void Circle(Point centre, double radius, const Pen& pen) = 0;
    // UTF-8 text on a baseline through `at`, turned by `degrees` about it
    // (negative: counter-clockwise on screen).
    virtual void Text(std::string_view text, Point at, Anchor anchor, const Font& font, Color color,
                      double degrees = 0) = 0;
    // Until Unclip, nothing is drawn outside `rect`.
    virtual void ClipTo(const Rect& rect) = 0;
    virtual void Unclip() = 0;
};

}  // namespace quillet::plot
