#include "pdf/pdf_canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <utility>

#include "plot/font_metrics.h"
#include "plot/utf8.h"

namespace quillet::pdf {
namespace {

HPDF_REAL Real(double value) { return static_cast<HPDF_REAL>(value); }

HPDF_REAL Channel(std::uint8_t value) { return static_cast<HPDF_REAL>(value / 255.0); }

// Text as libharu's UTF-8 encoder takes it: bytes that are not UTF-8 and
// control characters (a file name may hold either) shown as U+FFFD.
std::string Printable(std::string_view text) {
    constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const plot::Utf8Character character = plot::NextUtf8(text, at);
        if (!character.valid || character.code < 0x20 || character.code == 0x7F)
            out += kReplacement;
        else
            out.append(text.substr(at, character.length));
        at += character.length;
    }
    return out;
}

// Cosine and sine of a turn, exact for quarter turns (the axis titles), so
// those come out the same from every build's C library.
std::pair<double, double> Turn(double degrees) {
    const double quarters = degrees / 90.0;
    if (quarters == std::round(quarters)) {
        constexpr std::pair<double, double> kQuarter[] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
        return kQuarter[static_cast<int>(std::fmod(std::fmod(quarters, 4.0) + 4.0, 4.0))];
    }
    const double radians = degrees * std::numbers::pi / 180.0;
    return {std::cos(radians), std::sin(radians)};
}

}  // namespace

PdfCanvas::PdfCanvas(PdfDocument& document, HPDF_Page page, plot::Point topLeft, double scale)
    : document_(document), page_(page), topLeft_(topLeft), scale_(scale) {
    HPDF_Page_GSave(page_);
    // As the SVG draws: square ends, bevelled corners (libharu spells the
    // first SCUARE).
    HPDF_Page_SetLineCap(page_, HPDF_PROJECTING_SCUARE_END);
    HPDF_Page_SetLineJoin(page_, HPDF_BEVEL_JOIN);
}

PdfCanvas::~PdfCanvas() {
    Unclip();
    HPDF_Page_GRestore(page_);
}

plot::Point PdfCanvas::OnPage(plot::Point p) const {
    return {topLeft_.x + p.x * scale_, kPageHeight - (topLeft_.y + p.y * scale_)};
}

void PdfCanvas::UsePen(const plot::Pen& pen) {
    HPDF_Page_SetExtGState(page_, document_.Opacity(pen.color.alpha));
    HPDF_Page_SetRGBStroke(page_, Channel(pen.color.red), Channel(pen.color.green), Channel(pen.color.blue));
    HPDF_Page_SetLineWidth(page_, Real(pen.width * scale_));
    if (pen.dashed) {
        // libharu takes dashes in whole points.
        const auto points = [&](double widths) {
            return static_cast<HPDF_UINT16>(std::max(1.0, std::round(widths * pen.width * scale_)));
        };
        const HPDF_UINT16 pattern[] = {points(plot::kDashWidths), points(plot::kGapWidths)};
        HPDF_Page_SetDash(page_, pattern, 2, 0);
    } else {
        HPDF_Page_SetDash(page_, nullptr, 0, 0);
    }
}

void PdfCanvas::UseFill(plot::Color color) {
    HPDF_Page_SetExtGState(page_, document_.Opacity(color.alpha));
    HPDF_Page_SetRGBFill(page_, Channel(color.red), Channel(color.green), Channel(color.blue));
}

void PdfCanvas::Path(std::span<const plot::Point> points) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        const plot::Point p = OnPage(points[i]);
        if (i == 0)
            HPDF_Page_MoveTo(page_, Real(p.x), Real(p.y));
        else
            HPDF_Page_LineTo(page_, Real(p.x), Real(p.y));
    }
}

void PdfCanvas::FillRect(const plot::Rect& rect, plot::Color fill) {
    UseFill(fill);
    const plot::Point bottomLeft = OnPage({rect.left, rect.Bottom()});
    HPDF_Page_Rectangle(page_, Real(bottomLeft.x), Real(bottomLeft.y), Real(rect.width * scale_),
                        Real(rect.height * scale_));
    HPDF_Page_Fill(page_);
}

void PdfCanvas::StrokeRect(const plot::Rect& rect, const plot::Pen& pen) {
    UsePen(pen);
    const plot::Point bottomLeft = OnPage({rect.left, rect.Bottom()});
    HPDF_Page_Rectangle(page_, Real(bottomLeft.x), Real(bottomLeft.y), Real(rect.width * scale_),
                        Real(rect.height * scale_));
    HPDF_Page_Stroke(page_);
}

void PdfCanvas::Line(plot::Point from, plot::Point to, const plot::Pen& pen) {
    const plot::Point ends[] = {from, to};
    Polyline(ends, pen);
}

void PdfCanvas::Polyline(std::span<const plot::Point> points, const plot::Pen& pen) {
    if (points.size() < 2)
        return;
    UsePen(pen);
    Path(points);
    HPDF_Page_Stroke(page_);
}

void PdfCanvas::Polygon(std::span<const plot::Point> points, plot::Color fill, const plot::Pen* outline) {
    if (points.size() < 3)
        return;
    UseFill(fill);
    if (outline)
        UsePen(*outline);
    Path(points);
    HPDF_Page_ClosePath(page_);
    if (outline)
        HPDF_Page_FillStroke(page_);
    else
        HPDF_Page_Fill(page_);
}

void PdfCanvas::Circle(plot::Point centre, double radius, const plot::Pen& pen) {
    UsePen(pen);
    const plot::Point c = OnPage(centre);
    HPDF_Page_Circle(page_, Real(c.x), Real(c.y), Real(radius * scale_));
    HPDF_Page_Stroke(page_);
}

void PdfCanvas::Text(std::string_view text, plot::Point at, plot::Anchor anchor, const plot::Font& font,
                     plot::Color color, double degrees) {
    const std::string shown = Printable(text);
    if (shown.empty())
        return;
    // Placed by the plots' own metrics, which are the embedded font's, so
    // an anchored text ends where the layout expects on every surface.
    double shift = 0;
    if (anchor != plot::Anchor::Start)
        shift = plot::TextWidth(shown, font) * scale_ * (anchor == plot::Anchor::Middle ? 0.5 : 1.0);
    // The picture turns clockwise for positive degrees (y down); the page
    // turns counter-clockwise (y up).
    const auto [c, s] = Turn(-degrees);
    const plot::Point p = OnPage(at);
    UseFill(color);
    HPDF_Page_BeginText(page_);
    HPDF_Page_SetFontAndSize(page_, document_.FontFor(font), Real(font.pixels * scale_));
    HPDF_Page_SetTextMatrix(page_, Real(c), Real(s), Real(-s), Real(c), Real(p.x - shift * c), Real(p.y - shift * s));
    HPDF_Page_ShowText(page_, shown.c_str());
    HPDF_Page_EndText(page_);
}

void PdfCanvas::ClipTo(const plot::Rect& rect) {
    Unclip();
    HPDF_Page_GSave(page_);
    const plot::Point bottomLeft = OnPage({rect.left, rect.Bottom()});
    HPDF_Page_Rectangle(page_, Real(bottomLeft.x), Real(bottomLeft.y), Real(rect.width * scale_),
                        Real(rect.height * scale_));
    HPDF_Page_Clip(page_);
    HPDF_Page_EndPath(page_);
    clipped_ = true;
}

void PdfCanvas::Unclip() {
    if (!clipped_)
        return;
    HPDF_Page_GRestore(page_);
    clipped_ = false;
}

}  // namespace quillet::pdf
