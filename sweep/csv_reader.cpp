#include "csv_reader.h"

#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

#include "text_lines.h"

namespace quillet::sweep {
namespace {

std::vector<std::string_view> SplitFields(std::string_view line, char separator) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const auto end = line.find(separator, start);
        fields.push_back(Trim(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start)));
        if (end == std::string_view::npos)
            return fields;
        start = end + 1;
    }
}

}  // namespace

Measurement ReadCsv(std::string_view text, const std::string& file) {
    Measurement measurement;
    const auto lines = SplitLines(text);
    bool firstLine = true;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i) + 1;
        const std::string_view line = Trim(lines[i]);
        if (line.empty())
            continue;
        const char separator = line.find(';') != std::string_view::npos ? ';' : ',';
        const auto fields = SplitFields(line, separator);
        std::optional<double> numbers[3];
        bool allNumbers = fields.size() == 3;
        for (std::size_t k = 0; k < fields.size() && k < 3; ++k) {
            numbers[k] = StrictNumber(fields[k]);
            allNumbers = allNumbers && numbers[k].has_value();
        }
        // A header names its columns; a first line of numbers written with
        // a decimal comma is data, and says so below.
        const bool header = firstLine && !numbers[0].has_value() && !numbers[1].has_value() &&
                            !numbers[2].has_value() &&
                            line.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") !=
                                std::string_view::npos;
        firstLine = false;
        if (header)
            continue;
        if (!allNumbers) {
            std::string message = "expected three numbers: frequency (MHz), magnitude (ohm), phase (deg)";
            if (separator == ';' && line.find(',') != std::string_view::npos)
                message += "; write decimals with a point, not a comma";
            else if (fields.size() != 3)
                message += ", found " + std::to_string(fields.size()) + " field(s)";
            throw ReadError(file, lineNumber, message);
        }
        const double frequency = *numbers[0];
        const double magnitude = *numbers[1];
        if (frequency < 0)
            throw ReadError(file, lineNumber, "negative frequency");
        if (magnitude < 0)
            throw ReadError(file, lineNumber, "negative magnitude");
        if (!measurement.points.empty() && !(frequency > measurement.points.back().frequencyMHz))
            throw ReadError(file, lineNumber, "frequencies must rise from line to line");
        // Whole turns are taken off first, so any finite phase stays finite.
        const double phase = std::fmod(*numbers[2], 360.0) * std::numbers::pi / 180.0;
        measurement.points.push_back({frequency, std::polar(magnitude, phase)});
    }
    if (measurement.points.empty())
        throw ReadError(file, 0, "no data points");
    return measurement;
}

}  // namespace quillet::sweep
