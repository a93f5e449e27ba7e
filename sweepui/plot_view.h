// The deviation plot in a window: the picture an-sweep draws, laid out for
// the widget, with the nearest point read out under the pointer and a
// frequency axis that zooms with the wheel, a dragged range or the keys
// (plot::PlotNavigation, which the Windows window shares).
#pragma once

#include <QWidget>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "plot/deviation_plot.h"
#include "plot/impedance_plot.h"
#include "plot/plot_navigation.h"
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
    std::optional<plot::FrequencyRange> Zoom() const { return navigation_.Zoom(); }

    // The point under the pointer (or chosen with the arrow keys), by its
    // index in the sweep, and what it says of it.
    std::optional<std::size_t> HoveredPoint() const { return navigation_.Hovered(); }
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
    plot::Size PictureSize() const;
    // Draws again after an event that changed the picture, and shows or
    // hides the hovered point's read-out.
    void Changed(bool changed, bool showTip);

    plot::PlotNavigation navigation_;
};

// The impedance plot in a window, as an-sweep draws it, laid out for the
// widget.
class ImpedanceView : public QWidget {
    Q_OBJECT

public:
    explicit ImpedanceView(QWidget* parent = nullptr);

    // Nothing shows an empty frame.
    void SetPlot(std::shared_ptr<const plot::ImpedancePlot> plot);
    const plot::ImpedancePlot* Shown() const { return plot_.get(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::shared_ptr<const plot::ImpedancePlot> plot_;
};

}  // namespace quillet::sweepui
