#include "measurement/csv_fields.h"

#include <stdexcept>

#include "measurement/text_lines.h"

namespace quillet::measurement {
namespace {

char SeparatorChar(Separator separator) {
    switch (separator) {
    case Separator::Comma: return ',';
    case Separator::Semicolon: return ';';
    case Separator::Tab: return '\t';
    case Separator::Blanks: break;
    }
    return ' ';
}

bool IsBlank(char c, Separator separator) { return c == ' ' || (c == '\t' && separator != Separator::Tab); }

// Reads a quoted field starting at line[i] == '"'; leaves i after the
// closing quote.
std::string QuotedField(std::string_view line, std::size_t& i) {
    std::string field;
    ++i;
    while (true) {
        if (i >= line.size())
            throw std::invalid_argument("a quoted field is not closed on its line");
        if (line[i] == '"') {
            if (i + 1 < line.size() && line[i + 1] == '"') {
                field += '"';
                i += 2;
                continue;
            }
            ++i;
            return field;
        }
        field += line[i++];
    }
}

// Whether c ends a field: its separator, or a tab between blank-separated
// fields.
bool EndsField(char c, Separator separator) {
    return c == SeparatorChar(separator) || (separator == Separator::Blanks && c == '\t');
}

void SkipBlanks(std::string_view line, std::size_t& i, Separator separator) {
    while (i < line.size() && IsBlank(line[i], separator))
        ++i;
}

// One field from line[i] on, quoted or not; leaves i at the separator after
// it or at the end of the line.
std::string ReadField(std::string_view line, std::size_t& i, Separator separator) {
    if (i >= line.size() || line[i] != '"') {
        const std::size_t start = i;
        while (i < line.size() && !EndsField(line[i], separator))
            ++i;
        return std::string(Trim(line.substr(start, i - start)));
    }
    std::string field = QuotedField(line, i);
    if (separator != Separator::Blanks)
        SkipBlanks(line, i, separator);
    if (i < line.size() && !EndsField(line[i], separator))
        throw std::invalid_argument("text after the closing quote of a field");
    return field;
}

}  // namespace

Separator SeparatorOf(std::string_view line) {
    bool quoted = false, semicolon = false, comma = false;
    for (const char c : line) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == '\t')
            return Separator::Tab;
        else if (!quoted && c == ';')
            semicolon = true;
        else if (!quoted && c == ',')
            comma = true;
    }
    return semicolon ? Separator::Semicolon : comma ? Separator::Comma : Separator::Blanks;
}

std::vector<std::string> SplitFields(std::string_view line, Separator separator) {
    std::vector<std::string> fields;
    std::size_t i = 0;
    while (true) {
        SkipBlanks(line, i, separator);
        if (separator == Separator::Blanks && i >= line.size())
            break;
        fields.push_back(ReadField(line, i, separator));
        if (i >= line.size())
            break;
        ++i;  // the separator
        if (separator != Separator::Blanks && i == line.size())
            fields.emplace_back();
    }
    while (!fields.empty() && fields.back().empty())
        fields.pop_back();
    return fields;
}

std::vector<std::string> SplitAtWideGaps(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        const bool gap = i == line.size() || line[i] == '\t' ||
                         (line[i] == ' ' && i + 1 < line.size() && (line[i + 1] == ' ' || line[i + 1] == '\t'));
        if (!gap)
            continue;
        const std::string_view field = Trim(line.substr(start, i - start));
        if (!field.empty())
            fields.emplace_back(field);
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        start = i;
    }
    return fields;
}

std::optional<double> FieldNumber(std::string_view field, Separator separator) {
    const auto comma = field.find(',');
    if (comma == std::string_view::npos || separator == Separator::Comma || separator == Separator::Blanks ||
        field.find_first_of(".,", comma + 1) != std::string_view::npos || field.find('.') != std::string_view::npos)
        return StrictNumber(field);
    std::string decimalPoint(field);
    decimalPoint[comma] = '.';
    return StrictNumber(decimalPoint);
}

std::optional<std::string> DecimalMarks::Check(std::string_view field, int line) {
    const bool comma = field.find(',') != std::string_view::npos;
    if (!comma && field.find('.') == std::string_view::npos)
        return std::nullopt;
    const char mark = comma ? ',' : '.';
    if (mark_ == 0) {
        mark_ = mark;
        line_ = line;
    }
    if (mark == mark_)
        return std::nullopt;
    const auto name = [](char c) { return c == ',' ? std::string("comma") : std::string("point"); };
    return "'" + std::string(field) + "' has a decimal " + name(mark) + ", but line " + std::to_string(line_) +
           " has a decimal " + name(mark_) +
           ": one of them may group thousands; write the numbers without digit grouping";
}

bool OnlySeparators(std::string_view line) { return line.find_first_not_of(" \t\r,;") == std::string_view::npos; }

bool StartsLikeNumber(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    if (i < text.size() && text[i] == '.')
        ++i;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

}  // namespace quillet::measurement
