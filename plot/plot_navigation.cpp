#include "plot/plot_navigation.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "plot/axis_math.h"
#include "sweep/report.h"

namespace quillet::plot {
namespace {

constexpr double kMinimumDecades = 0.002;  // the narrowest zoom, about 0.5 % in frequency
constexpr double kWheelStep = 0.8;         // the span kept per wheel notch
constexpr double kDragThreshold = 4;       // pixels: less is a click, not a range

constexpr Pen kHoverLine{{0x40, 0x40, 0x40}, 1, true};
constexpr Pen kHoverMark{{0, 0, 0}, 1.5};
constexpr double kHoverMarkRadius = 5;
constexpr Color kDraggedRange{0x1F, 0x3A, 0x93, 50};

// Where a frequency lies along an axis, 0 at its start and 1 at its end.
double ShareOf(double frequencyMHz, const FrequencyRange& axis) {
    return std::clamp(Log10(frequencyMHz / axis.fromMHz) / Log10(axis.toMHz / axis.fromMHz), 0.0, 1.0);
}

}  // namespace

void PlotNavigation::SetSweep(std::shared_ptr<const DeviationPlot> whole,
                              std::shared_ptr<const sweep::Evaluation> evaluation, std::string source) {
    whole_ = std::move(whole);
    evaluation_ = std::move(evaluation);
    source_ = std::move(source);
    hovered_.reset();
    ZoomTo(zoom_);
}

bool PlotNavigation::ZoomTo(std::optional<FrequencyRange> range) {
    const std::optional<FrequencyRange> whole = whole_ ? whole_->FrequencyAxis() : std::nullopt;
    if (range && whole) {
        double from = Log10(std::max(range->fromMHz, whole->fromMHz));
        double to = Log10(std::min(range->toMHz, whole->toMHz));
        if (to - from < kMinimumDecades) {
            const double middle = (from + to) / 2;
            from = std::max(middle - kMinimumDecades / 2, Log10(whole->fromMHz));
            to = std::min(from + kMinimumDecades, Log10(whole->toMHz));
        }
        range = FrequencyRange{Pow10(from), Pow10(to)};
        if (range->fromMHz <= whole->fromMHz && range->toMHz >= whole->toMHz)
            range.reset();
    } else {
        range.reset();
    }
    const bool changed = range.has_value() != zoom_.has_value() ||
                         (range && (range->fromMHz != zoom_->fromMHz || range->toMHz != zoom_->toMHz));
    zoom_ = range;
    zoomed_.reset();
    if (hovered_ && zoom_) {
        const double f = evaluation_->points.FrequencyMHz(*hovered_);
        if (f < zoom_->fromMHz || f > zoom_->toMHz)
            hovered_.reset();
    }
    if (zoom_ && evaluation_) {
        // Only the points in view, with one neighbour on each side so the
        // line runs on to the edges: the envelope keeps detail as it zooms.
        const auto& points = evaluation_->points;
        std::size_t first = points.LowerBound(zoom_->fromMHz);
        std::size_t last = std::max(first, points.LowerBound(zoom_->toMHz));
        first = first == 0 ? first : first - 1;
        last = last == points.size() ? last : last + 1;
        zoomed_ = std::make_unique<DeviationPlot>(evaluation_->anType, source_);
        for (std::size_t i = first; i < last; ++i)
            zoomed_->Add(points[i]);
        zoomed_->SetFrequencyRange(*zoom_);
    }
    return changed;
}

bool PlotNavigation::ZoomAround(double frequencyMHz, double share, double factor) {
    const std::optional<FrequencyRange> axis = Shown() ? Shown()->FrequencyAxis() : std::nullopt;
    if (!axis)
        return false;
    const double span = (Log10(axis->toMHz) - Log10(axis->fromMHz)) * factor;
    const double from = Log10(frequencyMHz) - share * span;
    return ZoomTo(FrequencyRange{Pow10(from), Pow10(from + span)});
}

std::optional<double> PlotNavigation::FrequencyAt(double x, Size size) const {
    return Shown() ? Shown()->FrequencyAt(x, size) : std::nullopt;
}

// Frequencies rise through the sweep, so the nearest point on the
// logarithmic axis is one of the two around the frequency.
std::optional<std::size_t> PlotNavigation::NearestPoint(double frequencyMHz) const {
    if (!evaluation_ || evaluation_->points.empty() || frequencyMHz <= 0)
        return std::nullopt;
    const auto& points = evaluation_->points;
    const std::size_t above = points.LowerBound(frequencyMHz);
    const auto distance = [&](std::size_t i) { return std::fabs(Log10(points.FrequencyMHz(i) / frequencyMHz)); };
    std::size_t nearest = above == points.size() ? above - 1 : above;
    if (above != 0 && above != points.size() && points.FrequencyMHz(above - 1) > 0 &&
        distance(above - 1) <= distance(above))
        nearest = above - 1;
    if (points.FrequencyMHz(nearest) <= 0)
        return std::nullopt;
    return nearest;
}

bool PlotNavigation::Hover(std::optional<std::size_t> point) {
    const bool changed = point != hovered_;
    hovered_ = point;
    return changed;
}

std::string PlotNavigation::HoverText() const {
    if (!hovered_ || !evaluation_)
        return {};
    const sweep::EvaluatedPoint p = evaluation_->points.at(*hovered_);
    const std::vector<std::string> cells = sweep::TableCells(p);
    // With its unit where it is a number; "unbounded" or "not valid" stands
    // alone.
    const auto cell = [&cells](sweep::TableColumn column, bool number, const char* unit) {
        return cells.at(column) + (number ? std::string(" ") + unit : std::string());
    };
    const bool bounded = p.exact.has_value(), statistics = p.statistics.has_value();
    return cells[sweep::kFrequencyColumn] + " MHz\ndeviation " +
           cell(sweep::kDeviationColumn, p.deviationDb.has_value(), "dB") + " at EUT phase " +
           cell(sweep::kEutPhaseColumn, p.eutPhaseDegrees.has_value(), "deg") + "\nexact high " +
           cell(sweep::kExactHighColumn, bounded, "dB") + ", low " + cell(sweep::kExactLowColumn, bounded, "dB") +
           "\nmean " + cell(sweep::kMeanColumn, statistics, "dB") + ", standard deviation " +
           cell(sweep::kStandardDeviationColumn, statistics, "dB") +
           "\ntolerance: " + (p.withinTolerance ? "within" : "OUTSIDE");
}

std::optional<Point> PlotNavigation::HoverMark(Size size) const {
    if (!hovered_ || !Shown())
        return std::nullopt;
    const sweep::EvaluatedPoint p = evaluation_->points.at(*hovered_);
    const std::optional<Point> mark = Shown()->Position(p.frequencyMHz, p.deviationDb.value_or(0), size);
    const Rect area = DeviationPlot::Area(size);
    if (!mark || mark->x < area.left || mark->x > area.Right())
        return std::nullopt;  // outside the zoomed axis
    return mark;
}

void PlotNavigation::DrawOverlay(Canvas& canvas, Size size) const {
    const Rect area = DeviationPlot::Area(size);
    if (const std::optional<Point> mark = HoverMark(size)) {
        canvas.Line({mark->x, area.top}, {mark->x, area.Bottom()}, kHoverLine);
        if (evaluation_->points.at(*hovered_).deviationDb)
            canvas.Circle(*mark, kHoverMarkRadius, kHoverMark);
    }
    if (dragFromX_ && dragToX_) {
        const double left = std::clamp(std::min(*dragFromX_, *dragToX_), area.left, area.Right());
        const double right = std::clamp(std::max(*dragFromX_, *dragToX_), area.left, area.Right());
        canvas.FillRect({left, area.top, right - left, area.height}, kDraggedRange);
    }
}

bool PlotNavigation::PointerMoved(double x, Size size) {
    bool changed = false;
    if (dragFromX_) {
        dragToX_ = x;
        changed = true;
    }
    const std::optional<double> f = FrequencyAt(x, size);
    return Hover(f ? NearestPoint(*f) : std::nullopt) || changed;
}

bool PlotNavigation::Pressed(double x) {
    if (!Shown())
        return false;
    dragFromX_ = x;
    dragToX_.reset();
    return true;
}

bool PlotNavigation::Released(double x, Size size) {
    if (!dragFromX_)
        return false;
    const double from = *dragFromX_;
    dragFromX_.reset();
    dragToX_.reset();
    if (std::fabs(x - from) < kDragThreshold)
        return true;
    const auto a = FrequencyAt(std::min(from, x), size), b = FrequencyAt(std::max(from, x), size);
    if (a && b)
        ZoomTo(FrequencyRange{*a, *b});
    return true;
}

bool PlotNavigation::PointerLeft() { return Hover(std::nullopt); }

bool PlotNavigation::Wheel(double x, double notches, Size size) {
    const auto axis = Shown() ? Shown()->FrequencyAxis() : std::nullopt;
    const auto f = FrequencyAt(x, size);
    if (notches == 0 || !axis || !f)
        return false;
    return ZoomAround(*f, ShareOf(*f, *axis), Pow10(notches * Log10(kWheelStep)));
}

bool PlotNavigation::KeyPressed(Key key) {
    const std::size_t count = evaluation_ ? evaluation_->points.size() : 0;
    switch (key) {
    case Key::Left:
    case Key::Right: {
        if (count == 0)
            return false;
        const bool right = key == Key::Right;
        std::size_t next = right ? 0 : count - 1;  // the first key starts at an end
        if (hovered_ && right)
            next = std::min(*hovered_ + 1, count - 1);
        else if (hovered_)
            next = *hovered_ == 0 ? 0 : *hovered_ - 1;
        return Hover(next);
    }
    case Key::ZoomIn:
    case Key::ZoomOut: {
        // By a wheel notch, around the point chosen or the middle.
        const std::optional<FrequencyRange> axis = Shown() ? Shown()->FrequencyAxis() : std::nullopt;
        if (!axis)
            return false;
        // A point at 0 MHz has no place on the axis: the middle then.
        const double chosen = hovered_ ? evaluation_->points.FrequencyMHz(*hovered_) : 0;
        const double f = chosen > 0 ? chosen : std::sqrt(axis->fromMHz * axis->toMHz);
        return ZoomAround(f, ShareOf(f, *axis), key == Key::ZoomIn ? kWheelStep : 1 / kWheelStep);
    }
    case Key::Reset: return ResetZoom();
    }
    return false;
}

}  // namespace quillet::plot
