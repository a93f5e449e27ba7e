#include "pdf/font_files.h"

#ifdef _WIN32
#include "files/native_path.h"
#endif

namespace quillet::pdf {

FontFiles DefaultFontFiles() {
#ifdef _WIN32
    // Shipped beside the programs; libharu opens them by name, which the
    // programs' UTF-8 code page lets reach any folder.
    const std::string folder = files::ProgramFolder();
    return {folder + "\\DejaVuSans.ttf", folder + "\\DejaVuSans-Bold.ttf"};
#else
    return {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"};
#endif
}

}  // namespace quillet::pdf
