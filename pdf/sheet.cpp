#include "pdf/sheet.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include "pdf/pdf_canvas.h"
#include "pdf/pdf_document.h"
#include "plot/font_metrics.h"
#include "plot/utf8.h"

namespace quillet::pdf {
namespace {

// The page, in points: margins wide enough for a binder's holes on the left.
constexpr double kMargin = 48;
constexpr double kTextWidth = kPageWidth - 2 * kMargin;
constexpr double kBottom = kPageHeight - 56;  // the body ends above the footer
constexpr double kFooterBaseline = kPageHeight - 30;

constexpr plot::Font kTitleFont{16, true}, kHeadingFont{11.5, true}, kBodyFont{9, false}, kLabelFont{9, true},
    kTableFont{7.5, false}, kTableHeadFont{7.5, true}, kFooterFont{7.5, false};
constexpr double kLineSpacing = 1.3;  // of the font size
constexpr double kLabelWidth = 135;   // the labels' column: a SHA-256 fits beside it
constexpr double kCellPadding = 3;
constexpr plot::Color kInk{0, 0, 0}, kGrey{0x60, 0x60, 0x60}, kRule{0xA0, 0xA0, 0xA0}, kMarkedRow{0xFF, 0xD6, 0xD6},
    kHeadRow{0xE8, 0xE8, 0xE8};

double LineHeight(const plot::Font& font) { return font.pixels * kLineSpacing; }

// Text broken into lines no wider than `width`: at spaces, and within a
// word (a checksum, a long file name) where a word alone is too wide.
std::vector<std::string> Wrapped(std::string_view text, const plot::Font& font, double width) {
    std::vector<std::string> lines;
    std::string line;
    const auto fits = [&](const std::string& candidate) { return plot::TextWidth(candidate, font) <= width; };
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string word(text.substr(at, end - at));
        std::string joined = line;
        if (!joined.empty())
            joined += ' ';
        joined += word;
        if (fits(joined)) {
            line = joined;
        } else {
            if (!line.empty())
                lines.push_back(line);
            line.clear();
            for (std::size_t c = 0; c < word.size();) {
                const std::size_t length = plot::NextUtf8(word, c).length;
                const std::string longer = line + word.substr(c, length);
                if (!line.empty() && !fits(longer)) {
                    lines.push_back(line);
                    line = word.substr(c, length);
                } else {
                    line = longer;
                }
                c += length;
            }
        }
        at = end + 1;
    }
    if (!line.empty() || lines.empty())
        lines.push_back(line);
    return lines;
}

bool LooksNumeric(std::string_view cell) {
    return !cell.empty() &&
           (std::isdigit(static_cast<unsigned char>(cell[0])) || cell[0] == '-' || cell[0] == '+' || cell[0] == '.');
}

class SheetWriter {
public:
    SheetWriter(PdfDocument& document, const Sheet& sheet) : document_(document), sheet_(sheet) {}

    void Write() {
        NewPage();
        Text(sheet_.title, {kMargin, y_ + kTitleFont.pixels}, kTitleFont);
        y_ += LineHeight(kTitleFont);
        canvas_->Line({kMargin, y_}, {kMargin + kTextWidth, y_}, {kRule, 0.75});
        y_ += 10;
        for (const Block& block : sheet_.blocks)
            std::visit([this](const auto& b) { Put(b); }, block);
        canvas_.reset();
        Footers();
    }

private:
    void NewPage() {
        canvas_.reset();
        pages_.push_back(document_.AddPage());
        canvas_ = std::make_unique<PdfCanvas>(document_, pages_.back(), plot::Point{0, 0}, 1.0);
        y_ = kMargin;
    }

    // Room for `height` more below the cursor, on a new page if need be.
    void Need(double height) {
        if (y_ + height > kBottom && y_ > kMargin)
            NewPage();
    }

    void Text(std::string_view text, plot::Point at, const plot::Font& font, plot::Color color = kInk,
              plot::Anchor anchor = plot::Anchor::Start) {
        canvas_->Text(text, at, anchor, font, color, 0);
    }

    void Put(const Heading& heading) {
        Need(LineHeight(kHeadingFont) + 2 * LineHeight(kBodyFont));
        y_ += 6;
        Text(heading.text, {kMargin, y_ + kHeadingFont.pixels}, kHeadingFont);
        y_ += LineHeight(kHeadingFont) + 2;
    }

    void Put(const Fields& block) {
        for (const Field& field : block.fields) {
            const auto lines = Wrapped(field.value, kBodyFont, kTextWidth - kLabelWidth);
            const auto labels = Wrapped(field.label, kLabelFont, kLabelWidth - 8);
            const std::size_t rows = std::max(lines.size(), labels.size());
            Need(static_cast<double>(rows) * LineHeight(kBodyFont));
            for (std::size_t i = 0; i < rows; ++i) {
                const double baseline = y_ + kBodyFont.pixels;
                if (i < labels.size())
                    Text(labels[i], {kMargin, baseline}, kLabelFont);
                if (i < lines.size())
                    Text(lines[i], {kMargin + kLabelWidth, baseline}, kBodyFont);
                y_ += LineHeight(kBodyFont);
            }
        }
        y_ += 4;
    }

    void Put(const Paragraph& paragraph) {
        for (const std::string& line : Wrapped(paragraph.text, kBodyFont, kTextWidth)) {
            Need(LineHeight(kBodyFont));
            Text(line, {kMargin, y_ + kBodyFont.pixels}, kBodyFont);
            y_ += LineHeight(kBodyFont);
        }
        y_ += 4;
    }

    void Put(const Table& table) {
        // Each column as wide as its widest cell; all of them narrowed
        // together, font and all, when that is wider than the page.
        std::vector<double> widths(table.header.size(), 0);
        const auto widen = [&](const std::vector<std::string>& row, const plot::Font& font) {
            for (std::size_t c = 0; c < std::min(row.size(), widths.size()); ++c)
                widths[c] = std::max(widths[c], plot::TextWidth(row[c], font) + 2 * kCellPadding);
        };
        widen(table.header, kTableHeadFont);
        for (const auto& row : table.rows)
            widen(row, kTableFont);
        double total = 0;
        for (const double w : widths)
            total += w;
        const double narrowing = total > kTextWidth ? kTextWidth / total : 1.0;
        const plot::Font body{kTableFont.pixels * narrowing, false}, head{kTableHeadFont.pixels * narrowing, true};
        const double rowHeight = LineHeight(body) + 1;

        // Numbers right-aligned, and a column's heading with its numbers.
        std::vector<bool> numeric(widths.size(), false);
        if (!table.rows.empty()) {
            for (std::size_t c = 0; c < std::min(table.rows[0].size(), numeric.size()); ++c)
                numeric[c] = LooksNumeric(table.rows[0][c]);
        }
        const auto putRow = [&](const std::vector<std::string>& row, const plot::Font& font, plot::Color shade,
                                bool shaded) {
            if (shaded)
                canvas_->FillRect({kMargin, y_, total * narrowing, rowHeight}, shade);
            double x = kMargin;
            for (std::size_t c = 0; c < std::min(row.size(), widths.size()); ++c) {
                const double w = widths[c] * narrowing;
                const double baseline = y_ + rowHeight - (rowHeight - font.pixels) / 2 - 1;
                if (!row[c].empty() && (&row == &table.header ? numeric[c] : LooksNumeric(row[c])))
                    Text(row[c], {x + w - kCellPadding * narrowing, baseline}, font, kInk, plot::Anchor::End);
                else
                    Text(row[c], {x + kCellPadding * narrowing, baseline}, font);
                x += w;
            }
            y_ += rowHeight;
        };
        const auto putHeader = [&] { putRow(table.header, head, kHeadRow, true); };
        Need(3 * rowHeight);
        putHeader();
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            if (y_ + rowHeight > kBottom) {
                NewPage();
                putHeader();  // a table carried over keeps its heading
            }
            putRow(table.rows[r], body, kMarkedRow, r < table.marked.size() && table.marked[r]);
        }
        y_ += 6;
    }

    void Put(const Figure& figure) {
        const double scale = kTextWidth / figure.size.width;
        Need(figure.size.height * scale);
        {
            PdfCanvas picture(document_, pages_.back(), {kMargin, y_}, scale);
            figure.draw(picture, figure.size);
        }
        y_ += figure.size.height * scale + 8;
    }

    void Put(const Signatures& signatures) {
        // Three captioned lines per role: name, date, signature.
        constexpr double kRowHeight = 44;
        constexpr std::string_view kCaptions[] = {"Name", "Date", "Signature"};
        constexpr double kWidths[] = {170, 100, 150};
        for (const std::string& role : signatures.roles) {
            Need(kRowHeight);
            Text(role, {kMargin, y_ + kLabelFont.pixels}, kLabelFont);
            double x = kMargin + 90;
            const double lineY = y_ + 26;
            for (std::size_t i = 0; i < std::size(kCaptions); ++i) {
                canvas_->Line({x, lineY}, {x + kWidths[i] - 12, lineY}, {kInk, 0.6});
                Text(kCaptions[i], {x, lineY + 9}, kFooterFont, kGrey);
                x += kWidths[i];
            }
            y_ += kRowHeight;
        }
    }

    void Put(const PageBreak&) { NewPage(); }

    void Footers() {
        const std::string count = std::to_string(pages_.size());
        for (std::size_t i = 0; i < pages_.size(); ++i) {
            PdfCanvas canvas(document_, pages_[i], {0, 0}, 1.0);
            canvas.Line({kMargin, kFooterBaseline - 10}, {kMargin + kTextWidth, kFooterBaseline - 10}, {kRule, 0.5});
            canvas.Text(sheet_.footer, {kMargin, kFooterBaseline}, plot::Anchor::Start, kFooterFont, kGrey, 0);
            canvas.Text("Page " + std::to_string(i + 1) + " of " + count, {kMargin + kTextWidth, kFooterBaseline},
                        plot::Anchor::End, kFooterFont, kGrey, 0);
        }
    }

    PdfDocument& document_;
    const Sheet& sheet_;
    std::vector<HPDF_Page> pages_;
    std::unique_ptr<PdfCanvas> canvas_;
    double y_ = kMargin;
};

}  // namespace

std::string PdfOf(const Sheet& sheet, const FontFiles& fonts) {
    PdfDocument document(fonts);
    document.Describe(sheet.title, sheet.subject);
    SheetWriter(document, sheet).Write();
    return document.Bytes();
}

}  // namespace quillet::pdf
