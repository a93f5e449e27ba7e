// The evaluated points as a table with an-sweep's columns, sortable by the
// values rather than by their texts.
#pragma once

#include <QAbstractTableModel>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "sweep/evaluation.h"

namespace quillet::sweepui {

class PointTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetEvaluation(std::shared_ptr<const sweep::Evaluation> evaluation);
    // The point shown in a row, in the order the table is sorted, made
    // from what the evaluation keeps of it.
    sweep::EvaluatedPoint PointAt(int row) const;
    // The row that shows the point with this index in the file; a search
    // through the rows while the table is sorted.
    int RowOf(std::size_t pointIndex) const;
    // The index in the file of the point a row shows.
    std::size_t PointIndex(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    const sweep::EvaluatedPoint& CachedPoint(int row) const;

    std::shared_ptr<const sweep::Evaluation> evaluation_;
    // Remaking a point from what the evaluation keeps takes microseconds,
    // and a view asks for a cell in several roles and for a row's cells in
    // turn: the last point made is kept, by its index in the file.
    mutable std::optional<sweep::EvaluatedPoint> cachedPoint_;
    mutable std::size_t cachedIndex_ = 0;

    // Row -> point index; empty while the table is in file order. Four
    // bytes a point, and no reverse index: a sweep of millions must leave
    // room for a second evaluation while it is reloaded.
    std::vector<std::uint32_t> order_;
};

}  // namespace quillet::sweepui
