#include "deviation_plot.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "an_types.h"

namespace quillet::sweep {
namespace {

constexpr QSize kSize(800, 500);
const QRectF kArea(78, 62, 800 - 78 - 24, 500 - 62 - 62);  // the plotting area inside the axes

struct Axes {
    double decadeFrom, decadeTo;  // log10 of the frequency range
    double dbFrom, dbTo, dbStep;

    QPointF At(double frequencyMHz, double db) const {
        const double x = (std::log10(frequencyMHz) - decadeFrom) / (decadeTo - decadeFrom);
        const double y = (db - dbFrom) / (dbTo - dbFrom);
        return {kArea.left() + x * kArea.width(), kArea.bottom() - y * kArea.height()};
    }
};

double NiceStep(double span) {
    const double raw = span / 6.0;
    const double decade = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * decade >= raw)
            return factor * decade;
    }
    return 10.0 * decade;
}

// Points with a frequency above zero; a logarithmic axis has no place for 0.
std::vector<const EvaluatedPoint*> Plotted(const Evaluation& e) {
    std::vector<const EvaluatedPoint*> points;
    for (const EvaluatedPoint& p : e.points) {
        if (p.frequencyMHz > 0)
            points.push_back(&p);
    }
    return points;
}

Axes ChooseAxes(const std::vector<const EvaluatedPoint*>& points) {
    double fMin = points.front()->frequencyMHz, fMax = points.back()->frequencyMHz;
    double low = 0, high = 0;  // 0 dB is always in view
    for (const EvaluatedPoint* p : points) {
        if (p->deviationDb) {
            low = std::min(low, *p->deviationDb);
            high = std::max(high, *p->deviationDb);
        }
        if (p->exact) {
            low = std::min(low, p->exact->lowestDb);
            high = std::max(high, p->exact->highestDb);
        }
    }
    Axes axes{};
    axes.decadeFrom = std::floor(std::log10(fMin));
    axes.decadeTo = std::ceil(std::log10(fMax));
    if (axes.decadeTo <= axes.decadeFrom)
        axes.decadeTo = axes.decadeFrom + 1;
    const double margin = 0.05 * std::max(high - low, 1.0);  // keep lines off the frame
    low -= margin;
    high += margin;
    axes.dbStep = NiceStep(std::max(high - low, 1.0));
    axes.dbFrom = std::floor(low / axes.dbStep) * axes.dbStep;
    axes.dbTo = std::ceil(high / axes.dbStep) * axes.dbStep;
    if (axes.dbTo - axes.dbFrom < axes.dbStep)
        axes.dbTo = axes.dbFrom + axes.dbStep;
    return axes;
}

// Pixel sizes, so the SVG and the PNG come out alike.
QFont Font(int pixels, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QString Number(double value) { return QString::fromStdString(ShortestText(value)); }

void DrawGridAndAxes(QPainter& painter, const Axes& axes) {
    const QPen grid(QColor(0xDD, 0xDD, 0xDD), 1);
    const QPen minorGrid(QColor(0xEE, 0xEE, 0xEE), 1);
    const QPen text(Qt::black);
    painter.setFont(Font(12));
    for (double decade = axes.decadeFrom; decade <= axes.decadeTo; decade += 1) {
        const double f = std::pow(10.0, decade);
        const QPointF at = axes.At(f, axes.dbFrom);
        painter.setPen(grid);
        painter.drawLine(QPointF(at.x(), kArea.top()), QPointF(at.x(), kArea.bottom()));
        painter.setPen(text);
        painter.drawText(QRectF(at.x() - 40, kArea.bottom() + 4, 80, 16), Qt::AlignHCenter | Qt::AlignTop,
                         Number(f));
        if (decade == axes.decadeTo)
            break;
        painter.setPen(minorGrid);
        for (int k = 2; k <= 9; ++k) {
            const double x = axes.At(k * f, axes.dbFrom).x();
            painter.drawLine(QPointF(x, kArea.top()), QPointF(x, kArea.bottom()));
        }
    }
    for (double db = axes.dbFrom; db <= axes.dbTo + axes.dbStep / 2; db += axes.dbStep) {
        const double y = axes.At(std::pow(10.0, axes.decadeFrom), db).y();
        painter.setPen(std::fabs(db) < axes.dbStep / 2 ? QPen(Qt::gray, 1) : grid);
        painter.drawLine(QPointF(kArea.left(), y), QPointF(kArea.right(), y));
        painter.setPen(text);
        painter.drawText(QRectF(kArea.left() - 60, y - 8, 54, 16), Qt::AlignRight | Qt::AlignVCenter,
                         Number(std::fabs(db) < axes.dbStep / 2 ? 0.0 : db));
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(kArea);

    painter.setFont(Font(13));
    painter.drawText(QRectF(kArea.left(), kSize.height() - 28, kArea.width(), 20), Qt::AlignHCenter,
                     QStringLiteral("Frequency (MHz)"));
    painter.save();
    painter.translate(18, kArea.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-kArea.height() / 2, -10, kArea.height(), 20), Qt::AlignHCenter,
                     QStringLiteral("Deviation (dB)"));
    painter.restore();
}

// The exact highest and lowest cases as a band, one piece per run of
// bounded points.
void DrawExactBand(QPainter& painter, const Axes& axes, const std::vector<const EvaluatedPoint*>& points) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x9E, 0xC5, 0xE8, 150));
    std::size_t i = 0;
    while (i < points.size()) {
        if (!points[i]->exact) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < points.size() && points[end]->exact)
            ++end;
        QPolygonF band;
        for (std::size_t k = i; k < end; ++k)
            band << axes.At(points[k]->frequencyMHz, points[k]->exact->highestDb);
        for (std::size_t k = end; k-- > i;)
            band << axes.At(points[k]->frequencyMHz, points[k]->exact->lowestDb);
        if (end - i == 1)
            painter.setPen(QPen(QColor(0x9E, 0xC5, 0xE8), 3));
        painter.drawPolygon(band);
        painter.setPen(Qt::NoPen);
        i = end;
    }
}

void DrawCalculatorLine(QPainter& painter, const Axes& axes, const std::vector<const EvaluatedPoint*>& points) {
    painter.setPen(QPen(QColor(0x1F, 0x3A, 0x93), 1.6));
    painter.setBrush(Qt::NoBrush);
    QPainterPath path;
    bool drawing = false;
    for (const EvaluatedPoint* p : points) {
        if (!p->deviationDb) {
            drawing = false;
            continue;
        }
        const QPointF at = axes.At(p->frequencyMHz, *p->deviationDb);
        if (drawing)
            path.lineTo(at);
        else
            path.moveTo(at);
        drawing = true;
    }
    painter.drawPath(path);

    painter.setPen(QPen(QColor(0xC0, 0x10, 0x10), 1.4));
    for (const EvaluatedPoint* p : points) {
        if (!p->withinTolerance && p->deviationDb)
            painter.drawEllipse(axes.At(p->frequencyMHz, *p->deviationDb), 3.5, 3.5);
    }
}

// One row under the title, outside the data.
void DrawLegend(QPainter& painter) {
    painter.setFont(Font(12));
    const QFontMetricsF metrics(painter.fontMetrics());
    const QString labels[] = {QStringLiteral("exact highest to lowest, any EUT phase"),
                              QStringLiteral("calculator, 0.01 rad grid"),
                              QStringLiteral("outside tolerance")};
    constexpr double kSymbol = 22, kGap = 6, kSpacing = 22;
    double width = 0;
    for (const QString& label : labels)
        width += kSymbol + kGap + metrics.horizontalAdvance(label);
    width += 2 * kSpacing;
    double x = (kSize.width() - width) / 2;
    const double y = 42;
    for (int entry = 0; entry < 3; ++entry) {
        switch (entry) {
        case 0:
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0x9E, 0xC5, 0xE8, 150));
            painter.drawRect(QRectF(x, y - 5, kSymbol, 10));
            break;
        case 1:
            painter.setPen(QPen(QColor(0x1F, 0x3A, 0x93), 1.6));
            painter.drawLine(QPointF(x, y), QPointF(x + kSymbol, y));
            break;
        default:
            painter.setPen(QPen(QColor(0xC0, 0x10, 0x10), 1.4));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(QPointF(x + kSymbol / 2, y), 3.5, 3.5);
            break;
        }
        painter.setPen(Qt::black);
        x += kSymbol + kGap;
        painter.drawText(QPointF(x, y + metrics.ascent() / 2 - 1), labels[entry]);
        x += metrics.horizontalAdvance(labels[entry]) + kSpacing;
    }
}

void Draw(QPainter& painter, const Evaluation& e, const std::string& source) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(QPointF(0, 0), QSizeF(kSize)), Qt::white);
    const auto points = Plotted(e);
    painter.setPen(Qt::black);
    painter.setFont(Font(15, true));
    const QString title = QStringLiteral("AN type %1: %2  (%3)")
                              .arg(e.anType)
                              .arg(QString::fromUtf8(AnType(e.anType).caption.data(),
                                                     static_cast<qsizetype>(AnType(e.anType).caption.size())))
                              .arg(QString::fromStdString(source).section('/', -1));
    painter.drawText(QRectF(0, 8, kSize.width(), 24), Qt::AlignHCenter, title);
    if (points.empty()) {
        painter.drawText(kArea, Qt::AlignCenter, QStringLiteral("no point above 0 MHz to draw"));
        return;
    }
    const Axes axes = ChooseAxes(points);
    DrawGridAndAxes(painter, axes);
    painter.save();
    painter.setClipRect(kArea);
    DrawExactBand(painter, axes, points);
    DrawCalculatorLine(painter, axes, points);
    painter.restore();
    DrawLegend(painter);
}

}  // namespace

void DrawDeviationPlot(const Evaluation& evaluation, const std::string& path, const std::string& source) {
    // Written to a temporary file and renamed into place, like --output.
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error(path + ": cannot write the plot: " + file.errorString().toStdString());
    if (file.fileName().endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(kSize);
        svg.setViewBox(QRect(QPoint(0, 0), kSize));
        svg.setTitle(QStringLiteral("AN impedance deviation"));
        QPainter painter;
        if (!painter.begin(&svg))
            throw std::runtime_error(path + ": cannot draw the plot");
        Draw(painter, evaluation, source);
        painter.end();
    } else {
        QImage image(kSize, QImage::Format_ARGB32);
        QPainter painter(&image);
        Draw(painter, evaluation, source);
        painter.end();
        if (!image.save(&file, "PNG"))
            throw std::runtime_error(path + ": cannot write the plot");
    }
    if (!file.commit())
        throw std::runtime_error(path + ": cannot write the plot: " + file.errorString().toStdString());
}

}  // namespace quillet::sweep
