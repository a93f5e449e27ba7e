#include "plotwin/gdiplus_canvas.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "files/native_path.h"
#include "plot/font_metrics.h"
#include "plotwin/gdiplus.h"

namespace quillet::plotwin {
namespace {

Gdiplus::Color ToGdiplus(plot::Color c) { return Gdiplus::Color(c.alpha, c.red, c.green, c.blue); }

Gdiplus::RectF ToGdiplus(const plot::Rect& r) {
    return {static_cast<Gdiplus::REAL>(r.left), static_cast<Gdiplus::REAL>(r.top), static_cast<Gdiplus::REAL>(r.width),
            static_cast<Gdiplus::REAL>(r.height)};
}

Gdiplus::PointF ToGdiplus(plot::Point p) { return {static_cast<Gdiplus::REAL>(p.x), static_cast<Gdiplus::REAL>(p.y)}; }

std::vector<Gdiplus::PointF> ToGdiplus(std::span<const plot::Point> points) {
    std::vector<Gdiplus::PointF> converted;
    converted.reserve(points.size());
    for (const plot::Point& p : points)
        converted.push_back(ToGdiplus(p));
    return converted;
}

// Square ends and bevelled corners, as the other surfaces draw them.
std::unique_ptr<Gdiplus::Pen> ToGdiplus(const plot::Pen& pen) {
    auto gdiplus = std::make_unique<Gdiplus::Pen>(ToGdiplus(pen.color), static_cast<Gdiplus::REAL>(pen.width));
    gdiplus->SetLineCap(Gdiplus::LineCapSquare, Gdiplus::LineCapSquare, Gdiplus::DashCapFlat);
    gdiplus->SetLineJoin(Gdiplus::LineJoinBevel);
    if (pen.dashed) {
        const Gdiplus::REAL pattern[] = {plot::kDashWidths, plot::kGapWidths};
        gdiplus->SetDashPattern(pattern, 2);
    }
    return gdiplus;
}

// The plot's family where Windows has it, else the one with its
// proportions, else the system's sans serif.
std::unique_ptr<Gdiplus::FontFamily> PlotFamily() {
    for (const wchar_t* name : {L"DejaVu Sans", L"Verdana"}) {
        auto family = std::make_unique<Gdiplus::FontFamily>(name);
        if (family->IsAvailable())
            return family;
    }
    return std::unique_ptr<Gdiplus::FontFamily>(Gdiplus::FontFamily::GenericSansSerif()->Clone());
}

}  // namespace

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        throw std::runtime_error("cannot start GDI+ to draw the plot");
    token_ = token;
}

GdiplusSession::~GdiplusSession() { Gdiplus::GdiplusShutdown(token_); }

GdiplusCanvas::~GdiplusCanvas() = default;

GdiplusCanvas::GdiplusCanvas(Gdiplus::Graphics& graphics) : graphics_(graphics), family_(PlotFamily()) {
    graphics_.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics_.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);  // pixel centres where Qt and SVG have them
    graphics_.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
}

void GdiplusCanvas::FillRect(const plot::Rect& rect, plot::Color fill) {
    Gdiplus::SolidBrush brush(ToGdiplus(fill));
    graphics_.FillRectangle(&brush, ToGdiplus(rect));
}

void GdiplusCanvas::StrokeRect(const plot::Rect& rect, const plot::Pen& pen) {
    const Gdiplus::RectF r = ToGdiplus(rect);
    graphics_.DrawRectangle(ToGdiplus(pen).get(), r.X, r.Y, r.Width, r.Height);
}

void GdiplusCanvas::Line(plot::Point from, plot::Point to, const plot::Pen& pen) {
    graphics_.DrawLine(ToGdiplus(pen).get(), ToGdiplus(from), ToGdiplus(to));
}

void GdiplusCanvas::Polyline(std::span<const plot::Point> points, const plot::Pen& pen) {
    const std::vector<Gdiplus::PointF> converted = ToGdiplus(points);
    graphics_.DrawLines(ToGdiplus(pen).get(), converted.data(), static_cast<INT>(converted.size()));
}

void GdiplusCanvas::Polygon(std::span<const plot::Point> points, plot::Color fill, const plot::Pen* outline) {
    const std::vector<Gdiplus::PointF> converted = ToGdiplus(points);
    Gdiplus::SolidBrush brush(ToGdiplus(fill));
    graphics_.FillPolygon(&brush, converted.data(), static_cast<INT>(converted.size()));
    if (outline)
        graphics_.DrawPolygon(ToGdiplus(*outline).get(), converted.data(), static_cast<INT>(converted.size()));
}

void GdiplusCanvas::Circle(plot::Point centre, double radius, const plot::Pen& pen) {
    const auto r = static_cast<Gdiplus::REAL>(radius);
    graphics_.DrawEllipse(ToGdiplus(pen).get(), static_cast<Gdiplus::REAL>(centre.x) - r,
                          static_cast<Gdiplus::REAL>(centre.y) - r, 2 * r, 2 * r);
}

// Placed by the shared metrics, whatever the font found measures, so the
// text lines up with what the plot laid out around it.
void GdiplusCanvas::Text(std::string_view text, plot::Point at, plot::Anchor anchor, const plot::Font& font,
                         plot::Color color, double degrees) {
    const INT style = font.bold ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular;
    const Gdiplus::Font gdiplusFont(family_.get(), static_cast<Gdiplus::REAL>(font.pixels), style, Gdiplus::UnitPixel);
    const double ascent = font.pixels * family_->GetCellAscent(style) / family_->GetEmHeight(style);
    const double width = plot::TextWidth(text, font);
    const double shift = anchor == plot::Anchor::Start ? 0 : anchor == plot::Anchor::Middle ? width / 2 : width;
    const std::wstring wide = files::WidePath(std::string(text));
    Gdiplus::SolidBrush brush(ToGdiplus(color));
    const Gdiplus::GraphicsState state = graphics_.Save();
    graphics_.TranslateTransform(static_cast<Gdiplus::REAL>(at.x), static_cast<Gdiplus::REAL>(at.y));
    graphics_.RotateTransform(static_cast<Gdiplus::REAL>(degrees));
    graphics_.DrawString(wide.c_str(), static_cast<INT>(wide.size()), &gdiplusFont,
                         Gdiplus::PointF(static_cast<Gdiplus::REAL>(-shift), static_cast<Gdiplus::REAL>(-ascent)),
                         Gdiplus::StringFormat::GenericTypographic(), &brush);
    graphics_.Restore(state);
}

void GdiplusCanvas::ClipTo(const plot::Rect& rect) { graphics_.SetClip(ToGdiplus(rect)); }

void GdiplusCanvas::Unclip() { graphics_.ResetClip(); }

}  // namespace quillet::plotwin
