#include "plot/font_metrics.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace quillet::plot {
namespace {

struct Advance {
    char32_t code;
    double regular, bold;
};

#include "plot/font_metrics_table.inc"

// The next code point of UTF-8 text; a byte that starts no valid sequence
// stands for itself, so malformed text still has a width.
char32_t NextCodePoint(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(at);
    const int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length <= 1 || at + static_cast<std::size_t>(length) > text.size()) {
        ++at;
        return lead;
    }
    char32_t code = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((byte(at + static_cast<std::size_t>(i)) & 0xC0) != 0x80) {
            ++at;
            return lead;
        }
        code = (code << 6) | (byte(at + static_cast<std::size_t>(i)) & 0x3F);
    }
    at += static_cast<std::size_t>(length);
    return code;
}

const Advance* Find(char32_t code) {
    const auto* found = std::lower_bound(std::begin(kAdvances), std::end(kAdvances), code,
                                         [](const Advance& a, char32_t c) { return a.code < c; });
    return found != std::end(kAdvances) && found->code == code ? found : nullptr;
}

}  // namespace

double TextWidth(std::string_view text, const Font& font) {
    static const Advance* const kDigit = Find(U'0');
    double units = 0;
    for (std::size_t at = 0; at < text.size();) {
        const Advance* advance = Find(NextCodePoint(text, at));
        if (advance == nullptr)
            advance = kDigit;
        units += font.bold ? advance->bold : advance->regular;
    }
    return units * font.pixels / kUnitsPerEm;
}

double Ascent(const Font& font) { return kAscentUnits * font.pixels / kUnitsPerEm; }

double Descent(const Font& font) { return kDescentUnits * font.pixels / kUnitsPerEm; }

}  // namespace quillet::plot
