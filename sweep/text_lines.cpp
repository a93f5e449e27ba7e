#include "text_lines.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace quillet::sweep {

std::optional<double> StrictNumber(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '-' ||
                          text.front() == '.'))
        return std::nullopt;  // keeps out "inf" and "nan"; "-inf" fails below
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<std::string_view> SplitWhitespace(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r'))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r')
            ++i;
        if (i > start)
            fields.push_back(text.substr(start, i - start));
    }
    return fields;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == text.size())
            break;
        start = end + 1;
    }
    return lines;
}

std::string Lowercase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool LooksLikeText(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
                return false;
            ++i;
            continue;
        }
        int continuation = 0;
        if ((c & 0xE0) == 0xC0 && c >= 0xC2)
            continuation = 1;
        else if ((c & 0xF0) == 0xE0)
            continuation = 2;
        else if ((c & 0xF8) == 0xF0 && c <= 0xF4)
            continuation = 3;
        else
            return false;
        if (i + static_cast<std::size_t>(continuation) >= bytes.size())
            return false;
        for (int k = 1; k <= continuation; ++k) {
            if ((static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80)
                return false;
        }
        i += static_cast<std::size_t>(continuation) + 1;
    }
    return true;
}

}  // namespace quillet::sweep
