#include "sweep/report.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string_view>
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

std::string WorstMarginLine(const WorstMargin& worst) {
    return "Worst margin to the tolerance's edge: " + WorstMarginText(worst);
}

std::string OutcomeCounts(const Verdict& v) {
    std::string text;
    for (const Outcome outcome : {Outcome::Pass, Outcome::ConditionalPass, Outcome::ConditionalFail, Outcome::Fail})
        text += (text.empty() ? "" : ", ") + std::to_string(v.points[static_cast<std::size_t>(outcome)]) + " " +
                OutcomeName(outcome);
    return text;
}

// The outcome and margins of a row under the guarded rule, as JSON members
// or CSV fields, each leading with a separator.
std::string JsonJudgement(const PointJudgement& j) {
    return ", \"outcome\": \"" + OutcomeName(j.outcome) +
           "\", \"magnitude_margin_pct\": " + ShortestText(j.magnitudeMarginPercent) +
           ", \"phase_margin_deg\": " + ShortestText(j.phaseMarginDegrees);
}

std::string CsvJudgement(const PointJudgement& j) {
    return "," + OutcomeName(j.outcome) + "," + ShortestText(j.magnitudeMarginPercent) + "," +
           ShortestText(j.phaseMarginDegrees);
}

// The rule and the verdict as members of the JSON summary, each leading
// with ",\n".
std::string JsonVerdict(const Verdict& v) {
    const MeasurementUncertainty& u = *v.rule.uncertainty;
    std::string out = ",\n    \"decision_rule\": " + JsonString(RuleText(v.rule)) +
                      ",\n    \"uncertainty\": {\"magnitude_pct\": " + ShortestText(u.magnitudePercent) +
                      ", \"phase_deg\": " + ShortestText(u.phaseDegrees) +
                      ", \"coverage_factor\": " + ShortestText(u.coverageFactor) + "}" + ",\n    \"verdict\": \"" +
                      OutcomeName(v.outcome) + "\",\n    \"outcomes\": {";
    for (std::size_t i = 0; i < v.points.size(); ++i) {
        std::string key = OutcomeName(static_cast<Outcome>(i));
        std::replace(key.begin(), key.end(), ' ', '_');
        out += std::string(i == 0 ? "" : ", ") + "\"" + key + "\": " + std::to_string(v.points[i]);
    }
    out += "},\n    \"worst_margin\": ";
    if (!v.worstMargin)
        return out + "null";
    const PointJudgement& j = v.worstMargin->judgement;
    return out + "{\"frequency_MHz\": " + SignificantText(v.worstMargin->frequencyMHz) +
           ", \"magnitude_margin_pct\": " + ShortestText(j.magnitudeMarginPercent) +
           ", \"phase_margin_deg\": " + ShortestText(j.phaseMarginDegrees) +
           ", \"relative_margin\": " + ShortestText(j.RelativeMargin()) + ", \"worst_in\": \"" +
           (j.MagnitudeIsNearer() ? "magnitude" : "phase") + "\"}";
}

}  // namespace

std::string TableCell(const EvaluatedPoint& p, int column, const DecisionRule& rule) {
    switch (column) {
    case kFrequencyColumn: return p.frequencyText;
    case kMagnitudeColumn: return p.magnitudeText;
    case kPhaseColumn: return p.phaseText;
    case kDeviationColumn: return Shown(p.deviationText) + (p.inputsClamped ? "*" : "");
    case kEutPhaseColumn: return Shown(p.eutPhaseText);
    case kExactHighColumn: return p.exact ? Decibels(p.exact->highestDb) : "unbounded";
    case kExactLowColumn: return p.exact ? Decibels(p.exact->lowestDb) : "unbounded";
    case kMeanColumn: return p.statistics ? Decibels(p.statistics->meanDb) : "unbounded";
    case kStandardDeviationColumn: return p.statistics ? Decibels(p.statistics->standardDeviationDb) : "unbounded";
    case kRmsColumn: return p.statistics ? Decibels(p.statistics->rmsDb) : "unbounded";
    case kToleranceColumn:
        return rule.uncertainty ? OutcomeName(JudgePoint(p, rule).outcome) : p.withinTolerance ? "ok" : "OUTSIDE";
    default: throw std::out_of_range("no table column " + std::to_string(column));
    }
}

std::vector<std::string> TableCells(const EvaluatedPoint& p, const DecisionRule& rule) {
    std::vector<std::string> cells;
    cells.reserve(TableHeader().size());
    for (int column = 0; column < static_cast<int>(TableHeader().size()); ++column)
        cells.push_back(TableCell(p, column, rule));
    return cells;
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
    if (s.verdict.rule.uncertainty) {
        lines.push_back("Decision rule: " + RuleText(s.verdict.rule));
        lines.push_back("Verdict: " + OutcomeName(s.verdict.outcome) + " (" + OutcomeCounts(s.verdict) + ")");
        if (s.verdict.worstMargin)
            lines.push_back(WorstMarginLine(*s.verdict.worstMargin));
    }
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
    TableWriter(std::ostream& out, std::int16_t anType, const std::string& source, const DecisionRule& rule)
        : out_(out),
          anType_(anType),
          source_(source),
          rule_(rule),
          header_(TableHeader()),
          spool_(std::tmpfile()),
          width_(header_.size()) {
        if (!spool_)
            throw std::runtime_error("cannot create a temporary file for the table");
        if (rule_.uncertainty)
            header_[kToleranceColumn] = "outcome";
        for (std::size_t c = 0; c < header_.size(); ++c)
            width_[c] = header_[c].size();
    }
    ~TableWriter() override { std::fclose(spool_); }

    std::string RowText(const EvaluatedPoint& point) const override {
        std::string line;
        const auto cells = TableCells(point, rule_);
        for (std::size_t c = 0; c < cells.size(); ++c) {
            line += cells[c];
            line += c + 1 == cells.size() ? '\n' : '\t';
        }
        return line;
    }

    void WriteRow(const std::string& line) override {
        const auto cells = CellsOf(line);
        for (std::size_t c = 0; c < cells.size(); ++c)
            width_[c] = std::max(width_[c], cells[c].size());
        if (std::fwrite(line.data(), 1, line.size(), spool_) != line.size())
            throw std::runtime_error("cannot write the table's temporary file");
    }

    void Finish(const Summary& s, const std::vector<BudgetLine>& budget) override {
        out_ << source_ << ", AN type " << anType_ << ": " << AnType(anType_).caption << "\n\n";
        Line(std::vector<std::string_view>(header_.begin(), header_.end()));
        std::rewind(spool_);
        std::string pending;
        std::vector<char> chunk(1 << 16);
        for (std::size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), spool_)) > 0;) {
            pending.append(chunk.data(), n);
            std::size_t start = 0;
            for (std::size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1)
                Line(CellsOf(std::string_view(pending).substr(start, end - start + 1)));
            pending.erase(0, start);
        }
        if (std::ferror(spool_))
            throw std::runtime_error("cannot read the table's temporary file");
        Summarise(s, budget);
    }

private:
    // A spooled line's cells: tab-separated, the line end dropped.
    static std::vector<std::string_view> CellsOf(std::string_view line) {
        std::vector<std::string_view> cells;
        line.remove_suffix(1);
        for (std::size_t tab; (tab = line.find('\t')) != std::string_view::npos; line.remove_prefix(tab + 1))
            cells.push_back(line.substr(0, tab));
        cells.push_back(line);
        return cells;
    }

    void Line(const std::vector<std::string_view>& cells) {
        std::string line;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (c + 1 == cells.size())
                line.append("  ").append(cells[c]);  // the last column is text: left-aligned
            else
                line.append(width_[c] - cells[c].size() + (c == 0 ? 0 : 2), ' ').append(cells[c]);
        }
        line += '\n';
        out_.write(line.data(), static_cast<std::streamsize>(line.size()));
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
    DecisionRule rule_;
    std::vector<std::string> header_;
    std::FILE* spool_;
    std::vector<std::size_t> width_;
};

class CsvWriter : public ReportWriter {
public:
    CsvWriter(std::ostream& out, const DecisionRule& rule) : out_(out), rule_(rule) {
        out_ << "frequency_MHz,magnitude_ohm,phase_deg,deviation_dB,eut_phase_deg,exact_highest_dB,exact_lowest_dB,"
                "mean_dB,standard_deviation_dB,rms_dB,exact_unbounded,within_tolerance,calculator_inputs_clamped"
             << (rule_.uncertainty ? ",outcome,magnitude_margin_pct,phase_margin_deg\n" : "\n");
    }

    std::string RowText(const EvaluatedPoint& p) const override {
        std::string row;
        row.reserve(256);
        const auto text = [&row](std::string_view field) { row.append(field) += ','; };
        const auto number = [&row](const std::optional<double>& field) {
            if (field)
                AppendShortestText(row, *field);
            row += ',';
        };
        text(p.frequencyText);
        text(p.magnitudeText);
        text(p.phaseText);
        number(p.deviationDb);
        number(p.eutPhaseDegrees);
        number(p.exact ? std::optional(p.exact->highestDb) : std::nullopt);
        number(p.exact ? std::optional(p.exact->lowestDb) : std::nullopt);
        number(p.statistics ? std::optional(p.statistics->meanDb) : std::nullopt);
        number(p.statistics ? std::optional(p.statistics->standardDeviationDb) : std::nullopt);
        number(p.statistics ? std::optional(p.statistics->rmsDb) : std::nullopt);
        text(p.exact ? "false" : "true");
        text(p.withinTolerance ? "true" : "false");
        row += p.inputsClamped ? "true" : "false";
        if (rule_.uncertainty)
            row += CsvJudgement(JudgePoint(p, rule_));
        row += '\n';
        return row;
    }

    void WriteRow(const std::string& row) override { out_.write(row.data(), static_cast<std::streamsize>(row.size())); }

    void Finish(const Summary&, const std::vector<BudgetLine>&) override {}

private:
    std::ostream& out_;
    DecisionRule rule_;
};

class JsonWriter : public ReportWriter {
public:
    JsonWriter(std::ostream& out, std::int16_t anType, const std::string& source, const DecisionRule& rule)
        : out_(out), rule_(rule) {
        out_ << "{\n  \"file\": " << JsonString(source) << ",\n  \"an_type\": " << anType
             << ",\n  \"an_caption\": " << JsonString(std::string(AnType(anType).caption)) << ",\n  \"points\": [";
    }

    std::string RowText(const EvaluatedPoint& p) const override {
        const auto statistics = StatisticsTexts(p, "null");
        return "    {\"frequency_MHz\": " + p.frequencyText + ", \"magnitude_ohm\": " + p.magnitudeText +
               ", \"phase_deg\": " + p.phaseText + ", \"deviation_dB\": " + JsonNumber(p.deviationDb) +
               ", \"eut_phase_deg\": " + JsonNumber(p.eutPhaseDegrees) +
               ", \"exact_highest_dB\": " + (p.exact ? ShortestText(p.exact->highestDb) : "null") +
               ", \"exact_lowest_dB\": " + (p.exact ? ShortestText(p.exact->lowestDb) : "null") +
               ", \"mean_dB\": " + statistics[0] + ", \"standard_deviation_dB\": " + statistics[1] +
               ", \"rms_dB\": " + statistics[2] + ", \"exact_unbounded\": " + (p.exact ? "false" : "true") +
               ", \"within_tolerance\": " + (p.withinTolerance ? "true" : "false") +
               ", \"calculator_inputs_clamped\": " + (p.inputsClamped ? "true" : "false") +
               (rule_.uncertainty ? JsonJudgement(JudgePoint(p, rule_)) : "") + "}";
    }

    void WriteRow(const std::string& row) override {
        out_ << (first_ ? "\n" : ",\n");
        out_.write(row.data(), static_cast<std::streamsize>(row.size()));
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
             << (s.firstUnbounded ? s.firstUnbounded->frequencyText : std::string("null"))
             << (s.verdict.rule.uncertainty ? JsonVerdict(s.verdict) : "") << "\n  }\n}\n";
    }

private:
    std::ostream& out_;
    DecisionRule rule_;
    bool first_ = true;
};

}  // namespace

std::unique_ptr<ReportWriter> MakeReportWriter(ReportFormat format, std::ostream& out, std::int16_t anType,
                                               const std::string& source, const DecisionRule& rule) {
    switch (format) {
    case ReportFormat::Csv: return std::make_unique<CsvWriter>(out, rule);
    case ReportFormat::Json: return std::make_unique<JsonWriter>(out, anType, source, rule);
    case ReportFormat::Table: break;
    }
    return std::make_unique<TableWriter>(out, anType, source, rule);
}

std::string WriteReport(const Evaluation& evaluation, ReportFormat format, const std::string& source) {
    return WriteReport(evaluation, BudgetLines(evaluation.summary.bands, evaluation.anType), format, source);
}

std::string WriteReport(const Evaluation& evaluation, const std::vector<BudgetLine>& budget, ReportFormat format,
                        const std::string& source) {
    std::ostringstream out;
    const auto writer = MakeReportWriter(format, out, evaluation.anType, source, evaluation.summary.verdict.rule);
    for (const EvaluatedPoint& point : evaluation.points)
        writer->Row(point);
    writer->Finish(evaluation.summary, budget);
    return out.str();
}

}  // namespace quillet::sweep
