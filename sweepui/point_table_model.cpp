#include "sweepui/point_table_model.h"

#include <QBrush>
#include <QColor>
#include <QString>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>

#include "sweep/report.h"

namespace quillet::sweepui {
namespace {

// The value a column sorts by. A result the calculator could not give
// sorts below every number; an unbounded worst case, and the unbounded
// statistics beside it, lie beyond every bound on their side.
constexpr double kNone = -std::numeric_limits<double>::infinity();

double SortKey(const sweep::EvaluatedPoint& p, int column) {
    const auto statistic = [&p](double PhaseStatistics::*member) {
        return p.statistics ? (*p.statistics).*member : std::numeric_limits<double>::infinity();
    };
    switch (column) {
    case sweep::kFrequencyColumn: return p.frequencyMHz;
    case sweep::kMagnitudeColumn: return p.magnitudeOhm;
    case sweep::kPhaseColumn: return p.phaseDegrees;
    case sweep::kDeviationColumn: return p.deviationDb.value_or(kNone);
    case sweep::kEutPhaseColumn: return p.eutPhaseDegrees.value_or(kNone);
    case sweep::kExactHighColumn: return p.exact ? p.exact->highestDb : std::numeric_limits<double>::infinity();
    case sweep::kExactLowColumn: return p.exact ? p.exact->lowestDb : -std::numeric_limits<double>::infinity();
    case sweep::kMeanColumn: return statistic(&PhaseStatistics::meanDb);
    case sweep::kStandardDeviationColumn: return statistic(&PhaseStatistics::standardDeviationDb);
    case sweep::kRmsColumn: return statistic(&PhaseStatistics::rmsDb);
    default: return p.withinTolerance ? 0.0 : 1.0;
    }
}

// The same for the columns whose values the evaluation keeps, without
// making the point; nothing for the others.
std::optional<double> KeptSortKey(const sweep::EvaluatedPoints& points, std::size_t i, int column) {
    switch (column) {
    case sweep::kFrequencyColumn: return points.FrequencyMHz(i);
    case sweep::kMagnitudeColumn: return points.MagnitudeOhm(i);
    case sweep::kPhaseColumn: return points.PhaseDegrees(i);
    case sweep::kDeviationColumn: return points.DeviationDb(i).value_or(kNone);
    case sweep::kEutPhaseColumn: return points.EutPhaseDegrees(i).value_or(kNone);
    default: return std::nullopt;
    }
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void PointTableModel::SetEvaluation(std::shared_ptr<const sweep::Evaluation> evaluation) {
    beginResetModel();
    evaluation_ = std::move(evaluation);
    order_ = {};
    endResetModel();
}

std::size_t PointTableModel::PointIndex(int row) const {
    const auto index = static_cast<std::size_t>(row);
    return order_.empty() ? index : order_.at(index);
}

sweep::EvaluatedPoint PointTableModel::PointAt(int row) const {
    if (!evaluation_)
        throw std::out_of_range("no evaluation on show");
    return evaluation_->points.at(PointIndex(row));
}

int PointTableModel::RowOf(std::size_t pointIndex) const {
    if (!evaluation_ || pointIndex >= evaluation_->points.size())
        throw std::out_of_range("no point " + std::to_string(pointIndex));
    if (order_.empty())
        return static_cast<int>(pointIndex);
    return static_cast<int>(std::find(order_.begin(), order_.end(), pointIndex) - order_.begin());
}

int PointTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !evaluation_ ? 0 : static_cast<int>(evaluation_->points.size());
}

int PointTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(sweep::TableHeader().size());
}

QVariant PointTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !evaluation_)
        return {};
    const sweep::EvaluatedPoint p = PointAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: return FromUtf8(sweep::TableCells(p).at(static_cast<std::size_t>(index.column())));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(index.column() == sweep::kToleranceColumn ? Qt::AlignLeft | Qt::AlignVCenter
                                                                             : Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        // Light enough that the text keeps its contrast in any palette.
        if (!p.withinTolerance)
            return QBrush(QColor(0xFF, 0xD6, 0xD6));
        return {};
    case Qt::ForegroundRole:
        if (!p.withinTolerance)
            return QBrush(Qt::black);
        return {};
    case Qt::ToolTipRole:
        if (p.inputsClamped && index.column() == sweep::kDeviationColumn)
            return QStringLiteral("Beyond the calculator's limits: the calculator shows the result for the limit");
        if (!p.withinTolerance)
            return QStringLiteral("Outside the tolerance (%1)").arg(FromUtf8(sweep::ToleranceText()));
        return {};
    default: return {};
    }
}

QVariant PointTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return QAbstractTableModel::headerData(section, orientation, role);
    return FromUtf8(sweep::TableHeader().at(static_cast<std::size_t>(section)));
}

void PointTableModel::sort(int column, Qt::SortOrder order) {
    if (!evaluation_)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::size_t> pointsBefore;
    pointsBefore.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before)
        pointsBefore.push_back(PointIndex(index.row()));

    const auto& points = evaluation_->points;
    const std::size_t n = points.size();
    // Stable, and file order without a column, so equal values keep their order.
    if (column < 0) {
        order_ = {};
    } else {
        // Each key once. The measured values and the calculator's results
        // are kept; for the rest a point is made again (a microsecond or two).
        std::vector<double> keys(n);
        for (std::size_t i = 0; i < n; ++i) {
            const std::optional<double> kept = KeptSortKey(points, i, column);
            keys[i] = kept ? *kept : SortKey(points[i], column);
        }
        order_.resize(n);
        std::iota(order_.begin(), order_.end(), std::uint32_t{0});
        std::stable_sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) {
            return order == Qt::AscendingOrder ? keys[a] < keys[b] : keys[b] < keys[a];
        });
    }

    // The new rows of the points that had persistent indexes, in one pass.
    std::unordered_map<std::size_t, int> rowOf;
    for (std::size_t point : pointsBefore)
        rowOf.emplace(point, static_cast<int>(point));
    if (!order_.empty()) {
        for (std::size_t row = 0; row < n; ++row) {
            if (const auto found = rowOf.find(order_[row]); found != rowOf.end())
                found->second = static_cast<int>(row);
        }
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after.push_back(index(rowOf.at(pointsBefore[static_cast<std::size_t>(i)]), before[i].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace quillet::sweepui
