#include "sweepcore/column_choice.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <fstream>
#include <stdexcept>

#include "files/sha256.h"
#include "measurement/csv_columns.h"
#include "measurement/csv_fields.h"
#include "measurement/text_lines.h"
#include "sweep/evaluation.h"

namespace quillet::sweepcore {
namespace {

constexpr std::size_t kPreviewPoints = 3;
constexpr std::string_view kBlanks = " \t\r\n\v\f";

constexpr ColumnQuantity kQuantities[] = {
    {"(ignore)", "-"},
    {"Frequency, Hz", "f:Hz"},
    {"Frequency, kHz", "f:kHz"},
    {"Frequency, MHz", "f:MHz"},
    {"Frequency, GHz", "f:GHz"},
    {"|Z|, ohm", "mag:ohm"},
    {"Phase of Z, deg", "phase:deg"},
    {"Phase of Z, rad", "phase:rad"},
    {"Re Z, ohm", "re:ohm"},
    {"Im Z, ohm", "im:ohm"},
    {"|S11|, dB", "s-mag:dB"},
    {"|S11|, linear", "s-mag:lin"},
    {"Phase of S11, deg", "s-phase:deg"},
    {"Phase of S11, rad", "s-phase:rad"},
    {"Re S11", "s-re"},
    {"Im S11", "s-im"},
};

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

struct EnoughPoints {};

// The first few points of the file read with the columns stated.
class PreviewSink : public measurement::PointSink {
public:
    void Point(const measurement::MeasuredPoint& point) override {
        points.push_back(point);
        if (points.size() == kPreviewPoints)
            throw EnoughPoints{};
    }
    void Note(const std::string&) override {}
    std::vector<measurement::MeasuredPoint> points;
};

}  // namespace

std::span<const ColumnQuantity> ColumnQuantities() { return kQuantities; }

bool IsDelimitedText(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    const std::size_t dot = name.rfind('.');
    const std::string suffix = dot == std::string::npos ? std::string() : measurement::Lowercase(name.substr(dot + 1));
    return suffix != "s1p" && suffix != "ts";
}

bool AsksForColumns(const std::string& path, std::string_view message) {
    return IsDelimitedText(path) && message.find("--columns") != std::string_view::npos;
}

// The reader's "; or state the columns with --columns, e.g. ..." ends
// the message: what follows the punctuation before it is replaced.
std::string ColumnDialogAdvice(std::string_view message) {
    const std::size_t advice = message.find(" or state the columns with --columns");
    if (advice == std::string_view::npos)
        return std::string(message);
    return std::string(message.substr(0, advice)) + " or say below what each column holds.";
}

std::vector<std::string> FirstLines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (lines.size() < kShownLines && std::getline(file, line))
        lines.emplace_back(Trimmed(line));
    return lines;
}

std::size_t FieldCount(const std::vector<std::string>& lines) {
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (line->empty() || line->front() == '#' || line->front() == '!')
            continue;
        try {
            const std::size_t fields = measurement::SplitFields(*line, measurement::SeparatorOf(*line)).size();
            if (fields > 1)
                return std::min(fields, kMostColumns);
        } catch (const std::invalid_argument&) {
            // A quote not closed on the line: the line before may do.
        }
    }
    return 3;
}

std::string ColumnList(std::span<const std::size_t> chosen, std::string_view referenceOhm) {
    std::string list;
    bool reflection = false;
    for (const std::size_t index : chosen) {
        const ColumnQuantity& quantity = kQuantities[index < std::size(kQuantities) ? index : 0];
        if (!list.empty())
            list += ',';
        list += quantity.item;
        reflection = reflection || std::string_view(quantity.item).starts_with("s-");
    }
    const std::string_view reference = Trimmed(referenceOhm);
    if (reflection && reference != "50") {
        list += ",z0=";
        list += reference;
    }
    return list;
}

// Only a reading that gives points offers options to open the file with.
ColumnPreview PreviewColumns(const std::string& path, const std::string& columnList) {
    try {
        measurement::ReadOptions options;
        options.columns = measurement::ParseColumnList(columnList);
        PreviewSink sink;
        try {
            measurement::ReadMeasurementFile(path, options, sink);
        } catch (const EnoughPoints&) {
        }
        if (sink.points.empty())
            throw std::runtime_error("no point in the file");
        std::string shown = "Read as: ";
        for (std::size_t i = 0; i < sink.points.size(); ++i) {
            const measurement::MeasuredPoint& p = sink.points[i];
            if (i > 0)
                shown += "; ";
            shown += sweep::SignificantText(p.frequencyMHz);
            shown += " MHz: ";
            shown += sweep::SignificantText(std::abs(p.impedance));
            shown += " ohm at ";
            shown += sweep::SignificantText(measurement::Degrees(std::arg(p.impedance)));
            shown += " deg";
        }
        return {shown + " \u2026", options};
    } catch (const std::exception& error) {
        return {std::string("Not yet: ") + error.what(), std::nullopt};
    }
}

std::string RememberedColumnsKey(const std::string& path) {
    const std::vector<std::string> lines = FirstLines(path);
    return "columns/" + files::Sha256Hex(lines.empty() ? std::string() : lines.front()).substr(0, 32);
}

measurement::ReadOptions OptionsFor(const std::string& path, const std::optional<std::string>& remembered) {
    measurement::ReadOptions options;
    if (!IsDelimitedText(path) || !remembered)
        return options;
    try {
        options.columns = measurement::ParseColumnList(*remembered);
    } catch (const std::exception&) {
        // A setting from elsewhere that no longer reads: not applied.
    }
    return options;
}

}  // namespace quillet::sweepcore
