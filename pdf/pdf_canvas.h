// The plots on a PDF page: picture coordinates (pixels, y down) placed at
// a point of the page and scaled, text in the embedded DejaVu Sans, so the
// page shows the picture the other surfaces show.
#pragma once

#include "pdf/pdf_document.h"
#include "plot/canvas.h"

namespace quillet::pdf {

class PdfCanvas : public plot::Canvas {
public:
    // topLeft: where the picture's (0, 0) lies, in points from the page's
    // top-left corner; scale: points per picture pixel.
    PdfCanvas(PdfDocument& document, HPDF_Page page, plot::Point topLeft, double scale);
    ~PdfCanvas() override;
    PdfCanvas(const PdfCanvas&) = delete;
    PdfCanvas& operator=(const PdfCanvas&) = delete;

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
    plot::Point OnPage(plot::Point p) const;
    void UsePen(const plot::Pen& pen);
    void UseFill(plot::Color color);
    void Path(std::span<const plot::Point> points);

    PdfDocument& document_;
    HPDF_Page page_;
    plot::Point topLeft_;
    double scale_;
    bool clipped_ = false;
};

}  // namespace quillet::pdf
