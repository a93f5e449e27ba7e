// The evaluated points in a virtual list view with an-sweep's columns: the
// rows are made from the evaluation when shown, so a sweep of a million
// points takes no memory per row; sorted by the values of the column
// clicked, rows outside the tolerance marked, and the sort and the
// selection kept when another evaluation of the file takes its place.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sweep/evaluation.h"

namespace quillet::sweepwin {

class PointList {
public:
    PointList(HINSTANCE instance, HWND parent, int id);
    HWND Handle() const { return window_; }

    void SetEvaluation(std::shared_ptr<const sweep::Evaluation> evaluation);
    // By a column (a sweep::TableColumn) rising or falling; -1 is the
    // file's order.
    void SortBy(int column, bool ascending);
    int SortColumn() const { return sortColumn_; }

    std::size_t Rows() const;
    std::size_t PointIndex(std::size_t row) const;
    // The selected points in the order of their rows.
    std::vector<std::size_t> SelectedPoints() const;
    std::optional<std::size_t> CurrentRow() const;
    void SelectAll();
    void FitColumns(UINT dpi);

    // The list's notifications, from its parent's WM_NOTIFY; nothing for
    // those it leaves alone.
    std::optional<LRESULT> Notify(NMHDR& header);

    // A row chosen with Enter or a double click.
    std::function<void(const sweep::EvaluatedPoint& point)> Activated;

private:
    // Changes the rows while the same points stay selected and current.
    void KeepingSelection(const std::function<void()>& change);
    std::size_t RowOf(std::size_t pointIndex, const std::vector<std::uint32_t>& rowOfPoint) const;
    const sweep::EvaluatedPoint& PointAt(std::size_t row) const;
    LRESULT CustomDraw(NMHDR& header) const;
    void ShowSortArrow() const;
    void Activate(std::optional<std::size_t> row) const;
    // The tip of the cell under the pointer, asked for as it shows; moving
    // to another cell takes the shown tip away.
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    void PointerAt(POINT at);
    const wchar_t* TipText();

    HWND window_ = nullptr;
    HWND tips_ = nullptr;
    int tipRow_ = -1, tipColumn_ = -1;
    std::wstring tipText_;
    std::shared_ptr<const sweep::Evaluation> evaluation_;
    // Row -> point index; empty while the table is in file order.
    std::vector<std::uint32_t> order_;
    int sortColumn_ = -1;
    bool ascending_ = true;
    // The row last made, asked for once per column when drawn.
    mutable std::optional<std::size_t> cachedRow_;
    mutable std::optional<sweep::EvaluatedPoint> cachedPoint_;
    mutable std::vector<std::wstring> cachedCells_;
};

}  // namespace quillet::sweepwin
