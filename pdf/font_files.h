// Where the typeface every PDF embeds is found: DejaVu Sans, whose advance
// widths the plots lay out with, so a PDF shows the same picture as the
// other surfaces and its µ, Ω, ° and ± print on any machine.
#pragma once

#include <string>

namespace quillet::pdf {

struct FontFiles {
    std::string regular;  // TrueType files
    std::string bold;
};

// Debian's fonts-dejavu-core on Linux; beside the program on Windows.
FontFiles DefaultFontFiles();

}  // namespace quillet::pdf
