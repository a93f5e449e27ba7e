#include "plot/font_metrics.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "plot/utf8.h"

namespace quillet::plot {
namespace {

struct Advance {
    char32_t code;
    double regular, bold;
};

#include "plot/font_metrics_table.inc"

const Advance* Find(char32_t code) {
    const auto* found = std::lower_bound(std::begin(kAdvances), std::end(kAdvances), code,
                                         [](const Advance& a, char32_t c) { return a.code < c; });
    return found != std::end(kAdvances) && found->code == code ? found : nullptr;
}

}  // namespace

double TextWidth(std::string_view text, const Font& font) {
    static const Advance* const kDigit = Find(U'0');
    double units = 0;
    // A byte that starts no valid sequence stands for itself, so malformed
    // text still has a width.
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Character character = NextUtf8(text, at);
        at += character.length;
        const Advance* advance = Find(character.code);
        if (advance == nullptr)
            advance = kDigit;
        units += font.bold ? advance->bold : advance->regular;
    }
    return units * font.pixels / kUnitsPerEm;
}

double Ascent(const Font& font) { return kAscentUnits * font.pixels / kUnitsPerEm; }

double Descent(const Font& font) { return kDescentUnits * font.pixels / kUnitsPerEm; }

}  // namespace quillet::plot
