#include "plot/plot_title.h"

#include <vector>

#include "engine/an_types.h"
#include "plot/plot_style.h"
#include "plot/utf8.h"

namespace quillet::plot {

std::string_view FileName(std::string_view source) {
#ifdef _WIN32
    const std::size_t slash = source.find_last_of("/\\");
#else
    const std::size_t slash = source.rfind('/');
#endif
    return slash == std::string_view::npos ? source : source.substr(slash + 1);
}

std::string PlotTitle(std::int16_t anType, std::string_view source, double width) {
    const std::string_view fileName = FileName(source);
    const std::string head = "AN type " + std::to_string(anType) + ": " + std::string(AnType(anType).caption) + "  (";
    std::string whole = head + std::string(fileName) + ")";
    const double room = width - 16;
    if (TextWidth(whole, kTitleFont) <= room)
        return whole;
    std::vector<std::string_view> characters;
    for (std::size_t at = 0; at < fileName.size();) {
        const std::size_t length = NextUtf8(fileName, at).length;
        characters.push_back(fileName.substr(at, length));
        at += length;
    }
    for (std::size_t kept = characters.size() / 2; kept > 0; --kept) {
        std::string title = head;
        for (std::size_t i = 0; i < kept; ++i)
            title += characters[i];
        title += "\u2026";
        for (std::size_t i = characters.size() - kept; i < characters.size(); ++i)
            title += characters[i];
        title += ")";
        if (TextWidth(title, kTitleFont) <= room)
            return title;
    }
    return head + "\u2026)";
}

}  // namespace quillet::plot
