#include "measurement/text_lines.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "engine/number_text.h"

namespace quillet::measurement {

std::optional<double> StrictNumber(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() ||
        !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '-' || text.front() == '.'))
        return std::nullopt;  // keeps out "inf" and "nan"; "-inf" fails below
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string ShortestText(double value) {
    std::string text;
    AppendShortestText(text, value);
    return text;
}

void AppendShortestText(std::string& text, double value) {
    // Most numbers a sweep's report writes were typed or rounded to a few
    // decimals; their digits come without the general conversion and are
    // laid out as it lays them out: fixed unless scientific is shorter.
    if (value != 0 && std::isfinite(value)) {
        if (const auto number = ShortDecimalDigits(std::fabs(value))) {
            const int k = number->count;
            const int e = number->exponent;
            const int fixedLength = e >= k - 1 ? e + 1 : e >= 0 ? k + 1 : k + 1 - e;
            const int scientificLength = k + (k > 1 ? 1 : 0) + 2 + (std::abs(e) >= 100 ? 3 : 2);
            if (value < 0)
                text += '-';
            if (fixedLength <= scientificLength)
                AppendFixedNotation(text, *number);
            else
                AppendScientificNotation(text, *number);
            return;
        }
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.append(buffer, result.ptr);
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

std::string Lowercase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

}  // namespace quillet::measurement
