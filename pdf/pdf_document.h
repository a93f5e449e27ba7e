// A PDF file under construction: A4 pages, DejaVu Sans embedded (regular
// and bold) and every text UTF-8. Holds libharu's document and turns its
// errors into exceptions that say what failed.
#pragma once

#include <hpdf.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "pdf/font_files.h"
#include "plot/canvas.h"

namespace quillet::pdf {

// A4 in points (1/72 inch), portrait.
constexpr double kPageWidth = 595.276, kPageHeight = 841.89;

class PdfDocument {
public:
    // Throws std::runtime_error naming a font file that cannot be used.
    explicit PdfDocument(const FontFiles& fonts = DefaultFontFiles());
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // Title, subject and creator in the file's information dictionary.
    void Describe(std::string_view title, std::string_view subject);

    HPDF_Page AddPage();
    HPDF_Font FontFor(const plot::Font& font) const { return font.bold ? bold_ : regular_; }
    // A shared graphics state with this opacity, for fills and strokes.
    HPDF_ExtGState Opacity(std::uint8_t alpha);

    // The file's bytes. Throws std::runtime_error if libharu failed at any
    // step since the document was made.
    std::string Bytes();

    // Throws if libharu has reported an error; `what` says what was done.
    void Check(std::string_view what) const;

private:
    void SetUp(const FontFiles& fonts);

    struct Errors;
    std::unique_ptr<Errors> errors_;
    HPDF_Doc doc_ = nullptr;
    HPDF_Font regular_ = nullptr, bold_ = nullptr;
    std::array<HPDF_ExtGState, 256> opacity_{};
};

}  // namespace quillet::pdf
