// A canvas that draws with GDI+, antialiased: the Windows sweep window's
// plot and PNG files. Needs a running GDI+ (GdiplusSession).
#pragma once

#include <cstdint>
#include <memory>

#include "plot/canvas.h"

namespace Gdiplus {
class FontFamily;
class Graphics;
}  // namespace Gdiplus

namespace quillet::plotwin {

// GDI+ from construction to destruction; the canvas and the bitmaps live
// within it.
class GdiplusSession {
public:
    GdiplusSession();  // throws std::runtime_error when GDI+ does not start
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
    std::uintptr_t token_ = 0;
};

class GdiplusCanvas : public plot::Canvas {
public:
    explicit GdiplusCanvas(Gdiplus::Graphics& graphics);
    ~GdiplusCanvas() override;

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
    Gdiplus::Graphics& graphics_;
    std::unique_ptr<Gdiplus::FontFamily> family_;
};

}  // namespace quillet::plotwin
