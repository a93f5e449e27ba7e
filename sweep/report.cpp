#include "report.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include "an_types.h"
#include "deviation.h"

namespace quillet::sweep {
namespace {

// A result as the calculator's boxes show it, without the sign blank.
std::string Shown(const std::string& boxText) {
    return !boxText.empty() && boxText.front() == ' ' ? boxText.substr(1) : boxText;
}

std::string Decibels(double db) { return Shown(ResultText(db)); }

std::string Optional(const std::optional<double>& value) { return value ? ShortestText(*value) : std::string(); }

std::string JsonNumber(const std::optional<double>& value) { return value ? ShortestText(*value) : "null"; }

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::string Table(const Evaluation& e, const std::string& source) {
    const std::vector<std::string> header = {"f (MHz)",         "|Z| (ohm)",        "phase (deg)",
                                             "deviation (dB)",  "EUT phase (deg)",  "exact high (dB)",
                                             "exact low (dB)",  "tolerance"};
    std::vector<std::vector<std::string>> rows;
    for (const EvaluatedPoint& p : e.points) {
        rows.push_back({p.frequencyText, p.magnitudeText, p.phaseText,
                        Shown(p.deviationText) + (p.inputsClamped ? "*" : ""), Shown(p.eutPhaseText),
                        p.exact ? Decibels(p.exact->highestDb) : "unbounded",
                        p.exact ? Decibels(p.exact->lowestDb) : "unbounded",
                        p.withinTolerance ? "ok" : "OUTSIDE"});
    }
    std::vector<std::size_t> width(header.size());
    for (std::size_t c = 0; c < header.size(); ++c) {
        width[c] = header[c].size();
        for (const auto& row : rows)
            width[c] = std::max(width[c], row[c].size());
    }
    std::ostringstream out;
    out << source << ", AN type " << e.anType << ": " << AnType(e.anType).caption << "\n\n";
    auto line = [&](const std::vector<std::string>& cells) {
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (c + 1 == cells.size())
                out << "  " << cells[c];  // the last column is text: left-aligned
            else
                out << std::string(width[c] - cells[c].size() + (c == 0 ? 0 : 2), ' ') << cells[c];
        }
        out << '\n';
    };
    line(header);
    for (const auto& row : rows)
        line(row);

    const Summary& s = e.summary;
    out << '\n';
    if (s.worstDeviation) {
        const EvaluatedPoint& p = e.points[*s.worstDeviation];
        out << "Worst deviation (calculator): " << Shown(p.deviationText) << " dB at " << p.frequencyText
            << " MHz, EUT phase " << Shown(p.eutPhaseText) << " deg\n";
    } else {
        out << "Worst deviation (calculator): no point could be evaluated\n";
    }
    if (s.firstUnbounded)
        out << "Worst exact case: unbounded (first at " << e.points[*s.firstUnbounded].frequencyText << " MHz)\n";
    else if (s.worstExact)
        out << "Worst exact case: " << Decibels(s.worstExactDb) << " dB at " << e.points[*s.worstExact].frequencyText
            << " MHz\n";
    out << "Outside the tolerance (+-20 % in magnitude, +-11.5 deg in phase): " << s.outsideTolerance << " of "
        << e.points.size() << " points\n";
    if (s.clamped > 0)
        out << "* " << s.clamped << " point(s) beyond the calculator's limits (0 to 500000 MHz, 0 to 500 ohm, "
            << "-360 to 360 deg): the calculator shows the result for the limit\n";
    return out.str();
}

std::string Csv(const Evaluation& e) {
    std::ostringstream out;
    out << "frequency_MHz,magnitude_ohm,phase_deg,deviation_dB,eut_phase_deg,exact_highest_dB,exact_lowest_dB,"
           "exact_unbounded,within_tolerance,calculator_inputs_clamped\n";
    for (const EvaluatedPoint& p : e.points) {
        out << p.frequencyText << ',' << p.magnitudeText << ',' << p.phaseText << ',' << Optional(p.deviationDb) << ','
            << Optional(p.eutPhaseDegrees) << ',' << (p.exact ? ShortestText(p.exact->highestDb) : "") << ','
            << (p.exact ? ShortestText(p.exact->lowestDb) : "") << ',' << (p.exact ? "false" : "true") << ','
            << (p.withinTolerance ? "true" : "false") << ',' << (p.inputsClamped ? "true" : "false") << '\n';
    }
    return out.str();
}

std::string Json(const Evaluation& e, const std::string& source) {
    std::ostringstream out;
    out << "{\n  \"file\": " << JsonString(source) << ",\n  \"an_type\": " << e.anType
        << ",\n  \"an_caption\": " << JsonString(std::string(AnType(e.anType).caption)) << ",\n  \"points\": [";
    for (std::size_t i = 0; i < e.points.size(); ++i) {
        const EvaluatedPoint& p = e.points[i];
        out << (i == 0 ? "\n" : ",\n") << "    {\"frequency_MHz\": " << p.frequencyText
            << ", \"magnitude_ohm\": " << p.magnitudeText << ", \"phase_deg\": " << p.phaseText
            << ", \"deviation_dB\": " << JsonNumber(p.deviationDb)
            << ", \"eut_phase_deg\": " << JsonNumber(p.eutPhaseDegrees)
            << ", \"exact_highest_dB\": " << (p.exact ? ShortestText(p.exact->highestDb) : "null")
            << ", \"exact_lowest_dB\": " << (p.exact ? ShortestText(p.exact->lowestDb) : "null")
            << ", \"exact_unbounded\": " << (p.exact ? "false" : "true")
            << ", \"within_tolerance\": " << (p.withinTolerance ? "true" : "false")
            << ", \"calculator_inputs_clamped\": " << (p.inputsClamped ? "true" : "false") << "}";
    }
    const Summary& s = e.summary;
    out << "\n  ],\n  \"summary\": {\n    \"points\": " << e.points.size()
        << ",\n    \"outside_tolerance\": " << s.outsideTolerance << ",\n    \"calculator_inputs_clamped\": " << s.clamped
        << ",\n    \"worst_deviation\": ";
    if (s.worstDeviation) {
        const EvaluatedPoint& p = e.points[*s.worstDeviation];
        out << "{\"frequency_MHz\": " << p.frequencyText << ", \"deviation_dB\": " << JsonNumber(p.deviationDb)
            << ", \"eut_phase_deg\": " << JsonNumber(p.eutPhaseDegrees) << "}";
    } else {
        out << "null";
    }
    out << ",\n    \"worst_exact\": ";
    if (s.worstExact && !s.firstUnbounded)
        out << "{\"frequency_MHz\": " << e.points[*s.worstExact].frequencyText
            << ", \"deviation_dB\": " << ShortestText(s.worstExactDb) << "}";
    else
        out << "null";
    out << ",\n    \"exact_unbounded_from_MHz\": "
        << (s.firstUnbounded ? e.points[*s.firstUnbounded].frequencyText : std::string("null")) << "\n  }\n}\n";
    return out.str();
}

}  // namespace

std::string WriteReport(const Evaluation& evaluation, ReportFormat format, const std::string& source) {
    switch (format) {
    case ReportFormat::Csv: return Csv(evaluation);
    case ReportFormat::Json: return Json(evaluation, source);
    case ReportFormat::Table: break;
    }
    return Table(evaluation, source);
}

}  // namespace quillet::sweep
