#include "sweepui/plot_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

#include "plotqt/qt_canvas.h"
#include "sweep/report.h"

namespace quillet::sweepui {
namespace {

constexpr double kMinimumDecades = 0.002;  // the narrowest zoom, about 0.5 % in frequency
constexpr double kWheelStep = 0.8;         // the span kept per wheel notch
constexpr double kDragThreshold = 4;       // pixels: less is a click, not a range

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

PlotView::PlotView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setCursor(Qt::CrossCursor);
}

void PlotView::SetSweep(std::shared_ptr<const plot::DeviationPlot> whole,
                        std::shared_ptr<const sweep::Evaluation> evaluation, std::string source) {
    whole_ = std::move(whole);
    evaluation_ = std::move(evaluation);
    source_ = std::move(source);
    hovered_.reset();
    // A zoom stays where it was when the same file is evaluated again.
    ZoomTo(zoom_);
}

// Smaller than the files' picture, so the summary and the table below it
// get their share of a window of usual height; the plot grows with the
// window. At its least the legend's widest row still fits.
QSize PlotView::sizeHint() const {
    constexpr plot::Size kFile = plot::DeviationPlot::kFileSize;
    return QSize(static_cast<int>(kFile.width), static_cast<int>(kFile.height)) * 3 / 5;
}

QSize PlotView::minimumSizeHint() const { return {520, 170}; }

// The picture is laid out for the widget's own size, its text at its own
// size: widget and picture coordinates are the same.
QTransform PlotView::PictureToWidget() const { return {}; }

std::optional<double> PlotView::FrequencyAtWidgetX(double x) const {
    if (!Shown())
        return std::nullopt;
    return Shown()->FrequencyAt(PictureToWidget().inverted().map(QPointF(x, 0)).x(), plotqt::FromQt(size()));
}

void PlotView::ZoomTo(std::optional<plot::FrequencyRange> range) {
    const std::optional<plot::FrequencyRange> whole = whole_ ? whole_->FrequencyAxis() : std::nullopt;
    if (range && whole) {
        double from = std::log10(std::max(range->fromMHz, whole->fromMHz));
        double to = std::log10(std::min(range->toMHz, whole->toMHz));
        if (to - from < kMinimumDecades) {
            const double middle = (from + to) / 2;
            from = std::max(middle - kMinimumDecades / 2, std::log10(whole->fromMHz));
            to = std::min(from + kMinimumDecades, std::log10(whole->toMHz));
        }
        range = plot::FrequencyRange{std::pow(10.0, from), std::pow(10.0, to)};
        if (range->fromMHz <= whole->fromMHz && range->toMHz >= whole->toMHz)
            range.reset();
    } else {
        range.reset();
    }
    zoom_ = range;
    zoomed_.reset();
    if (hovered_ && zoom_) {
        const double f = evaluation_->points.FrequencyMHz(*hovered_);
        if (f < zoom_->fromMHz || f > zoom_->toMHz)
            Hover(std::nullopt, false);
    }
    if (zoom_ && evaluation_) {
        // Only the points in view, with one neighbour on each side so the
        // line runs on to the edges: the envelope keeps detail as it zooms.
        const auto& points = evaluation_->points;
        std::size_t first = points.LowerBound(zoom_->fromMHz);
        std::size_t last = std::max(first, points.LowerBound(zoom_->toMHz));
        first = first == 0 ? first : first - 1;
        last = last == points.size() ? last : last + 1;
        zoomed_ = std::make_unique<plot::DeviationPlot>(evaluation_->anType, source_);
        for (std::size_t i = first; i < last; ++i)
            zoomed_->Add(points[i]);
        zoomed_->SetFrequencyRange(*zoom_);
    }
    update();
    emit ZoomChanged(zoom_.has_value());
}

void PlotView::ZoomAround(double frequencyMHz, double share, double factor) {
    const std::optional<plot::FrequencyRange> axis = Shown() ? Shown()->FrequencyAxis() : std::nullopt;
    if (!axis)
        return;
    const double span = (std::log10(axis->toMHz) - std::log10(axis->fromMHz)) * factor;
    const double from = std::log10(frequencyMHz) - share * span;
    ZoomTo(plot::FrequencyRange{std::pow(10.0, from), std::pow(10.0, from + span)});
}

// Frequencies rise through the sweep, so the nearest point on the
// logarithmic axis is one of the two around the frequency.
std::optional<std::size_t> PlotView::NearestPoint(double frequencyMHz) const {
    if (!evaluation_ || evaluation_->points.empty() || frequencyMHz <= 0)
        return std::nullopt;
    const auto& points = evaluation_->points;
    const std::size_t above = points.LowerBound(frequencyMHz);
    const auto distance = [&](std::size_t i) { return std::fabs(std::log10(points.FrequencyMHz(i) / frequencyMHz)); };
    std::size_t nearest = above == points.size() ? above - 1 : above;
    if (above != 0 && above != points.size() && points.FrequencyMHz(above - 1) > 0 &&
        distance(above - 1) <= distance(above))
        nearest = above - 1;
    if (points.FrequencyMHz(nearest) <= 0)
        return std::nullopt;
    return nearest;
}

QString PlotView::HoverText() const {
    if (!hovered_ || !evaluation_)
        return {};
    const sweep::EvaluatedPoint p = evaluation_->points.at(*hovered_);
    const std::vector<std::string> cells = sweep::TableCells(p);
    // With its unit where it is a number; "unbounded" or "not valid" stands
    // alone.
    const auto cell = [&cells](sweep::TableColumn column, bool number, const char* unit) {
        return FromUtf8(cells.at(column)) + (number ? QLatin1Char(' ') + QLatin1String(unit) : QString());
    };
    const bool bounded = p.exact.has_value(), statistics = p.statistics.has_value();
    return QStringLiteral(
               "%1 MHz\ndeviation %2 at EUT phase %3\nexact high %4, low %5\n"
               "mean %6, standard deviation %7\ntolerance: %8")
        .arg(FromUtf8(cells[sweep::kFrequencyColumn]), cell(sweep::kDeviationColumn, p.deviationDb.has_value(), "dB"),
             cell(sweep::kEutPhaseColumn, p.eutPhaseDegrees.has_value(), "deg"),
             cell(sweep::kExactHighColumn, bounded, "dB"), cell(sweep::kExactLowColumn, bounded, "dB"),
             cell(sweep::kMeanColumn, statistics, "dB"), cell(sweep::kStandardDeviationColumn, statistics, "dB"),
             p.withinTolerance ? QStringLiteral("within") : QStringLiteral("OUTSIDE"));
}

void PlotView::Hover(std::optional<std::size_t> point, bool showTip) {
    if (point != hovered_) {
        hovered_ = point;
        update();
    }
    if (!showTip || !hovered_) {
        QToolTip::hideText();
        return;
    }
    const sweep::EvaluatedPoint p = evaluation_->points.at(*hovered_);
    const auto at = Shown()->Position(p.frequencyMHz, p.deviationDb.value_or(0), plotqt::FromQt(size()));
    const QPoint local = at ? PictureToWidget().map(plotqt::ToQt(*at)).toPoint() : rect().center();
    QToolTip::showText(mapToGlobal(local + QPoint(12, 12)), HoverText(), this);
}

void PlotView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const plot::DeviationPlot* shown = Shown();
    if (!shown)
        return;
    const QTransform transform = PictureToWidget();
    painter.save();
    painter.setTransform(transform);
    plotqt::QtCanvas canvas(painter);
    shown->Draw(canvas, plotqt::FromQt(size()));
    painter.restore();

    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = transform.mapRect(plotqt::ToQt(plot::DeviationPlot::Area(plotqt::FromQt(size()))));
    if (hovered_) {
        const sweep::EvaluatedPoint p = evaluation_->points.at(*hovered_);
        if (const auto at = shown->Position(p.frequencyMHz, p.deviationDb.value_or(0), plotqt::FromQt(size()))) {
            const QPointF mark = transform.map(plotqt::ToQt(*at));
            if (area.contains(QPointF(mark.x(), area.center().y()))) {
                painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1, Qt::DashLine));
                painter.drawLine(QPointF(mark.x(), area.top()), QPointF(mark.x(), area.bottom()));
                if (p.deviationDb) {
                    painter.setPen(QPen(Qt::black, 1.5));
                    painter.drawEllipse(mark, 5, 5);
                }
            }
        }
    }
    if (dragFromX_ && dragToX_) {
        const double left = std::clamp(std::min(*dragFromX_, *dragToX_), area.left(), area.right());
        const double right = std::clamp(std::max(*dragFromX_, *dragToX_), area.left(), area.right());
        painter.fillRect(QRectF(left, area.top(), right - left, area.height()), QColor(0x1F, 0x3A, 0x93, 50));
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void PlotView::mouseMoveEvent(QMouseEvent* event) {
    const double x = event->position().x();
    if (dragFromX_) {
        dragToX_ = x;
        update();
    }
    const std::optional<double> f = FrequencyAtWidgetX(x);
    Hover(f ? NearestPoint(*f) : std::nullopt, !dragFromX_);
}

void PlotView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && Shown()) {
        dragFromX_ = event->position().x();
        dragToX_.reset();
    }
    QWidget::mousePressEvent(event);
}

void PlotView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragFromX_)
        return;
    const double from = *dragFromX_, to = event->position().x();
    dragFromX_.reset();
    dragToX_.reset();
    update();
    if (std::fabs(to - from) < kDragThreshold)
        return;
    const auto a = FrequencyAtWidgetX(std::min(from, to)), b = FrequencyAtWidgetX(std::max(from, to));
    if (a && b)
        ZoomTo(plot::FrequencyRange{*a, *b});
}

void PlotView::mouseDoubleClickEvent(QMouseEvent*) { ResetZoom(); }

void PlotView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    const auto axis = Shown() ? Shown()->FrequencyAxis() : std::nullopt;
    const auto f = FrequencyAtWidgetX(event->position().x());
    if (notches == 0 || !axis || !f) {
        event->ignore();
        return;
    }
    const double share = std::log10(*f / axis->fromMHz) / std::log10(axis->toMHz / axis->fromMHz);
    ZoomAround(*f, std::clamp(share, 0.0, 1.0), std::pow(kWheelStep, notches));
    event->accept();
}

// In or out by a wheel notch, around the point chosen or the middle.
void PlotView::ZoomStep(bool in) {
    const std::optional<plot::FrequencyRange> axis = Shown() ? Shown()->FrequencyAxis() : std::nullopt;
    if (!axis)
        return;
    const double f = hovered_ ? evaluation_->points.FrequencyMHz(*hovered_) : std::sqrt(axis->fromMHz * axis->toMHz);
    const double share = std::log10(f / axis->fromMHz) / std::log10(axis->toMHz / axis->fromMHz);
    ZoomAround(f, std::clamp(share, 0.0, 1.0), in ? kWheelStep : 1 / kWheelStep);
}

void PlotView::keyPressEvent(QKeyEvent* event) {
    const std::size_t count = evaluation_ ? evaluation_->points.size() : 0;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (count > 0) {
            const bool right = event->key() == Qt::Key_Right;
            std::size_t next = right ? 0 : count - 1;  // the first key starts at an end
            if (hovered_ && right)
                next = std::min(*hovered_ + 1, count - 1);
            else if (hovered_)
                next = *hovered_ == 0 ? 0 : *hovered_ - 1;
            Hover(next, true);
        }
        return;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
    case Qt::Key_Minus: ZoomStep(event->key() != Qt::Key_Minus); return;
    case Qt::Key_0:
    case Qt::Key_Home: ResetZoom(); return;
    default: QWidget::keyPressEvent(event);
    }
}

void PlotView::leaveEvent(QEvent*) {
    if (!hasFocus())
        Hover(std::nullopt, false);
}

}  // namespace quillet::sweepui
