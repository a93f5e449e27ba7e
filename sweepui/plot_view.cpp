#include "sweepui/plot_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolTip>
#include <QWheelEvent>

#include <utility>

#include "plotqt/qt_canvas.h"

namespace quillet::sweepui {
namespace {

// At its least the legend's widest row still fits.
const QSize kMinimumSize{520, 170};

}  // namespace

PlotView::PlotView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setCursor(Qt::CrossCursor);
}

void PlotView::SetSweep(std::shared_ptr<const plot::DeviationPlot> whole,
                        std::shared_ptr<const sweep::Evaluation> evaluation, std::string source) {
    navigation_.SetSweep(std::move(whole), std::move(evaluation), std::move(source));
    QToolTip::hideText();
    update();
    emit ZoomChanged(Zoom().has_value());
}

void PlotView::ZoomTo(std::optional<plot::FrequencyRange> range) {
    navigation_.ZoomTo(range);
    Changed(true, false);
}

// Smaller than the files' picture, so the summary and the table below it
// get their share of a window of usual height; the plot grows with the
// window. At its least the legend's widest row still fits.
QSize PlotView::sizeHint() const {
    constexpr plot::Size kFile = plot::DeviationPlot::kFileSize;
    return QSize(static_cast<int>(kFile.width), static_cast<int>(kFile.height)) * 3 / 5;
}

QSize PlotView::minimumSizeHint() const { return kMinimumSize; }

// The picture is laid out for the widget's own size, its text at its own
// size: widget and picture coordinates are the same.
plot::Size PlotView::PictureSize() const { return plotqt::FromQt(size()); }

QString PlotView::HoverText() const { return QString::fromStdString(navigation_.HoverText()); }

void PlotView::Changed(bool changed, bool showTip) {
    if (!changed)
        return;
    update();
    emit ZoomChanged(Zoom().has_value());
    const std::optional<plot::Point> mark = navigation_.HoverMark(PictureSize());
    if (!showTip || !HoveredPoint()) {
        QToolTip::hideText();
        return;
    }
    const QPoint local = mark ? plotqt::ToQt(*mark).toPoint() : rect().center();
    QToolTip::showText(mapToGlobal(local + QPoint(12, 12)), HoverText(), this);
}

namespace {

void DrawFocus(QWidget* widget, QPainter& painter) {
    if (!widget->hasFocus())
        return;
    QStyleOptionFocusRect option;
    option.initFrom(widget);
    option.rect = widget->rect().adjusted(1, 1, -1, -1);
    widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, widget);
}

}  // namespace

void PlotView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const plot::DeviationPlot* shown = navigation_.Shown();
    if (!shown)
        return;
    plotqt::QtCanvas canvas(painter);
    shown->Draw(canvas, PictureSize());
    navigation_.DrawOverlay(canvas, PictureSize());
    DrawFocus(this, painter);
}

void PlotView::mouseMoveEvent(QMouseEvent* event) {
    Changed(navigation_.PointerMoved(event->position().x(), PictureSize()), !navigation_.Dragging());
}

void PlotView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Changed(navigation_.Pressed(event->position().x()), false);
    QWidget::mousePressEvent(event);
}

void PlotView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Changed(navigation_.Released(event->position().x(), PictureSize()), false);
}

void PlotView::mouseDoubleClickEvent(QMouseEvent*) { ResetZoom(); }

void PlotView::wheelEvent(QWheelEvent* event) {
    const bool changed = navigation_.Wheel(event->position().x(), event->angleDelta().y() / 120.0, PictureSize());
    event->setAccepted(changed);
    Changed(changed, false);
}

void PlotView::keyPressEvent(QKeyEvent* event) {
    using Key = plot::PlotNavigation::Key;
    std::optional<Key> key;
    switch (event->key()) {
    case Qt::Key_Left: key = Key::Left; break;
    case Qt::Key_Right: key = Key::Right; break;
    case Qt::Key_Plus:
    case Qt::Key_Equal: key = Key::ZoomIn; break;
    case Qt::Key_Minus: key = Key::ZoomOut; break;
    case Qt::Key_0:
    case Qt::Key_Home: key = Key::Reset; break;
    default: QWidget::keyPressEvent(event); return;
    }
    const bool arrow = *key == Key::Left || *key == Key::Right;
    Changed(navigation_.KeyPressed(*key) || arrow, arrow);
}

void PlotView::leaveEvent(QEvent*) {
    if (!hasFocus())
        Changed(navigation_.PointerLeft(), false);
}

ImpedanceView::ImpedanceView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ImpedanceView::SetPlot(std::shared_ptr<const plot::ImpedancePlot> plot) {
    plot_ = std::move(plot);
    update();
}

// It shares the deviation plot's place in the window, and takes what that
// leaves it.
QSize ImpedanceView::sizeHint() const { return kMinimumSize; }
QSize ImpedanceView::minimumSizeHint() const { return kMinimumSize; }

void ImpedanceView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!plot_)
        return;
    plotqt::QtCanvas canvas(painter);
    plot_->Draw(canvas, plotqt::FromQt(size()));
    DrawFocus(this, painter);
}

}  // namespace quillet::sweepui
