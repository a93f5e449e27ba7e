#include "registerui/trend_view.h"

#include <QPainter>

#include "plotqt/qt_canvas.h"

namespace quillet::registerui {

TrendView::TrendView(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Trend of the verifications"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TrendView::SetPlot(std::optional<plot::TrendPlot> plot) {
    plot_ = std::move(plot);
    update();
}

// Room for both panels' labels; the data take what is left.
QSize TrendView::sizeHint() const { return {520, 360}; }
QSize TrendView::minimumSizeHint() const { return {360, 260}; }

void TrendView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!plot_)
        return;
    plotqt::QtCanvas canvas(painter);
    plot_->Draw(canvas, {static_cast<double>(width()), static_cast<double>(height())});
}

}  // namespace quillet::registerui
