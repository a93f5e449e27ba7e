#include "plot/deviation_plot.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

#include "engine/an_types.h"

namespace quillet::plot {
namespace {

constexpr QSize kSize(800, 500);  // the files'
// The plotting area inside the axes: fixed margins for the title, legend,
// tick labels and axis titles, whose text keeps its size; the rest is data.
constexpr double kLeftMargin = 78, kTopMargin = 76, kRightMargin = 24, kBottomMargin = 62;
QRectF AreaOf(QSizeF size) {
    return {kLeftMargin, kTopMargin, std::max(1.0, size.width() - kLeftMargin - kRightMargin),
            std::max(1.0, size.height() - kTopMargin - kBottomMargin)};
}

// One series drawn from the entries: its highest and lowest value in each,
// and whether the entry's first and last point have one and whether some
// point inside has none.
struct Series {
    std::optional<PlottedValue> PlotEntry::*highest;
    std::optional<PlottedValue> PlotEntry::*lowest;
    bool PlotEntry::*firstHas;
    bool PlotEntry::*lastHas;
    bool PlotEntry::*broken;
};

constexpr Series kCalculator{&PlotEntry::highestDeviation, &PlotEntry::lowestDeviation, &PlotEntry::firstHasDeviation,
                             &PlotEntry::lastHasDeviation, &PlotEntry::deviationBroken};
constexpr Series kExact{&PlotEntry::exactHighest, &PlotEntry::exactLowest, &PlotEntry::firstBounded,
                        &PlotEntry::lastBounded, &PlotEntry::exactBroken};
constexpr Series kMean{&PlotEntry::highestMean, &PlotEntry::lowestMean, &PlotEntry::firstHasStatistics,
                       &PlotEntry::lastHasStatistics, &PlotEntry::statisticsBroken};
constexpr Series kSpread{&PlotEntry::spreadHighest, &PlotEntry::spreadLowest, &PlotEntry::firstHasStatistics,
                         &PlotEntry::lastHasStatistics, &PlotEntry::statisticsBroken};

// Told apart by lightness and dash as well as by hue, so a print in grey
// keeps them apart: the two bands light and lighter, the calculator solid
// and dark, the mean dashed.
const QColor kExactFill(0x9E, 0xC5, 0xE8, 150);
const QColor kSpreadFill(0xE0, 0x8A, 0x2E, 140);
const QPen kCalculatorPen(QColor(0x1F, 0x3A, 0x93), 1.6);
const QPen kMeanPen(QColor(0x8A, 0x3B, 0x00), 1.6, Qt::DashLine);
const QPen kOutsidePen(QColor(0xC0, 0x10, 0x10), 1.4);

struct Axes {
    double decadeFrom, decadeTo;  // log10 of the frequency range
    double dbFrom, dbTo, dbStep;
    bool zoomed;  // the frequency range was chosen, not rounded to decades
    QRectF area;  // where they are drawn

    QPointF At(double frequencyMHz, double db) const {
        const double x = (std::log10(frequencyMHz) - decadeFrom) / (decadeTo - decadeFrom);
        const double y = (db - dbFrom) / (dbTo - dbFrom);
        return {area.left() + x * area.width(), area.bottom() - y * area.height()};
    }
    QPointF At(const PlottedValue& value) const { return At(value.frequencyMHz, value.db); }
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

Axes ChooseAxes(const PlotRange& range, const std::optional<FrequencyRange>& zoom, QSizeF size) {
    double low = range.lowDb, high = range.highDb;
    Axes axes{};
    axes.area = AreaOf(size);
    if (zoom) {
        axes.decadeFrom = std::log10(zoom->fromMHz);
        axes.decadeTo = std::log10(zoom->toMHz);
        axes.zoomed = true;
    } else {
        axes.decadeFrom = std::floor(std::log10(range.fromMHz));
        axes.decadeTo = std::ceil(std::log10(range.toMHz));
        if (axes.decadeTo <= axes.decadeFrom)
            axes.decadeTo = axes.decadeFrom + 1;
    }
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

QString Number(double value) { return QString::fromStdString(sweep::ShortestText(value)); }

const QPen kGrid(QColor(0xDD, 0xDD, 0xDD), 1);
const QPen kMinorGrid(QColor(0xEE, 0xEE, 0xEE), 1);

void DrawFrequencyLine(QPainter& painter, const Axes& axes, double frequencyMHz, const QPen& pen, bool labelled) {
    const QPointF at = axes.At(frequencyMHz, axes.dbFrom);
    painter.setPen(pen);
    painter.drawLine(QPointF(at.x(), axes.area.top()), QPointF(at.x(), axes.area.bottom()));
    if (!labelled)
        return;
    painter.setPen(Qt::black);
    painter.drawText(QRectF(at.x() - 40, axes.area.bottom() + 4, 80, 16), Qt::AlignHCenter | Qt::AlignTop,
                     QString::fromStdString(sweep::SignificantText(frequencyMHz)));
}

// A zoomed axis seldom starts or ends at a decade. Over a decade or more
// the lines stay at 1 to 9 times a power of ten, labelled at 1, 2 and 5
// while few decades are shown; within a decade the axis is nearly linear
// and takes evenly spaced lines.
void DrawZoomedFrequencyGrid(QPainter& painter, const Axes& axes) {
    const double span = axes.decadeTo - axes.decadeFrom;
    const double from = std::pow(10.0, axes.decadeFrom), to = std::pow(10.0, axes.decadeTo);
    const auto inside = [&](double f) { return f >= from * (1 - 1e-12) && f <= to * (1 + 1e-12); };
    if (span >= 1.0) {
        for (double decade = std::floor(axes.decadeFrom); decade <= std::ceil(axes.decadeTo); decade += 1) {
            const double f = std::pow(10.0, decade);
            for (int k = 1; k <= 9; ++k) {
                if (inside(k * f))
                    DrawFrequencyLine(painter, axes, k * f, k == 1 ? kGrid : kMinorGrid,
                                      k == 1 || (span <= 2.5 && (k == 2 || k == 5)));
            }
        }
        return;
    }
    const double step = NiceStep(to - from);
    for (double n = std::ceil(from / step); n * step <= to * (1 + 1e-12); n += 1)
        DrawFrequencyLine(painter, axes, n * step, kGrid, true);
}

void DrawGridAndAxes(QPainter& painter, const Axes& axes) {
    const QPen& grid = kGrid;
    const QPen& minorGrid = kMinorGrid;
    const QPen text(Qt::black);
    painter.setFont(Font(12));
    if (axes.zoomed)
        DrawZoomedFrequencyGrid(painter, axes);
    for (double decade = axes.decadeFrom; !axes.zoomed && decade <= axes.decadeTo; decade += 1) {
        const double f = std::pow(10.0, decade);
        const QPointF at = axes.At(f, axes.dbFrom);
        painter.setPen(grid);
        painter.drawLine(QPointF(at.x(), axes.area.top()), QPointF(at.x(), axes.area.bottom()));
        painter.setPen(text);
        painter.drawText(QRectF(at.x() - 40, axes.area.bottom() + 4, 80, 16), Qt::AlignHCenter | Qt::AlignTop,
                         Number(f));
        if (decade == axes.decadeTo)
            break;
        painter.setPen(minorGrid);
        for (int k = 2; k <= 9; ++k) {
            const double x = axes.At(k * f, axes.dbFrom).x();
            painter.drawLine(QPointF(x, axes.area.top()), QPointF(x, axes.area.bottom()));
        }
    }
    for (double db = axes.dbFrom; db <= axes.dbTo + axes.dbStep / 2; db += axes.dbStep) {
        const double y = axes.At(std::pow(10.0, axes.decadeFrom), db).y();
        painter.setPen(std::fabs(db) < axes.dbStep / 2 ? QPen(Qt::gray, 1) : grid);
        painter.drawLine(QPointF(axes.area.left(), y), QPointF(axes.area.right(), y));
        painter.setPen(text);
        painter.drawText(QRectF(axes.area.left() - 60, y - 8, 54, 16), Qt::AlignRight | Qt::AlignVCenter,
                         Number(std::fabs(db) < axes.dbStep / 2 ? 0.0 : db));
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(axes.area);

    painter.setFont(Font(13));
    painter.drawText(QRectF(axes.area.left(), axes.area.bottom() + kBottomMargin - 28, axes.area.width(), 20),
                     Qt::AlignHCenter, QStringLiteral("Frequency (MHz)"));
    painter.save();
    painter.translate(18, axes.area.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-axes.area.height() / 2, -10, axes.area.height(), 20), Qt::AlignHCenter,
                     QStringLiteral("Deviation (dB)"));
    painter.restore();
}

// A series' highest and lowest values as a band, one piece per run of
// entries that have them. An entry with a point without inside ends the
// piece it continues and starts the next one, so the break stays where it
// was.
void DrawBand(QPainter& painter, const Axes& axes, const std::vector<PlotEntry>& entries, const Series& series,
              const QColor& fill) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    std::vector<const PlotEntry*> piece;
    const auto draw = [&] {
        if (piece.empty())
            return;
        QPolygonF band;
        for (const PlotEntry* e : piece)
            band << axes.At(*(e->*series.highest));
        for (auto e = piece.rbegin(); e != piece.rend(); ++e)
            band << axes.At(*((*e)->*series.lowest));
        if (piece.size() == 1)
            painter.setPen(QPen(QColor(fill.red(), fill.green(), fill.blue()), 3));
        painter.drawPolygon(band);
        painter.setPen(Qt::NoPen);
        piece.clear();
    };
    bool previousEndsWithValue = false;
    for (const PlotEntry& e : entries) {
        const bool joins = previousEndsWithValue && e.*series.firstHas;
        previousEndsWithValue = e.*series.lastHas;
        if (!joins)
            draw();
        if (!(e.*series.highest))
            continue;
        if (!(e.*series.broken)) {
            piece.push_back(&e);
            continue;
        }
        if (joins || !(e.*series.lastHas)) {
            piece.push_back(&e);
            draw();
        }
        if (e.*series.lastHas)
            piece.push_back(&e);
    }
    draw();
}

// The line through each entry's lowest and highest value, in frequency
// order; a single point gives one vertex.
std::pair<QPointF, std::optional<QPointF>> LineVertices(const Axes& axes, const PlotEntry& e, const Series& series) {
    PlottedValue first = *(e.*series.lowest), second = *(e.*series.highest);
    if (first.frequencyMHz == second.frequencyMHz && first.db == second.db)
        return {axes.At(first), std::nullopt};
    if (second.frequencyMHz < first.frequencyMHz)
        std::swap(first, second);
    return {axes.At(first), axes.At(second)};
}

void DrawLine(QPainter& painter, const Axes& axes, const std::vector<PlotEntry>& entries, const Series& series,
              const QPen& pen) {
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    QPainterPath path;
    bool previousEndsDrawn = false;
    for (const PlotEntry& e : entries) {
        const bool joins = previousEndsDrawn && e.*series.firstHas;
        previousEndsDrawn = e.*series.lastHas;
        if (!(e.*series.lowest))
            continue;
        const auto [first, second] = LineVertices(axes, e, series);
        if (joins)
            path.lineTo(first);
        else
            path.moveTo(first);
        // A point without a value inside the entry breaks the line there.
        if (second && e.*series.broken)
            path.moveTo(*second);
        else if (second)
            path.lineTo(*second);
    }
    painter.drawPath(path);
}

void DrawOutsideMarks(QPainter& painter, const Axes& axes, const std::vector<PlotEntry>& entries) {
    painter.setPen(kOutsidePen);
    painter.setBrush(Qt::NoBrush);
    for (const PlotEntry& e : entries) {
        if (e.outside)
            painter.drawEllipse(axes.At(*e.outside), 3.5, 3.5);
    }
}

// Two rows under the title, outside the data: the bands, then the lines
// and marks.
void DrawLegend(QPainter& painter, double pictureWidth) {
    painter.setFont(Font(12));
    const QFontMetricsF metrics(painter.fontMetrics());
    enum class Symbol { ExactBand, SpreadBand, CalculatorLine, MeanLine, OutsideMark };
    struct Entry {
        Symbol symbol;
        QString label;
    };
    const std::vector<Entry> rows[] = {
        {{Symbol::ExactBand, QStringLiteral("exact highest to lowest, any EUT phase")},
         {Symbol::SpreadBand, QStringLiteral("mean ± 1 standard deviation")}},
        {{Symbol::CalculatorLine, QStringLiteral("calculator, 0.01 rad grid")},
         {Symbol::MeanLine, QStringLiteral("mean over the EUT phase")},
         {Symbol::OutsideMark, QStringLiteral("outside tolerance")}},
    };
    constexpr double kSymbol = 22, kGap = 6, kSpacing = 22;
    double y = 42;
    for (const std::vector<Entry>& row : rows) {
        double width = kSpacing * static_cast<double>(row.size() - 1);
        for (const Entry& entry : row)
            width += kSymbol + kGap + metrics.horizontalAdvance(entry.label);
        double x = (pictureWidth - width) / 2;
        for (const Entry& entry : row) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::NoBrush);
            switch (entry.symbol) {
            case Symbol::ExactBand:
            case Symbol::SpreadBand:
                painter.setBrush(entry.symbol == Symbol::ExactBand ? kExactFill : kSpreadFill);
                painter.drawRect(QRectF(x, y - 5, kSymbol, 10));
                break;
            case Symbol::CalculatorLine:
            case Symbol::MeanLine:
                painter.setPen(entry.symbol == Symbol::CalculatorLine ? kCalculatorPen : kMeanPen);
                painter.drawLine(QPointF(x, y), QPointF(x + kSymbol, y));
                break;
            case Symbol::OutsideMark:
                painter.setPen(kOutsidePen);
                painter.drawEllipse(QPointF(x + kSymbol / 2, y), 3.5, 3.5);
                break;
            }
            painter.setPen(Qt::black);
            x += kSymbol + kGap;
            painter.drawText(QPointF(x, y + metrics.ascent() / 2 - 1), entry.label);
            x += metrics.horizontalAdvance(entry.label) + kSpacing;
        }
        y += 16;
    }
}

void Draw(QPainter& painter, std::int16_t anType, const std::string& source, const DeviationEnvelope& envelope,
          const std::optional<FrequencyRange>& zoom, QSizeF size) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    painter.setPen(Qt::black);
    painter.setFont(Font(15, true));
    const std::string_view caption = AnType(anType).caption;
    const QString title = QStringLiteral("AN type %1: %2  (%3)")
                              .arg(anType)
                              .arg(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())))
                              .arg(QString::fromStdString(source).section('/', -1));
    painter.drawText(QRectF(0, 8, size.width(), 24), Qt::AlignHCenter, title);
    if (envelope.Empty()) {
        painter.drawText(AreaOf(size), Qt::AlignCenter, QStringLiteral("no point above 0 MHz to draw"));
        return;
    }
    const Axes axes = ChooseAxes(envelope.Range(), zoom, size);
    DrawGridAndAxes(painter, axes);
    painter.save();
    painter.setClipRect(axes.area);
    const std::vector<PlotEntry>& entries = envelope.Entries();
    DrawBand(painter, axes, entries, kExact, kExactFill);
    DrawBand(painter, axes, entries, kSpread, kSpreadFill);
    DrawLine(painter, axes, entries, kMean, kMeanPen);
    DrawLine(painter, axes, entries, kCalculator, kCalculatorPen);
    DrawOutsideMarks(painter, axes, entries);
    painter.restore();
    DrawLegend(painter, size.width());
}

}  // namespace

DeviationPlot::DeviationPlot(std::int16_t anType, std::string source, std::size_t maxEntries)
    : anType_(anType), source_(std::move(source)), envelope_(maxEntries) {
    static_cast<void>(AnType(anType_));  // refuse an unknown type now, not when drawing
}

std::string DeviationPlot::Render(sweep::PlotFormat format) const {
    // Without it, Qt's fonts abort the process instead of failing.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw std::runtime_error("drawing the plot needs a QGuiApplication");
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (format == sweep::PlotFormat::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(kSize);
        svg.setViewBox(QRect(QPoint(0, 0), kSize));
        svg.setTitle(QStringLiteral("AN impedance deviation"));
        QPainter painter;
        if (!painter.begin(&svg))
            throw std::runtime_error("cannot draw the plot");
        Paint(painter);
        painter.end();
    } else {
        QImage image(kSize, QImage::Format_ARGB32);
        QPainter painter(&image);
        Paint(painter);
        painter.end();
        if (!image.save(&buffer, "PNG"))
            throw std::runtime_error("cannot encode the plot as PNG");
    }
    const QByteArray& bytes = buffer.data();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void DeviationPlot::Paint(QPainter& painter, QSizeF size) const {
    Draw(painter, anType_, source_, envelope_, frequencyRange_, size);
}

QSize DeviationPlot::Size() { return kSize; }

QRectF DeviationPlot::Area(QSizeF size) { return AreaOf(size); }

std::optional<FrequencyRange> DeviationPlot::FrequencyAxis() const {
    if (envelope_.Empty())
        return std::nullopt;
    const Axes axes = ChooseAxes(envelope_.Range(), frequencyRange_, kSize);
    return FrequencyRange{std::pow(10.0, axes.decadeFrom), std::pow(10.0, axes.decadeTo)};
}

std::optional<QPointF> DeviationPlot::Position(double frequencyMHz, double db, QSizeF size) const {
    if (envelope_.Empty() || frequencyMHz <= 0)
        return std::nullopt;
    return ChooseAxes(envelope_.Range(), frequencyRange_, size).At(frequencyMHz, db);
}

std::optional<double> DeviationPlot::FrequencyAt(double x, QSizeF size) const {
    if (envelope_.Empty())
        return std::nullopt;
    const Axes axes = ChooseAxes(envelope_.Range(), frequencyRange_, size);
    const double share = (x - axes.area.left()) / axes.area.width();
    return std::pow(10.0, axes.decadeFrom + share * (axes.decadeTo - axes.decadeFrom));
}

}  // namespace quillet::plot
