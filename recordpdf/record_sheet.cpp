#include "recordpdf/record_sheet.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "engine/an_types.h"
#include "measurement/read_measurement.h"
#include "plot/deviation_plot.h"
#include "plot/trend_plot.h"
#include "quillet/version.h"
#include "records/dates.h"
#include "records/due.h"
#include "records/entry_checks.h"
#include "records/results.h"
#include "sweep/budget.h"
#include "sweep/evaluation.h"
#include "sweep/verdict.h"

namespace quillet::recordpdf {
namespace {

std::string NetworkName(const records::Network& network) {
    return network.maker + " " + network.model + ", serial " + network.serial;
}

std::string AnTypeText(std::int16_t type) {
    return "AN type " + std::to_string(type) + ": " + std::string(AnType(type).caption);
}

std::string Or(const std::string& text, const char* missing = "not stated") { return text.empty() ? missing : text; }

pdf::Fields NetworkFields(const records::Network& network) {
    return pdf::Fields{{{"Maker", network.maker},
                        {"Model", network.model},
                        {"Serial number", network.serial},
                        {"Type", AnTypeText(network.anType)},
                        {"Lines measured", Or(network.lines)},
                        {"Verification interval", std::to_string(network.intervalDays) + " days"},
                        {"Notes", Or(network.notes, "none")}}};
}

std::string UncertaintyText(const std::optional<records::Uncertainty>& u) {
    if (!u)
        return "not stated";
    return "U = " + sweep::ShortestText(u->magnitudePercent) + " % in magnitude, " +
           sweep::ShortestText(u->phaseDegrees) + "\u00B0 in phase (k = " + sweep::ShortestText(u->coverageFactor) +
           ")";
}

// The band lines, measured beside the tolerance limit, in the words and
// roundings of an-sweep's report.
pdf::Table BudgetTable(const std::vector<sweep::BudgetLine>& lines) {
    pdf::Table table{{"Band", "Of"}, {}, {}};
    for (const auto& named : sweep::BudgetFigures())
        table.header.push_back(named.name);
    for (const sweep::BudgetLine& line : lines) {
        const auto row = [&](const char* of, const WorstFigures& figures) {
            std::vector<std::string> cells{of == std::string("measured") ? sweep::BandText(line) : "", of};
            for (const auto& named : sweep::BudgetFigures()) {
                const auto& figure = figures.*named.figure;
                cells.push_back(figure                   ? sweep::FigureText(*figure)
                                : figures.unboundedAtMHz ? sweep::UnboundedText(*figures.unboundedAtMHz)
                                                         : "");
            }
            table.rows.push_back(cells);
        };
        row("measured", line.measured);
        row("tolerance limit", line.toleranceLimit);
    }
    return table;
}

// Every point as recorded: its impedance, margin and verdict.
pdf::Table PointsTable(const std::string& pointsJson) {
    pdf::Table table{{"Frequency (MHz)", "|Z| (\u03A9)", "Phase (\u00B0)", "Margin |Z| (% points)",
                      "Margin phase (\u00B0)", "Margin", "Verdict"},
                     {},
                     {}};
    for (const auto& point : nlohmann::json::parse(pointsJson)) {
        const auto text = [&](const char* key) { return sweep::ShortestText(point.at(key).get<double>()); };
        const std::string verdict = point.at("verdict").get<std::string>();
        const auto margin = [&](const char* key) { return records::MarginText(point.at(key).get<double>()); };
        table.rows.push_back({text("frequency_MHz"), text("magnitude_ohm"), text("phase_deg"),
                              margin("magnitude_margin_pct"), margin("phase_margin_deg"), margin("margin"), verdict});
        table.marked.push_back(verdict != "pass");
    }
    return table;
}

// A network is due again an interval after a verification it passed; one it
// did not pass leaves it due at once, as the register's due list has it.
std::string NextDueText(const records::Network& network, const records::Verification& v) {
    if (!records::Passed(v.results.decisionVerdict.outcome))
        return "now: the network did not pass this verification";
    return records::AddDays(v.date, network.intervalDays);
}

// The recorded point nearest its tolerance's edge, in the quantity nearer
// it, as an-sweep's report says it; "-" without points.
std::string WorstMarginOf(const std::string& pointsJson) {
    std::optional<sweep::WorstMargin> worst;
    for (const auto& point : nlohmann::json::parse(pointsJson)) {
        const sweep::PointJudgement judgement{sweep::Outcome::Pass, point.at("magnitude_margin_pct").get<double>(),
                                              point.at("phase_margin_deg").get<double>()};
        if (!worst || judgement.RelativeMargin() < worst->judgement.RelativeMargin())
            worst = sweep::WorstMargin{point.at("frequency_MHz").get<double>(), judgement};
    }
    return worst ? sweep::WorstMarginText(*worst) : "-";
}

// "0.15 to 30 MHz" of each band a verification's budget has, with its
// standard uncertainty in dB (none where unbounded).
std::vector<std::pair<std::string, std::optional<double>>> BandUncertainties(const std::string& bandsJson) {
    std::vector<std::pair<std::string, std::optional<double>>> bands;
    // A record without band lines (none kept, or not readable) has none.
    const nlohmann::json parsed = nlohmann::json::parse(bandsJson, nullptr, false);
    if (!parsed.is_array())
        return bands;
    for (const auto& band : parsed) {
        const auto& u = band.at("standard_uncertainty_dB");
        bands.emplace_back(sweep::ShortestText(band.at("from_MHz").get<double>()) + " to " +
                               sweep::ShortestText(band.at("to_MHz").get<double>()) + " MHz",
                           u.is_null() ? std::nullopt : std::optional<double>(u.get<double>()));
    }
    return bands;
}

// Every band any of the verifications' budgets has, in first-seen order.
std::vector<std::string> BandNames(const std::vector<records::Verification>& verifications) {
    std::vector<std::string> names;
    for (const records::Verification& v : verifications) {
        for (const auto& [name, u] : BandUncertainties(v.results.bandsJson)) {
            if (std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
        }
    }
    return names;
}

// A verification's standard uncertainty in each of the bands named; none
// where its budget has no such band or it is unbounded.
std::vector<std::optional<double>> UncertaintiesOf(const records::Verification& v,
                                                   const std::vector<std::string>& names) {
    const auto bands = BandUncertainties(v.results.bandsJson);
    std::vector<std::optional<double>> figures;
    for (const std::string& name : names) {
        const auto found = std::find_if(bands.begin(), bands.end(), [&](const auto& b) { return b.first == name; });
        figures.push_back(found == bands.end() ? std::nullopt : found->second);
    }
    return figures;
}

}  // namespace

pdf::Sheet RecordSheet(const records::Network& network, const records::Verification& v) {
    const measurement::Measurement measured = measurement::ReadMeasurement(v.fileBytes, v.fileName);
    const sweep::Evaluation evaluation = sweep::Evaluate(measured, network.anType);

    pdf::Sheet sheet;
    sheet.title = "AN verification record";
    sheet.subject = NetworkName(network) + ", verification " + std::to_string(v.id);
    sheet.footer = sheet.subject + " \u00B7 Quillet " + std::string(kVersion);

    std::vector<pdf::Field> status{{"Record", "Verification " + std::to_string(v.id) + ", recorded " + v.recordedAt}};
    if (v.supersedes)
        status.push_back({"Corrects", "Verification " + std::to_string(*v.supersedes)});
    if (v.supersededBy)
        status.push_back({"Corrected by", "Verification " + std::to_string(*v.supersededBy)});
    if (v.withdrawnAt)
        status.push_back({"WITHDRAWN", *v.withdrawnAt + " by " + v.withdrawnBy.value_or("") + ": " +
                                           v.withdrawalReason.value_or("")});
    sheet.blocks.push_back(pdf::Fields{status});

    sheet.blocks.push_back(pdf::Heading{"Network"});
    sheet.blocks.push_back(NetworkFields(network));

    sheet.blocks.push_back(pdf::Heading{"Verification"});
    sheet.blocks.push_back(pdf::Fields{{{"Date of measurement", v.date},
                                        {"Next verification due", NextDueText(network, v)},
                                        {"Operator", v.operatorName},
                                        {"Instrument", v.instrument},
                                        {"Instrument calibration due", v.instrumentCalibrationDue},
                                        {"Line measured", Or(v.line)},
                                        {"Other terminals", Or(v.terminals)},
                                        {"Adapter or fixture", Or(v.fixture)}}});

    sheet.blocks.push_back(pdf::Heading{"Result"});
    sheet.blocks.push_back(pdf::Fields{
        {{"Requirement",
          "Impedance within " + sweep::ToleranceText() + " of the nominal impedance of " + AnTypeText(network.anType)},
         {"Measurement uncertainty", UncertaintyText(v.uncertainty)},
         {"Decision rule", v.results.decisionVerdict.rule},
         {"Verdict", v.results.decisionVerdict.outcome},
         {"Worst margin", WorstMarginOf(v.results.pointsJson)},
         {"Points outside the tolerance",
          std::to_string(evaluation.summary.outsideTolerance) + " of " + std::to_string(evaluation.summary.points)}}});

    sheet.blocks.push_back(pdf::Heading{"Contribution to the measurement uncertainty budget"});
    sheet.blocks.push_back(BudgetTable(sweep::BudgetLines(evaluation.summary.bands, network.anType)));

    auto deviation = std::make_shared<plot::DeviationPlot>(network.anType, v.fileName);
    for (const sweep::EvaluatedPoint& p : evaluation.points)
        deviation->Add(p);
    sheet.blocks.push_back(
        pdf::Figure{plot::DeviationPlot::kFileSize,
                    [deviation](plot::Canvas& canvas, plot::Size size) { deviation->Draw(canvas, size); }});

    sheet.blocks.push_back(pdf::Heading{"Measurement file"});
    sheet.blocks.push_back(pdf::Fields{{{"Name", v.fileName},
                                        {"Size", std::to_string(v.fileBytes.size()) + " bytes"},
                                        {"SHA-256", v.fileSha256},
                                        {"Evaluated by", "Quillet " + v.programVersion}}});
    sheet.blocks.push_back(pdf::Signatures{{"Measured by", "Verified by", "Approved by"}});

    sheet.blocks.push_back(pdf::PageBreak{});
    sheet.blocks.push_back(pdf::Heading{"Every point"});
    sheet.blocks.push_back(PointsTable(v.results.pointsJson));
    return sheet;
}

plot::TrendPlot HistoryTrend(const records::Network& network, const std::vector<records::Verification>& verifications) {
    const std::vector<std::string> bandNames = BandNames(verifications);
    plot::TrendPlot trend("Verifications of " + NetworkName(network), bandNames, "Worst margin");
    for (const records::Verification& v : verifications)
        trend.Add({v.date, v.results.worstMargin, UncertaintiesOf(v, bandNames),
                   records::Passed(v.results.decisionVerdict.outcome), v.withdrawnAt.has_value()});
    return trend;
}

pdf::Sheet HistorySheet(const records::Network& network, const std::vector<records::Verification>& verifications) {
    pdf::Sheet sheet;
    sheet.title = "AN verification history";
    sheet.subject = NetworkName(network);
    sheet.footer = sheet.subject + " \u00B7 Quillet " + std::string(kVersion);
    sheet.blocks.push_back(pdf::Heading{"Network"});
    sheet.blocks.push_back(NetworkFields(network));

    const std::vector<std::string> bandNames = BandNames(verifications);
    pdf::Table table{{"No.", "Date", "Operator", "Verdict", "Worst margin"}, {}, {}};
    for (const std::string& name : bandNames)
        table.header.push_back("u (dB), " + name);
    table.header.push_back("Status");
    for (const records::Verification& v : verifications) {
        std::vector<std::string> row{std::to_string(v.id), v.date, v.operatorName, v.results.decisionVerdict.outcome,
                                     records::MarginText(v.results.worstMargin)};
        for (const auto& u : UncertaintiesOf(v, bandNames))
            row.push_back(u ? sweep::Decibels(*u) : "-");  // unbounded, or no such band
        row.push_back(records::StatusText(v));
        table.rows.push_back(row);
        table.marked.push_back(!records::Passed(v.results.decisionVerdict.outcome) && !v.withdrawnAt);
    }
    auto trend = std::make_shared<plot::TrendPlot>(HistoryTrend(network, verifications));
    sheet.blocks.push_back(pdf::Figure{plot::TrendPlot::kFileSize,
                                       [trend](plot::Canvas& canvas, plot::Size size) { trend->Draw(canvas, size); }});
    sheet.blocks.push_back(pdf::Heading{"Verifications"});
    if (verifications.empty())
        sheet.blocks.push_back(pdf::Paragraph{"None recorded."});
    else
        sheet.blocks.push_back(table);
    return sheet;
}

}  // namespace quillet::recordpdf
