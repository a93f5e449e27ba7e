#include "records/results.h"

#include <charconv>
#include <cmath>
#include <complex>

#include "engine/an_types.h"
#include "engine/complex_math.h"
#include "measurement/read_measurement.h"
#include "sweep/budget.h"
#include "sweep/evaluation.h"
#include "sweep/report.h"

namespace quillet::records {
namespace {

double Number(const std::string& text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// How much of the tolerance a point leaves unused, judged like the
// tolerance check on the values as typed into the calculator: the larger
// share used of the magnitude's and the phase's tolerance, taken from 1.
double Margin(const sweep::EvaluatedPoint& p, std::int16_t anType) {
    const std::complex<double> nominal = NominalImpedance(anType, Number(p.frequencyText));
    const double ratio = Number(p.magnitudeText) / Abs(nominal);
    double phase = std::fmod(Number(p.phaseText), 360.0) - measurement::Degrees(Arg(nominal));
    if (phase > 180.0)
        phase -= 360.0;
    if (phase < -180.0)
        phase += 360.0;
    const double used =
        std::max(std::fabs(ratio - 1.0) / kMagnitudeTolerance, std::fabs(phase) / kPhaseToleranceDegrees);
    return 1.0 - used;
}

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

Results EvaluateMeasurement(std::string_view bytes, const std::string& fileName, std::int16_t anType) {
    const measurement::Measurement measurement = measurement::ReadMeasurement(bytes, fileName);
    const sweep::Evaluation evaluation = sweep::Evaluate(measurement, anType);

    Results results;
    bool allWithin = true;
    results.pointsJson = "[";
    for (const sweep::EvaluatedPoint& p : evaluation.points) {
        const double margin = Margin(p, anType);
        results.worstMargin = results.worstMargin ? std::min(*results.worstMargin, margin) : margin;
        allWithin = allWithin && p.withinTolerance;
        results.pointsJson += std::string(results.pointsJson.size() > 1 ? ",\n " : "\n ") +
                              "{\"frequency_MHz\": " + p.frequencyText + ", \"magnitude_ohm\": " + p.magnitudeText +
                              ", \"phase_deg\": " + p.phaseText + ", \"margin\": " + sweep::ShortestText(margin) +
                              ", \"verdict\": \"" + (p.withinTolerance ? "pass" : "fail") + "\"}";
    }
    results.pointsJson += results.pointsJson.size() > 1 ? "\n]" : "]";
    // Simple acceptance until the decision rules that weigh the uncertainty
    // are in: a sweep without points proves nothing.
    results.decisionVerdict.outcome = allWithin && !evaluation.points.empty() ? "pass" : "fail";
    results.bandsJson = BandsJson(evaluation, fileName);
    return results;
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
