// The deviation plot in a window: the picture an-sweep draws, scaled to the
// widget, with the nearest point read out under the pointer and a
// frequency axis that zooms with the wheel, a dragged range or the keys.
#pragma once

#include <QWidget>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "plot/deviation_plot.h"
#include "sweep/evaluation.h"

namespace quillet::sweepui {

class PlotView : public QWidget {
    Q_OBJECT

public:
    explicit PlotView(QWidget* parent = nullptr);

    // The sweep to show, drawn whole; nothing shows an empty frame.
    void SetSweep(std::shared_ptr<const plot::DeviationPlot> whole, std::shared_ptr<const sweep::Evaluation> evaluation,
                  std::string source);

    // The frequency axis restricted to a range, kept within the sweep's
    // axis; nothing or the whole axis shows the whole sweep.
    void ZoomTo(std::optional<plot::FrequencyRange> range);
    void ResetZoom() { ZoomTo(std::nullopt); }
    std::optional<plot::FrequencyRange> Zoom() const { return zoom_; }

    // The point under the pointer (or chosen with the arrow keys), by its
    // index in the sweep, and what it says of it.
    std::optional<std::size_t> HoveredPoint() const { return hovered_; }
    QString HoverText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void ZoomChanged(bool zoomed);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    const plot::DeviationPlot* Shown() const { return zoomed_ ? zoomed_.get() : whole_.get(); }
    QTransform PictureToWidget() const;
    std::optional<double> FrequencyAtWidgetX(double x) const;
    std::optional<std::size_t> NearestPoint(double frequencyMHz) const;
    void Hover(std::optional<std::size_t> point, bool showTip);
    void ZoomAround(double frequencyMHz, double share, double factor);
    void ZoomStep(bool in);

    std::shared_ptr<const plot::DeviationPlot> whole_;
    std::unique_ptr<plot::DeviationPlot> zoomed_;
    std::shared_ptr<const sweep::Evaluation> evaluation_;
    std::string source_;
    std::optional<plot::FrequencyRange> zoom_;
    std::optional<std::size_t> hovered_;
    std::optional<double> dragFromX_, dragToX_;  // widget x while a range is dragged
};

}  // namespace quillet::sweepui
