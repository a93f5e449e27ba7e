// A printed record as a flow of blocks (headings, labelled fields, text,
// tables, pictures, lines for signatures) laid out onto A4 pages, with a
// footer and "Page i of n" on each. What a record says is its maker's
// business; how it falls onto pages is this file's.
#pragma once

#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "pdf/font_files.h"
#include "plot/canvas.h"

namespace quillet::pdf {

struct Heading {
    std::string text;
};

struct Field {
    std::string label, value;
};

struct Fields {
    std::vector<Field> fields;
};

struct Paragraph {
    std::string text;
};

struct Table {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
    std::vector<bool> marked;  // rows shown shaded (outside a limit); may be shorter than rows
};

// A picture drawn onto a canvas of its own size, scaled to the text width.
struct Figure {
    plot::Size size;
    std::function<void(plot::Canvas&, plot::Size)> draw;
};

// Lines to sign on, one per role ("Verified by", "Approved by").
struct Signatures {
    std::vector<std::string> roles;
};

// Starts the next block on a new page.
struct PageBreak {};

using Block = std::variant<Heading, Fields, Paragraph, Table, Figure, Signatures, PageBreak>;

struct Sheet {
    std::string title;    // on the first page and in the file's description
    std::string subject;  // the file's description only
    std::string footer;   // left of "Page i of n" on every page
    std::vector<Block> blocks;
};

// The sheet as a PDF file's bytes. Throws std::runtime_error when the PDF
// cannot be made (a font file missing, for one).
std::string PdfOf(const Sheet& sheet, const FontFiles& fonts = DefaultFontFiles());

}  // namespace quillet::pdf
