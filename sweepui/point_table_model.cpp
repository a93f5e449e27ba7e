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

#include "sweep/point_order.h"
#include "sweep/report.h"
#include "sweepcore/point_tips.h"

namespace quillet::sweepui {
namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void PointTableModel::SetEvaluation(std::shared_ptr<const sweep::Evaluation> evaluation) {
    beginResetModel();
    evaluation_ = std::move(evaluation);
    order_ = {};
    cachedPoint_.reset();
    endResetModel();
}

const sweep::EvaluatedPoint& PointTableModel::CachedPoint(int row) const {
    const std::size_t index = PointIndex(row);
    if (!cachedPoint_ || cachedIndex_ != index) {
        cachedPoint_ = evaluation_->points.at(index);
        cachedIndex_ = index;
    }
    return *cachedPoint_;
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
    const sweep::EvaluatedPoint& p = CachedPoint(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: return FromUtf8(sweep::TableCell(p, index.column()));
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
    case Qt::ToolTipRole: {
        const std::string tip = sweepcore::PointCellTip(p, index.column());
        return tip.empty() ? QVariant() : QVariant(FromUtf8(tip));
    }
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

    const std::size_t n = evaluation_->points.size();
    order_ = sweep::SortedOrder(evaluation_->points, column, order == Qt::AscendingOrder);

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
