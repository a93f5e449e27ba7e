#include "pdf/font_files.h"

namespace quillet::pdf {

FontFiles DefaultFontFiles() {
    return {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"};
}

}  // namespace quillet::pdf
