// A network's verifications over time in the register window: the trend
// the printed history shows, drawn at the view's own size.
#pragma once

#include <QWidget>

#include <optional>

#include "plot/trend_plot.h"

namespace quillet::registerui {

class TrendView : public QWidget {
    Q_OBJECT

public:
    explicit TrendView(QWidget* parent = nullptr);

    // Nothing: no network chosen.
    void SetPlot(std::optional<plot::TrendPlot> plot);
    bool HasPlot() const { return plot_.has_value(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<plot::TrendPlot> plot_;
};

}  // namespace quillet::registerui
