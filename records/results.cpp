#include "records/results.h"

#include <charconv>
#include <stdexcept>

#include "measurement/read_measurement.h"
#include "sweep/budget.h"
#include "sweep/evaluation.h"
#include "sweep/report.h"
#include "sweep/verdict.h"

namespace quillet::records {
namespace {

// The band lines exactly as an-sweep's JSON report writes them: the text
// of its "bands" member.
std::string BandsJson(const sweep::Evaluation& evaluation, const std::string& fileName) {
    const std::vector<sweep::BudgetLine> lines = sweep::BudgetLines(evaluation.summary.bands, evaluation.anType);
    const std::string report = sweep::WriteReport(evaluation, lines, sweep::ReportFormat::Json, fileName);
    const std::string head = "\n  \"bands\": ";
    const std::size_t from = report.find(head);
    const std::size_t to = report.find(",\n  \"summary\": ", from);
    if (from == std::string::npos || to == std::string::npos)
        throw std::logic_error("the JSON report has no bands member");
    return report.substr(from + head.size(), to - from - head.size());
}

}  // namespace

Results EvaluateMeasurement(std::string_view bytes, const std::string& fileName, std::int16_t anType,
                            const std::optional<Uncertainty>& uncertainty) {
    const measurement::Measurement measurement = measurement::ReadMeasurement(bytes, fileName);
    const sweep::Evaluation evaluation = sweep::Evaluate(measurement, anType);
    const sweep::DecisionRule rule{uncertainty};
    const sweep::Verdict verdict = sweep::JudgeEvaluation(evaluation, rule);

    Results results;
    results.decisionVerdict = {sweep::RuleText(rule), sweep::OutcomeName(verdict.outcome)};
    if (verdict.worstMargin)
        results.worstMargin = verdict.worstMargin->judgement.RelativeMargin();
    results.pointsJson = "[";
    for (const sweep::EvaluatedPoint& p : evaluation.points) {
        const sweep::PointJudgement j = sweep::JudgePoint(p, rule);
        results.pointsJson += std::string(results.pointsJson.size() > 1 ? ",\n " : "\n ") +
                              "{\"frequency_MHz\": " + p.frequencyText + ", \"magnitude_ohm\": " + p.magnitudeText +
                              ", \"phase_deg\": " + p.phaseText +
                              ", \"magnitude_margin_pct\": " + sweep::ShortestText(j.magnitudeMarginPercent) +
                              ", \"phase_margin_deg\": " + sweep::ShortestText(j.phaseMarginDegrees) +
                              ", \"margin\": " + sweep::ShortestText(j.RelativeMargin()) + ", \"verdict\": \"" +
                              sweep::OutcomeName(j.outcome) + "\"}";
    }
    results.pointsJson += results.pointsJson.size() > 1 ? "\n]" : "]";
    results.bandsJson = BandsJson(evaluation, fileName);
    return results;
}

std::string MarginText(const std::optional<double>& margin) {
    if (!margin)
        return "-";
    char text[400];
    const auto end = std::to_chars(text, text + sizeof text, *margin, std::chars_format::fixed, 3).ptr;
    return std::string(text, end);
}

std::vector<std::string> Differences(const Results& stored, const Results& fresh) {
    std::vector<std::string> differences;
    if (stored.decisionVerdict.outcome != fresh.decisionVerdict.outcome)
        differences.push_back("verdict: recorded " + stored.decisionVerdict.outcome + ", now " +
                              fresh.decisionVerdict.outcome);
    const auto text = [](const std::optional<double>& v) { return v ? sweep::ShortestText(*v) : std::string("none"); };
    // Compared as their shortest texts, which differ whenever the bits do.
    if (text(stored.worstMargin) != text(fresh.worstMargin))
        differences.push_back("worst margin: recorded " + text(stored.worstMargin) + ", now " +
                              text(fresh.worstMargin));
    if (stored.pointsJson != fresh.pointsJson)
        differences.push_back("the per-point results differ");
    if (stored.bandsJson != fresh.bandsJson)
        differences.push_back("the budget's band lines differ");
    return differences;
}

}  // namespace quillet::records
