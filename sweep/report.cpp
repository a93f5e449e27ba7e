#include "sweep/report.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "engine/an_types.h"
#include "engine/deviation.h"
#include "window/entry_field.h"

namespace quillet::sweep {
namespace {

// A result as the calculator's boxes show it, without the sign blank.
std::string Shown(const std::string& boxText) {
    return !boxText.empty() && boxText.front() == ' ' ? boxText.substr(1) : boxText;
}

// The input boxes' limits, as the clamp footnote names them.
std::string LimitsText() {
    auto range = [](const EntryField& field, const char* unit) {
        return std::to_string(field.lower) + " to " + std::to_string(field.upper) + " " + unit;
    };
    return range(kFrequencyField, "MHz") + ", " + range(kMagnitudeField, "ohm") + ", " + range(kPhaseField, "deg");
}

std::string Optional(const std::optional<double>& value) { return value ? ShortestText(*value) : std::string(); }

std::string JsonNumber(const std::optional<double>& value) { return value ? ShortestText(*value) : "null"; }

// The phase statistics as unrounded numbers, or the text for none of each.
std::array<std::string, 3> StatisticsTexts(const EvaluatedPoint& p, const char* none) {
    if (!p.statistics)
        return {none, none, none};
    return {ShortestText(p.statistics->meanDb), ShortestText(p.statistics->standardDeviationDb),
            ShortestText(p.statistics->rmsDb)};
}

// A band's figures as JSON members, each leading with ", ".
std::string JsonFigures(const WorstFigures& f) {
    std::string out = ", \"unbounded_from_MHz\": " + (f.unboundedAtMHz ? ShortestText(*f.unboundedAtMHz) : "null");
    const auto member = [&out](const char* name, const std::optional<WorstFigure>& figure) {
        out += std::string(", \"") + name + "_dB\": " + (figure ? ShortestText(figure->db) : "null") + ", \"" + name +
               "_at_MHz\": " + (figure ? ShortestText(figure->atMHz) : "null");
    };
    member("highest", f.highest);
    member("lowest", f.lowest);
    member("largest_abs_mean", f.largestAbsMean);
    member("largest_standard_deviation", f.largestStandardDeviation);
    member("standard_uncertainty", f.largestRms);
    return out;
}

// A JSON string for any bytes: a byte that is not part of well-formed
// UTF-8 (a file name can hold any) becomes U+FFFD, so the output stays JSON.
std::string JsonString(const std::string& text) {
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace

std::vector<std::string> TableCells(const EvaluatedPoint& p) {
    return {p.frequencyText,
            p.magnitudeText,
            p.phaseText,
            Shown(p.deviationText) + (p.inputsClamped ? "*" : ""),
            Shown(p.eutPhaseText),
            p.exact ? Decibels(p.exact->highestDb) : "unbounded",
            p.exact ? Decibels(p.exact->lowestDb) : "unbounded",
            p.statistics ? Decibels(p.statistics->meanDb) : "unbounded",
            p.statistics ? Decibels(p.statistics->standardDeviationDb) : "unbounded",
            p.statistics ? Decibels(p.statistics->rmsDb) : "unbounded",
            p.withinTolerance ? "ok" : "OUTSIDE"};
}

const std::vector<std::string>& TableHeader() {
    static const std::vector<std::string> header = {
        "f (MHz)",        "|Z| (ohm)", "phase (deg)",  "deviation (dB)", "EUT phase (deg)", "exact high (dB)",
        "exact low (dB)", "mean (dB)", "std dev (dB)", "rms (dB)",       "tolerance"};
    return header;
}

std::vector<std::string> SummaryLines(const Summary& s) {
    std::vector<std::string> lines;
    if (s.worstDeviation) {
        const EvaluatedPoint& p = *s.worstDeviation;
        lines.push_back("Worst deviation (calculator): " + Shown(p.deviationText) + " dB at " + p.frequencyText +
                        " MHz, EUT phase " + Shown(p.eutPhaseText) + " deg");
    } else {
        lines.emplace_back("Worst deviation (calculator): no point could be evaluated");
    }
    if (s.firstUnbounded)
        lines.push_back("Worst exact case: unbounded (first at " + s.firstUnbounded->frequencyText + " MHz)");
    else if (s.worstExact)
        lines.push_back("Worst exact case: " + Decibels(s.worstExactDb) + " dB at " + s.worstExact->frequencyText +
                        " MHz");
    lines.push_back("Outside the tolerance (" + ToleranceText() + "): " + std::to_string(s.outsideTolerance) + " of " +
                    std::to_string(s.points) + " points");
    if (s.clamped > 0)
        lines.push_back("* " + std::to_string(s.clamped) + " point(s) beyond the calculator's limits (" + LimitsText() +
                        "): the calculator shows the result for the limit");
    return lines;
}

namespace {

// The columns are as wide as their widest cell, known only after the last
// row: the rows wait in an unnamed temporary file, so memory stays small
// however long the sweep.
class TableWriter : public ReportWriter {
public:
    TableWriter(std::ostream& out, std::int16_t anType, const std::string& source)
        : out_(out), anType_(anType), source_(source), spool_(std::tmpfile()), width_(TableHeader().size()) {
        if (!spool_)
            throw std::runtime_error("cannot create a temporary file for the table");
        for (std::size_t c = 0; c < TableHeader().size(); ++c)
            width_[c] = TableHeader()[c].size();
    }
    ~TableWriter() override { std::fclose(spool_); }

    void Row(const EvaluatedPoint& point) override {
        std::string line;
        const auto cells = TableCells(point);
        for (std::size_t c = 0; c < cells.size(); ++c) {
            width_[c] = std::max(width_[c], cells[c].size());
            line += cells[c];
            line += c + 1 == cells.size() ? '\n' : '\t';
        }
        if (std::fwrite(line.data(), 1, line.size(), spool_) != line.size())
            throw std::runtime_error("cannot write the table's temporary file");
    }

    void Finish(const Summary& s, const std::vector<BudgetLine>& budget) override {
        out_ << source_ << ", AN type " << anType_ << ": " << AnType(anType_).caption << "\n\n";
        Line(TableHeader());
        std::rewind(spool_);
        std::vector<std::string> cells;
        std::string cell;
        for (int c = std::fgetc(spool_); c != EOF; c = std::fgetc(spool_)) {
            if (c == '\t' || c == '\n') {
                cells.push_back(std::move(cell));
                cell.clear();
                if (c == '\n') {
                    Line(cells);
                    cells.clear();
                }
            } else {
                cell += static_cast<char>(c);
            }
        }
        if (std::ferror(spool_))
            throw std::runtime_error("cannot read the table's temporary file");
        Summarise(s, budget);
    }

private:
    void Line(const std::vector<std::string>& cells) {
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (c + 1 == cells.size())
                out_ << "  " << cells[c];  // the last column is text: left-aligned
            else
                out_ << std::string(width_[c] - cells[c].size() + (c == 0 ? 0 : 2), ' ') << cells[c];
        }
        out_ << '\n';
    }

    void Summarise(const Summary& s, const std::vector<BudgetLine>& budget) {
        out_ << '\n';
        for (const std::string& line : SummaryLines(s))
            out_ << line << '\n';
        const std::vector<std::string> lines = BudgetText(budget);
        if (!lines.empty())
            out_ << '\n';
        for (const std::string& line : lines)
            out_ << line << '\n';
    }

    std::ostream& out_;
    std::int16_t anType_;
    std::string source_;
    std::FILE* spool_;
    std::vector<std::size_t> width_;
};

class CsvWriter : public ReportWriter {
public:
    explicit CsvWriter(std::ostream& out) : out_(out) {
        out_ << "frequency_MHz,magnitude_ohm,phase_deg,deviation_dB,eut_phase_deg,exact_highest_dB,exact_lowest_dB,"
                "mean_dB,standard_deviation_dB,rms_dB,exact_unbounded,within_tolerance,calculator_inputs_clamped\n";
    }

    void Row(const EvaluatedPoint& p) override {
        out_ << p.frequencyText << ',' << p.magnitudeText << ',' << p.phaseText << ',' << Optional(p.deviationDb) << ','
             << Optional(p.eutPhaseDegrees) << ',' << (p.exact ? ShortestText(p.exact->highestDb) : "") << ','
             << (p.exact ? ShortestText(p.exact->lowestDb) : "") << ',';
        const auto statistics = StatisticsTexts(p, "");
        out_ << statistics[0] << ',' << statistics[1] << ',' << statistics[2] << ',' << (p.exact ? "false" : "true")
             << ',' << (p.withinTolerance ? "true" : "false") << ',' << (p.inputsClamped ? "true" : "false") << '\n';
    }

    void Finish(const Summary&, const std::vector<BudgetLine>&) override {}

private:
    std::ostream& out_;
};

class JsonWriter : public ReportWriter {
public:
    JsonWriter(std::ostream& out, std::int16_t anType, const std::string& source) : out_(out) {
        out_ << "{\n  \"file\": " << JsonString(source) << ",\n  \"an_type\": " << anType
             << ",\n  \"an_caption\": " << JsonString(std::string(AnType(anType).caption)) << ",\n  \"points\": [";
    }

    void Row(const EvaluatedPoint& p) override {
        const auto statistics = StatisticsTexts(p, "null");
        out_ << (first_ ? "\n" : ",\n") << "    {\"frequency_MHz\": " << p.frequencyText
             << ", \"magnitude_ohm\": " << p.magnitudeText << ", \"phase_deg\": " << p.phaseText
             << ", \"deviation_dB\": " << JsonNumber(p.deviationDb)
             << ", \"eut_phase_deg\": " << JsonNumber(p.eutPhaseDegrees)
             << ", \"exact_highest_dB\": " << (p.exact ? ShortestText(p.exact->highestDb) : "null")
             << ", \"exact_lowest_dB\": " << (p.exact ? ShortestText(p.exact->lowestDb) : "null")
             << ", \"mean_dB\": " << statistics[0] << ", \"standard_deviation_dB\": " << statistics[1]
             << ", \"rms_dB\": " << statistics[2] << ", \"exact_unbounded\": " << (p.exact ? "false" : "true")
             << ", \"within_tolerance\": " << (p.withinTolerance ? "true" : "false")
             << ", \"calculator_inputs_clamped\": " << (p.inputsClamped ? "true" : "false") << "}";
        first_ = false;
    }

    void Finish(const Summary& s, const std::vector<BudgetLine>& budget) override {
        out_ << "\n  ],\n  \"bands\": [";
        for (std::size_t i = 0; i < budget.size(); ++i) {
            const BudgetLine& line = budget[i];
            out_ << (i == 0 ? "\n" : ",\n") << "    {\"from_MHz\": " << ShortestText(line.band.fromMHz)
                 << ", \"to_MHz\": " << ShortestText(line.band.toMHz) << ", \"points\": " << line.points
                 << JsonFigures(line.measured) << ",\n     \"tolerance_limit\": {"
                 << JsonFigures(line.toleranceLimit).substr(2) << "}}";
        }
        out_ << (budget.empty() ? "]" : "\n  ]") << ",\n  \"summary\": {\n    \"points\": " << s.points
             << ",\n    \"outside_tolerance\": " << s.outsideTolerance
             << ",\n    \"calculator_inputs_clamped\": " << s.clamped << ",\n    \"worst_deviation\": ";
        if (s.worstDeviation) {
            const EvaluatedPoint& p = *s.worstDeviation;
            out_ << "{\"frequency_MHz\": " << p.frequencyText << ", \"deviation_dB\": " << JsonNumber(p.deviationDb)
                 << ", \"eut_phase_deg\": " << JsonNumber(p.eutPhaseDegrees) << "}";
        } else {
            out_ << "null";
        }
        out_ << ",\n    \"worst_exact\": ";
        if (s.worstExact && !s.firstUnbounded)
            out_ << "{\"frequency_MHz\": " << s.worstExact->frequencyText
                 << ", \"deviation_dB\": " << ShortestText(s.worstExactDb) << "}";
        else
            out_ << "null";
        out_ << ",\n    \"exact_unbounded_from_MHz\": "
             << (s.firstUnbounded ? s.firstUnbounded->frequencyText : std::string("null")) << "\n  }\n}\n";
    }

private:
    std::ostream& out_;
    bool first_ = true;
};

}  // namespace

std::unique_ptr<ReportWriter> MakeReportWriter(ReportFormat format, std::ostream& out, std::int16_t anType,
                                               const std::string& source) {
    switch (format) {
    case ReportFormat::Csv: return std::make_unique<CsvWriter>(out);
    case ReportFormat::Json: return std::make_unique<JsonWriter>(out, anType, source);
    case ReportFormat::Table: break;
    }
    return std::make_unique<TableWriter>(out, anType, source);
}

std::string WriteReport(const Evaluation& evaluation, ReportFormat format, const std::string& source) {
    return WriteReport(evaluation, BudgetLines(evaluation.summary.bands, evaluation.anType), format, source);
}

std::string WriteReport(const Evaluation& evaluation, const std::vector<BudgetLine>& budget, ReportFormat format,
                        const std::string& source) {
    std::ostringstream out;
    const auto writer = MakeReportWriter(format, out, evaluation.anType, source);
    for (const EvaluatedPoint& point : evaluation.points)
        writer->Row(point);
    writer->Finish(evaluation.summary, budget);
    return out.str();
}

}  // namespace quillet::sweep
