#include "measurement/touchstone_cells.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "measurement/frequency_unit.h"
#include "measurement/text_lines.h"
#include "measurement/touchstone_reader.h"

namespace quillet::measurement {
namespace {

std::string Joined(const std::vector<std::string>& cells) {
    std::string line;
    for (const std::string& cell : cells)
        line += (line.empty() ? "" : " ") + cell;
    return line;
}

class CellsReader : public LineReader {
public:
    CellsReader(const std::string& file, PointSink& sink, Separator separator)
        : file_(file), separator_(separator), touchstone_(MakeTouchstoneReader(file, sink)) {}

    void Line(std::string_view line, int number) override {
        const std::string_view content = Trim(line);
        if (content.empty() || content.front() == '!') {
            touchstone_->Line(content, number);
            return;
        }
        std::vector<std::string> cells;
        try {
            cells = SplitFields(content, separator_);
        } catch (const std::invalid_argument& error) {
            throw ReadError(file_, number, error.what());
        }
        // An empty cell between two others would shift the values left.
        if (std::any_of(cells.begin(), cells.end(), [](const std::string& cell) { return cell.empty(); }))
            throw ReadError(file_, number, "an empty cell between values");
        if (separator_ != Separator::Comma) {
            for (std::string& cell : cells) {
                if (const auto problem = decimalMarks_.Check(cell, number))
                    throw ReadError(file_, number, *problem);
                std::replace(cell.begin(), cell.end(), ',', '.');
            }
        }
        touchstone_->Line(Joined(cells), number);
    }

    void Finish() override { touchstone_->Finish(); }

private:
    DecimalMarks decimalMarks_;  // where a comma is a decimal comma
    const std::string& file_;
    Separator separator_;
    std::unique_ptr<LineReader> touchstone_;
};

bool NamesUnitOrFormat(std::string_view optionLine) {
    const auto words = SplitWhitespace(optionLine.substr(1));
    return std::any_of(words.begin(), words.end(), [](std::string_view word) {
        const std::string w = Lowercase(word);
        return FrequencyUnitNamed(w) || w == "ma" || w == "db" || w == "ri";
    });
}

}  // namespace

std::optional<Separator> OptionLineInCells(std::string_view line) {
    line = Trim(line);
    // "#,MHz,S..." or, quoted, "\"#\",\"MHz\",..."
    const std::size_t after = line.rfind("\"#\"", 0) == 0 ? 3 : line.rfind('#', 0) == 0 ? 1 : 0;
    if (after == 0 || line.size() <= after || std::string_view(",;\t").find(line[after]) == std::string_view::npos)
        return std::nullopt;
    const Separator separator = SeparatorOf(line);
    try {
        const std::string words = Joined(SplitFields(line, separator));
        if (IsOptionLine(words) && NamesUnitOrFormat(words))
            return separator;
    } catch (const std::invalid_argument&) {
        // an unbalanced quote: no option line
    }
    return std::nullopt;
}

bool NamesTouchstoneOptions(std::string_view line) {
    line = Trim(line);
    return OptionLineInCells(line) || (IsOptionLine(line) && NamesUnitOrFormat(line));
}

std::unique_ptr<LineReader> MakeTouchstoneCellsReader(const std::string& file, PointSink& sink, Separator separator) {
    return std::make_unique<CellsReader>(file, sink, separator);
}

}  // namespace quillet::measurement
