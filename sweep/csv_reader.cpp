// TEMPORARY bridge until the dialect reader lands.
#include "csv_reader.h"

#include <cmath>
#include <optional>
#include <stdexcept>
#include <vector>

#include "text_lines.h"

namespace quillet::sweep {

CsvColumns ParseColumnSpec(std::string_view) { throw std::invalid_argument("not yet"); }

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

class CsvReader : public LineReader {
public:
    CsvReader(const std::string& file, PointSink& sink) : file_(file), sink_(sink), order_(file, sink) {}
    void Line(std::string_view raw, int lineNumber) override {
        const std::string_view line = Trim(raw);
        if (line.empty())
            return;
        const char separator = line.find(';') != std::string_view::npos ? ';' : ',';
        const auto fields = SplitFields(line, separator);
        std::optional<double> numbers[3];
        bool allNumbers = fields.size() == 3;
        for (std::size_t k = 0; k < fields.size() && k < 3; ++k) {
            numbers[k] = StrictNumber(fields[k]);
            allNumbers = allNumbers && numbers[k].has_value();
        }
        const bool header = firstLine_ && !allNumbers;
        firstLine_ = false;
        if (header)
            return;
        if (!allNumbers)
            throw ReadError(file_, lineNumber, "expected three numbers: frequency (MHz), magnitude (ohm), phase (deg)");
        if (*numbers[0] < 0)
            throw ReadError(file_, lineNumber, "negative frequency");
        if (*numbers[1] < 0)
            throw ReadError(file_, lineNumber, "negative magnitude");
        order_.Check(*numbers[0], lineNumber);
        sink_.Point({*numbers[0], std::polar(*numbers[1], WrappedRadians(*numbers[2]))});
        ++points_;
    }
    void Finish() override {
        if (points_ == 0)
            throw ReadError(file_, 0, "no data points");
    }

private:
    const std::string& file_;
    PointSink& sink_;
    FrequencyOrder order_;
    bool firstLine_ = true;
    std::size_t points_ = 0;
};

}  // namespace

std::unique_ptr<LineReader> MakeCsvReader(const std::string& file, PointSink& sink, const std::optional<CsvColumns>&) {
    return std::make_unique<CsvReader>(file, sink);
}

}  // namespace quillet::sweep
