#include "sweep/budget.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

#include "engine/deviation.h"
#include "sweep/evaluation.h"

namespace quillet::sweep {
namespace {

// More bands than any budget has; a longer list is a mistake.
constexpr std::size_t kMaxBands = 64;

double BandEdge(std::string_view text, std::string_view band) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
        !(value > 0))
        throw std::invalid_argument("--bands: \"" + std::string(band) +
                                    "\" is not FROM-TO in MHz above 0, such as 0.15-30");
    return value;
}

// Keeps the first of equal values: frequencies rise through a file.
void Worse(std::optional<WorstFigure>& worst, double db, double atMHz, double sign = 1.0) {
    if (!worst || sign * db > sign * worst->db)
        worst = WorstFigure{db, atMHz};
}

std::string FiguresText(const WorstFigures& f) {
    if (f.unboundedAtMHz)
        return UnboundedText(*f.unboundedAtMHz);
    std::string text;
    for (const NamedFigure& named : BudgetFigures()) {
        const std::optional<WorstFigure>& figure = f.*named.figure;
        text += (text.empty() ? "" : ", ") + std::string(named.name) + ' ' + (figure ? FigureText(*figure) : "");
    }
    return text;
}

void CsvFigure(std::string& out, const std::optional<WorstFigure>& figure) {
    out += figure ? ',' + ShortestText(figure->db) + ',' + ShortestText(figure->atMHz) : std::string(",,");
}

void CsvFigures(std::string& out, const WorstFigures& f) {
    out += f.unboundedAtMHz ? ",true," + ShortestText(*f.unboundedAtMHz) : std::string(",false,");
    for (const auto* figure : {&f.highest, &f.lowest, &f.largestAbsMean, &f.largestStandardDeviation, &f.largestRms})
        CsvFigure(out, *figure);
}

}  // namespace

const std::vector<Band>& DefaultBands() {
    static const std::vector<Band> bands{{0.009, 0.15}, {0.15, 30.0}};
    return bands;
}

std::vector<Band> ParseBands(std::string_view text) {
    std::vector<Band> bands;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view band = text.substr(0, comma);
        // The dash between the edges, not one of an exponent ("1e-3-0.15").
        std::size_t dash = std::string_view::npos;
        for (std::size_t i = 1; i < band.size() && dash == std::string_view::npos; ++i) {
            if (band[i] == '-' && band[i - 1] != 'e' && band[i - 1] != 'E')
                dash = i;
        }
        if (dash == std::string_view::npos)
            throw std::invalid_argument("--bands: \"" + std::string(band) +
                                        "\" is not FROM-TO in MHz, such as 0.15-30");
        const Band parsed{BandEdge(band.substr(0, dash), band), BandEdge(band.substr(dash + 1), band)};
        if (!(parsed.toMHz > parsed.fromMHz))
            throw std::invalid_argument("--bands: \"" + std::string(band) + "\" must end above where it starts");
        bands.push_back(parsed);
        if (bands.size() > kMaxBands)
            throw std::invalid_argument("--bands: more than " + std::to_string(kMaxBands) + " bands");
        if (comma == std::string_view::npos)
            return bands;
        text.remove_prefix(comma + 1);
    }
}

void BandTally::Add(const EvaluatedPoint& p) {
    if (!(p.frequencyMHz >= band.fromMHz && p.frequencyMHz <= band.toMHz))
        return;
    if (points++ == 0)
        firstMHz = p.frequencyMHz;
    lastMHz = p.frequencyMHz;
    if (!p.exact || !p.statistics) {
        if (!measured.unboundedAtMHz)
            measured.unboundedAtMHz = p.frequencyMHz;
        return;
    }
    Worse(measured.highest, p.exact->highestDb, p.frequencyMHz);
    Worse(measured.lowest, p.exact->lowestDb, p.frequencyMHz, -1.0);
    Worse(measured.largestAbsMean, std::fabs(p.statistics->meanDb), p.frequencyMHz);
    Worse(measured.largestStandardDeviation, p.statistics->standardDeviationDb, p.frequencyMHz);
    Worse(measured.largestRms, p.statistics->rmsDb, p.frequencyMHz);
}

std::vector<BudgetLine> BudgetLines(const std::vector<BandTally>& bands, std::int16_t anType) {
    std::vector<BudgetLine> lines;
    for (const BandTally& tally : bands) {
        if (tally.points == 0)
            continue;
        WorstFigures measured = tally.measured;
        if (measured.unboundedAtMHz)  // unbounded anywhere: every figure is
            measured = WorstFigures{{}, {}, {}, {}, {}, measured.unboundedAtMHz};
        lines.push_back(
            {tally.band, tally.points, measured, WorstWithinTolerance(tally.firstMHz, tally.lastMHz, anType)});
    }
    return lines;
}

std::string BudgetCsv(const std::vector<BudgetLine>& lines) {
    std::string out = "from_MHz,to_MHz,points";
    for (const char* side : {"", "tolerance_limit_"}) {
        for (const char* column :
             {"unbounded", "unbounded_from_MHz", "highest_dB", "highest_at_MHz", "lowest_dB", "lowest_at_MHz",
              "largest_abs_mean_dB", "largest_abs_mean_at_MHz", "largest_standard_deviation_dB",
              "largest_standard_deviation_at_MHz", "standard_uncertainty_dB", "standard_uncertainty_at_MHz"})
            out.append(",").append(side).append(column);
    }
    out += '\n';
    for (const BudgetLine& line : lines) {
        out +=
            ShortestText(line.band.fromMHz) + ',' + ShortestText(line.band.toMHz) + ',' + std::to_string(line.points);
        CsvFigures(out, line.measured);
        CsvFigures(out, line.toleranceLimit);
        out += '\n';
    }
    return out;
}

const std::array<NamedFigure, 5>& BudgetFigures() {
    static const std::array<NamedFigure, 5> figures{{
        {"highest", &WorstFigures::highest},
        {"lowest", &WorstFigures::lowest},
        {"largest |mean|", &WorstFigures::largestAbsMean},
        {"largest standard deviation", &WorstFigures::largestStandardDeviation},
        {"standard uncertainty", &WorstFigures::largestRms},
    }};
    return figures;
}

std::string BandText(const BudgetLine& line) {
    return SignificantText(line.band.fromMHz) + " to " + SignificantText(line.band.toMHz) + " MHz, " +
           std::to_string(line.points) + " point(s)";
}

std::string Decibels(double db) {
    std::string text = ResultText(db);
    return text.front() == ' ' ? text.substr(1) : text;
}

std::string FigureText(const WorstFigure& figure) {
    return Decibels(figure.db) + " dB at " + SignificantText(figure.atMHz) + " MHz";
}

std::string UnboundedText(double fromMHz) { return "unbounded from " + SignificantText(fromMHz) + " MHz"; }

std::vector<std::string> BudgetText(const std::vector<BudgetLine>& lines) {
    if (lines.empty())
        return {};
    std::vector<std::string> text{
        "Budget lines (standard uncertainty: the largest rms deviation over the EUT phase; "
        "tolerance limit: the worst AN within " +
        ToleranceText() + "):"};
    for (const BudgetLine& line : lines) {
        text.push_back(BandText(line));
        text.push_back("  measured:        " + FiguresText(line.measured));
        text.push_back("  tolerance limit: " + FiguresText(line.toleranceLimit));
    }
    return text;
}

}  // namespace quillet::sweep
