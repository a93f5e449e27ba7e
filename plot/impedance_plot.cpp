#include "plot/impedance_plot.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/an_types.h"
#include "engine/complex_math.h"
#include "measurement/measurement.h"
#include "plot/axis_math.h"
#include "plot/legend.h"
#include "plot/plot_style.h"
#include "plot/plot_title.h"
#include "plot/svg_canvas.h"
#include "sweep/verdict.h"

namespace quillet::plot {
namespace {

// Fixed margins for the title, legend, tick labels and axis titles, whose
// text keeps its size; the two panels share the rest equally.
constexpr double kLeftMargin = 78, kTopMargin = 62, kRightMargin = 24, kBottomMargin = 62, kPanelGap = 16;

Rect PanelOf(Size size, int panel) {
    const double height = std::max(1.0, (size.height - kTopMargin - kBottomMargin - kPanelGap) / 2);
    return {kLeftMargin, kTopMargin + panel * (height + kPanelGap),
            std::max(1.0, size.width - kLeftMargin - kRightMargin), height};
}

// Told apart by lightness and dash as well as by hue, so a print in grey
// keeps them apart: the band light, the nominal dashed, the measured solid
// and dark, the points outside as the deviation plot marks them.
constexpr Color kBandFill{0x9E, 0xC5, 0xE8, 150};
constexpr Pen kNominalPen{{0x30, 0x30, 0x30}, 1.4, true};
constexpr Pen kMeasuredPen{{0x1F, 0x3A, 0x93}, 1.6};
constexpr Pen kOutsidePen{{0xC0, 0x10, 0x10}, 1.4};
constexpr double kOutsideRadius = 3.5, kPointRadius = 1.8;
// Each measured point is dotted while they are this few; more would blur
// into the line.
constexpr std::size_t kDottedPoints = 64;
// The nominal curve's samples, evenly spaced in log frequency: smooth at
// any width a window gives it.
constexpr int kNominalSamples = 400;
// How far beyond the band the |Z| axis reaches for a measured value, in
// decades: a short or an open circuit would otherwise squash the band into
// a line. Values beyond it run off the panel's edge.
constexpr double kMagnitudeReachDecades = 1;

double NominalDegrees(std::complex<double> nominal) { return measurement::Degrees(Arg(nominal)); }

// The nominal impedance and its tolerance band, sampled across a range.
struct NominalCurve {
    std::vector<double> frequencyMHz, ohm, degrees;
};

NominalCurve SampleNominal(std::int16_t anType, double fromMHz, double toMHz) {
    NominalCurve curve;
    const double from = Log10(fromMHz), to = Log10(toMHz);
    const int samples = fromMHz == toMHz ? 1 : kNominalSamples;
    for (int i = 0; i < samples; ++i) {
        // The ends exactly where asked, so the curve meets the measured range.
        const double f = i == 0 ? fromMHz : i == samples - 1 ? toMHz : Pow10(from + (to - from) * i / (samples - 1));
        const std::complex<double> nominal = NominalImpedance(anType, f);
        curve.frequencyMHz.push_back(f);
        curve.ohm.push_back(Abs(nominal));
        curve.degrees.push_back(NominalDegrees(nominal));
    }
    return curve;
}

// The largest of 1, 2 or 5 times a power of ten at or below x, and the
// smallest at or above it: ends a log axis reads at a glance.
double RoundDown125(double x) {
    const double decade = Pow10(DecadeOf(x));
    for (double factor : {5.0, 2.0})
        if (factor * decade <= x)
            return factor * decade;
    return decade;
}
double RoundUp125(double x) {
    const double decade = Pow10(DecadeOf(x));
    if (decade == x)
        return x;
    for (double factor : {2.0, 5.0})
        if (factor * decade >= x)
            return factor * decade;
    return 10 * decade;
}

// A phase step for about six ticks, a whole fraction of a turn. The band
// alone spans 23 degrees, so no finer step is needed.
double DegreeStep(double span) {
    for (double step : {5.0, 10.0, 15.0, 30.0, 45.0, 90.0})
        if (step >= span / 6)
            return step;
    return 180.0;
}

// A value's y, held a few panel heights beyond the edges: the clip hides
// it there, and no surface is handed an infinite or huge coordinate.
double Held(double y, const Rect& area) {
    const double reach = 10 * area.height;
    if (std::isnan(y))
        return area.Bottom() + reach;  // log of 0 less log of 0: a zero magnitude
    return std::clamp(y, area.top - reach, area.Bottom() + reach);
}

struct Panel {
    FrequencyScale scale;
    bool logarithmic;
    double from, to;  // of the value axis; log10 of them when logarithmic

    double Y(double value) const {
        const double v = logarithmic ? Log10(value) : value;
        return Held(scale.area.Bottom() - (v - from) / (to - from) * scale.area.height, scale.area);
    }
    Point At(double frequencyMHz, double value) const { return {scale.X(frequencyMHz), Y(value)}; }
};

void DrawValueLine(Canvas& canvas, const Panel& panel, double value, const Pen& pen, const std::string& label) {
    const Rect& area = panel.scale.area;
    const double y = panel.Y(value);
    canvas.Line({area.left, y}, {area.Right(), y}, pen);
    if (!label.empty())
        canvas.Text(label, {area.left - 6, BaselineCentredOn(y, kLabelFont)}, Anchor::End, kLabelFont, kBlack);
}

// Within a part of a decade the axis is nearly linear: evenly spaced lines,
// from end to end.
void DrawEvenMagnitudeGrid(Canvas& canvas, const Panel& panel, double low, double high) {
    const double step = NiceStep(high - low);
    for (double n = std::ceil(low / step * (1 - 1e-12)); n * step <= high * (1 + 1e-12); n += 1)
        DrawValueLine(canvas, panel, n * step, kGrid, sweep::SignificantText(n * step));
}

// Lines at 1 to 9 times each power of ten, labelled at 1, 2, 3 and 5, at
// 1, 2 and 5, or at 1 alone as the decades grow.
void DrawMagnitudeGrid(Canvas& canvas, const Panel& panel) {
    const double low = Pow10(panel.from), high = Pow10(panel.to);
    const double span = panel.to - panel.from;
    if (span < 0.7) {
        DrawEvenMagnitudeGrid(canvas, panel, low, high);
        return;
    }
    const auto inside = [&](double v) { return v >= low * (1 - 1e-12) && v <= high * (1 + 1e-12); };
    for (int decade = DecadeOf(low); decade <= DecadeOf(high); ++decade) {
        const double power = Pow10(decade);
        for (int k = 1; k <= 9; ++k) {
            const bool labelled = k == 1 || (span <= 3 && (k == 2 || k == 5)) || (span <= 1.5 && k == 3);
            if (inside(k * power))
                DrawValueLine(canvas, panel, k * power, k == 1 ? kGrid : kMinorGrid,
                              labelled ? sweep::SignificantText(k * power) : std::string());
        }
    }
}

void DrawPhaseGrid(Canvas& canvas, const Panel& panel, double step) {
    // Counted, not summed, so no step's rounding error reaches a label.
    const int steps = static_cast<int>(std::floor((panel.to - panel.from) / step + 0.5));
    for (int i = 0; i <= steps; ++i) {
        const double degrees = panel.from + i * step;
        DrawValueLine(canvas, panel, degrees, kGrid, TickText(degrees, step));
    }
}

void DrawAxisTitle(Canvas& canvas, const Rect& area, std::string_view title) {
    // Turned to read upwards, its top 10 px right of the picture's edge.
    canvas.Text(title, {8 + Ascent(kAxisTitleFont), area.Centre().y}, Anchor::Middle, kAxisTitleFont, kBlack, -90);
}

// The band between two sampled bounds, and the nominal curve inside it.
void DrawNominal(Canvas& canvas, const Panel& panel, const std::vector<double>& frequencyMHz,
                 const std::vector<double>& low, const std::vector<double>& nominal, const std::vector<double>& high) {
    std::vector<Point> band, curve;
    for (std::size_t i = 0; i < frequencyMHz.size(); ++i) {
        band.push_back(panel.At(frequencyMHz[i], high[i]));
        curve.push_back(panel.At(frequencyMHz[i], nominal[i]));
    }
    for (std::size_t i = frequencyMHz.size(); i-- > 0;)
        band.push_back(panel.At(frequencyMHz[i], low[i]));
    // A single frequency has no width: an outline keeps it in sight.
    const Pen outline{kBandFill.Opaque(), 3};
    canvas.Polygon(band, kBandFill, frequencyMHz.size() == 1 ? &outline : nullptr);
    if (curve.size() > 1)
        canvas.Polyline(curve, kNominalPen);
}

// Through each entry's lowest and highest value, in frequency order.
void DrawMeasured(Canvas& canvas, const Panel& panel, const std::vector<ImpedanceEntry>& entries,
                  MeasuredValue ImpedanceEntry::*lowest, MeasuredValue ImpedanceEntry::*highest, bool dotted) {
    std::vector<Point> line;
    for (const ImpedanceEntry& e : entries) {
        MeasuredValue first = e.*lowest, second = e.*highest;
        if (second.frequencyMHz < first.frequencyMHz)
            std::swap(first, second);
        line.push_back(panel.At(first.frequencyMHz, first.value));
        if (first.frequencyMHz != second.frequencyMHz || first.value != second.value)
            line.push_back(panel.At(second.frequencyMHz, second.value));
    }
    if (line.size() > 1)
        canvas.Polyline(line, kMeasuredPen);
    if (dotted || line.size() == 1) {
        for (const Point& p : line)
            canvas.Circle(p, kPointRadius, kMeasuredPen);
    }
}

// Marked also where the value runs off the panel: pinned to its edge.
void DrawOutsideMark(Canvas& canvas, const Panel& panel, double frequencyMHz, double value) {
    const Rect& area = panel.scale.area;
    const Point at = panel.At(frequencyMHz, value);
    canvas.Circle({at.x, std::clamp(at.y, area.top, area.Bottom())}, kOutsideRadius, kOutsidePen);
}

void DrawImpedanceLegend(Canvas& canvas, double pictureWidth) {
    using Symbol = LegendEntry::Symbol;
    const std::string tolerance = "tolerance \u00B1" + sweep::SignificantText(kMagnitudeTolerance * 100) +
                                  " %, \u00B1" + sweep::SignificantText(kPhaseToleranceDegrees) + "\u00B0";
    const std::vector<LegendEntry> rows[] = {{
        {Symbol::Band, tolerance, kBandFill},
        {Symbol::Line, "nominal", {}, kNominalPen},
        {Symbol::Line, "measured", {}, kMeasuredPen},
        {Symbol::Circle, "outside tolerance", {}, kOutsidePen, kOutsideRadius},
    }};
    DrawLegend(canvas, pictureWidth, rows);
}

ImpedanceEntry EntryOf(double frequencyMHz, double ohm, double degrees, bool outside) {
    ImpedanceEntry e;
    e.points = 1;
    e.lowestOhm = e.highestOhm = {frequencyMHz, ohm};
    e.lowestDegrees = e.highestDegrees = {frequencyMHz, degrees};
    if (outside)
        e.outside = ImpedanceEntry::Outside{frequencyMHz, ohm, degrees};
    return e;
}

void Merge(ImpedanceEntry& into, const ImpedanceEntry& next) {
    into.points += next.points;
    if (next.lowestOhm.value < into.lowestOhm.value)
        into.lowestOhm = next.lowestOhm;
    if (next.highestOhm.value > into.highestOhm.value)
        into.highestOhm = next.highestOhm;
    if (next.lowestDegrees.value < into.lowestDegrees.value)
        into.lowestDegrees = next.lowestDegrees;
    if (next.highestDegrees.value > into.highestDegrees.value)
        into.highestDegrees = next.highestDegrees;
    if (!into.outside)
        into.outside = next.outside;
}

}  // namespace

ImpedancePlot::ImpedancePlot(std::int16_t anType, std::string source, std::size_t maxEntries)
    : anType_(anType), source_(std::move(source)), entries_(maxEntries) {
    static_cast<void>(AnType(anType_));  // refuse an unknown type now, not when drawing
}

void ImpedancePlot::Add(const sweep::EvaluatedPoint& point) {
    const double f = point.frequencyMHz;
    if (!(f > 0) || !std::isfinite(f) || !std::isfinite(point.magnitudeOhm) || !std::isfinite(point.phaseDegrees))
        return;
    const std::complex<double> nominal = NominalImpedance(anType_, f);
    const double degrees = NominalDegrees(nominal) +
                           sweep::OffsetFromNominal(point.magnitudeOhm, point.phaseDegrees, nominal).phaseDegrees;
    const double ohm = point.magnitudeOhm;

    if (entries_.Empty()) {
        fromMHz_ = toMHz_ = f;
        lowestDegrees_ = highestDegrees_ = degrees;
    }
    fromMHz_ = std::min(fromMHz_, f);
    toMHz_ = std::max(toMHz_, f);
    lowestDegrees_ = std::min(lowestDegrees_, degrees);
    highestDegrees_ = std::max(highestDegrees_, degrees);
    if (ohm > 0) {
        lowestOhm_ = anyPositiveOhm_ ? std::min(lowestOhm_, ohm) : ohm;
        highestOhm_ = anyPositiveOhm_ ? std::max(highestOhm_, ohm) : ohm;
        anyPositiveOhm_ = true;
    }

    entries_.Add(EntryOf(f, ohm, degrees, !point.withinTolerance), Merge);
}

Rect ImpedancePlot::MagnitudeArea(Size size) { return PanelOf(size, 0); }
Rect ImpedancePlot::PhaseArea(Size size) { return PanelOf(size, 1); }

void ImpedancePlot::Draw(Canvas& canvas, Size size) const {
    canvas.FillRect({0, 0, size.width, size.height}, kWhite);
    const std::string title = PlotTitle(anType_, source_, size.width);
    canvas.Text(title, {size.width / 2, 8 + Ascent(kTitleFont)}, Anchor::Middle, kTitleFont, kBlack);
    if (entries_.Empty()) {
        const Point centre{size.width / 2, (MagnitudeArea(size).top + PhaseArea(size).Bottom()) / 2};
        canvas.Text("no point above 0 MHz to draw", {centre.x, BaselineCentredOn(centre.y, kTitleFont)}, Anchor::Middle,
                    kTitleFont, kBlack);
        return;
    }
    Panel magnitude{ChooseFrequencyScale(fromMHz_, toMHz_, std::nullopt, MagnitudeArea(size)), true, 0, 0};
    Panel phase{ChooseFrequencyScale(fromMHz_, toMHz_, std::nullopt, PhaseArea(size)), false, 0, 0};

    // A single frequency has no range to draw the nominal across: it is
    // drawn across the axis instead.
    const bool oneFrequency = fromMHz_ == toMHz_;
    const NominalCurve nominal =
        oneFrequency ? SampleNominal(anType_, Pow10(phase.scale.decadeFrom), Pow10(phase.scale.decadeTo))
                     : SampleNominal(anType_, fromMHz_, toMHz_);
    std::vector<double> lowOhm, highOhm, lowDegrees, highDegrees;
    for (std::size_t i = 0; i < nominal.ohm.size(); ++i) {
        lowOhm.push_back(nominal.ohm[i] * (1 - kMagnitudeTolerance));
        highOhm.push_back(nominal.ohm[i] * (1 + kMagnitudeTolerance));
        lowDegrees.push_back(nominal.degrees[i] - kPhaseToleranceDegrees);
        highDegrees.push_back(nominal.degrees[i] + kPhaseToleranceDegrees);
    }

    // |Z| from the band and the measured values within reach of it.
    const double bandLow = *std::min_element(lowOhm.begin(), lowOhm.end());
    const double bandHigh = *std::max_element(highOhm.begin(), highOhm.end());
    double low = bandLow, high = bandHigh;
    if (anyPositiveOhm_) {
        const double reach = Pow10(kMagnitudeReachDecades);
        low = std::min(low, std::max(lowestOhm_, bandLow / reach));
        high = std::max(high, std::min(highestOhm_, bandHigh * reach));
    }
    magnitude.from = Log10(RoundDown125(low));
    magnitude.to = Log10(RoundUp125(high));

    // Phase from the band and every measured value, which lie within half
    // a turn of the nominal.
    double lowPhase = std::min(lowestDegrees_, *std::min_element(lowDegrees.begin(), lowDegrees.end()));
    double highPhase = std::max(highestDegrees_, *std::max_element(highDegrees.begin(), highDegrees.end()));
    const double margin = 0.05 * (highPhase - lowPhase);  // keep lines off the frame
    const double step = DegreeStep(highPhase - lowPhase + 2 * margin);
    phase.from = std::floor((lowPhase - margin) / step) * step;
    phase.to = std::ceil((highPhase + margin) / step) * step;

    const bool dotted = entries_.PointsPerEntry() == 1 && Entries().size() <= kDottedPoints;
    for (const Panel* panel : {&magnitude, &phase}) {
        const Rect& area = panel->scale.area;
        DrawFrequencyGrid(canvas, panel->scale, panel == &phase);
        if (panel == &magnitude)
            DrawMagnitudeGrid(canvas, magnitude);
        else
            DrawPhaseGrid(canvas, phase, step);
        canvas.ClipTo(area);
        if (panel == &magnitude) {
            DrawNominal(canvas, magnitude, nominal.frequencyMHz, lowOhm, nominal.ohm, highOhm);
            DrawMeasured(canvas, magnitude, Entries(), &ImpedanceEntry::lowestOhm, &ImpedanceEntry::highestOhm, dotted);
        } else {
            DrawNominal(canvas, phase, nominal.frequencyMHz, lowDegrees, nominal.degrees, highDegrees);
            DrawMeasured(canvas, phase, Entries(), &ImpedanceEntry::lowestDegrees, &ImpedanceEntry::highestDegrees,
                         dotted);
        }
        canvas.Unclip();
        for (const ImpedanceEntry& e : Entries()) {
            if (e.outside)
                DrawOutsideMark(canvas, *panel, e.outside->frequencyMHz,
                                panel == &magnitude ? e.outside->magnitudeOhm : e.outside->phaseDegrees);
        }
        canvas.StrokeRect(area, kFrame);
    }
    DrawAxisTitle(canvas, magnitude.scale.area, "|Z| (\u03A9)");
    DrawAxisTitle(canvas, phase.scale.area, "Phase (\u00B0)");
    canvas.Text("Frequency (MHz)",
                {phase.scale.area.Centre().x, phase.scale.area.Bottom() + kBottomMargin - 28 + Ascent(kAxisTitleFont)},
                Anchor::Middle, kAxisTitleFont, kBlack);
    DrawImpedanceLegend(canvas, size.width);
}

std::string ImpedancePlot::Svg() const {
    SvgCanvas canvas(kFileSize, kDescription);
    Draw(canvas);
    return canvas.Finish();
}

}  // namespace quillet::plot
