#include "sweepwin/point_list.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <utility>

#include "sweep/point_order.h"
#include "sweep/report.h"
#include "sweepcore/point_tips.h"
#include "win32/wide_text.h"

namespace quillet::sweepwin {
namespace {

// Light enough that the text keeps its contrast in any colour scheme.
constexpr COLORREF kOutsideTolerance = RGB(0xFF, 0xD6, 0xD6);
constexpr std::size_t kRowsMeasured = 200;  // enough to size the columns, few enough to be quick

}  // namespace

PointList::PointList(HINSTANCE instance, HWND parent, int id) {
    window_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"Points",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0,
                                0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (window_ == nullptr)
        throw std::runtime_error("cannot create the table of points");
    ListView_SetExtendedListViewStyle(window_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    const std::vector<std::string>& header = sweep::TableHeader();
    for (std::size_t i = 0; i < header.size(); ++i) {
        std::wstring title = win32::Wide(header[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
        column.fmt = static_cast<int>(i) == sweep::kToleranceColumn ? LVCFMT_LEFT : LVCFMT_RIGHT;
        column.cx = 80;
        column.pszText = title.data();
        ListView_InsertColumn(window_, static_cast<int>(i), &column);
    }
    tips_ = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0, parent,
                              nullptr, instance, nullptr);
    if (tips_ != nullptr) {
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(window_);
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        ::SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        ::SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, 400);
        ::SetWindowSubclass(window_, ListProc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
}

LRESULT CALLBACK PointList::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self) {
    auto* list = reinterpret_cast<PointList*>(self);
    switch (message) {
    case WM_MOUSEMOVE: list->PointerAt({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}); break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == list->tips_ && header->code == TTN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            info->lpszText = const_cast<wchar_t*>(list->TipText());
            return 0;
        }
        break;
    }
    case WM_NCDESTROY: ::RemoveWindowSubclass(hwnd, ListProc, id); break;
    default: break;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

void PointList::PointerAt(POINT at) {
    LVHITTESTINFO hit{};
    hit.pt = at;
    const int row = ListView_SubItemHitTest(window_, &hit);
    const int column = row >= 0 ? hit.iSubItem : -1;
    if (row == tipRow_ && column == tipColumn_)
        return;
    tipRow_ = row;
    tipColumn_ = column;
    ::SendMessageW(tips_, TTM_POP, 0, 0);
}

const wchar_t* PointList::TipText() {
    tipText_.clear();
    if (evaluation_ && tipRow_ >= 0 && static_cast<std::size_t>(tipRow_) < Rows())
        tipText_ = win32::Wide(sweepcore::PointCellTip(PointAt(static_cast<std::size_t>(tipRow_)), tipColumn_));
    return tipText_.c_str();
}

std::size_t PointList::Rows() const { return evaluation_ ? evaluation_->points.size() : 0; }

std::size_t PointList::PointIndex(std::size_t row) const { return order_.empty() ? row : order_.at(row); }

const sweep::EvaluatedPoint& PointList::PointAt(std::size_t row) const {
    if (cachedRow_ != row || !cachedPoint_) {
        cachedPoint_ = evaluation_->points.at(PointIndex(row));
        cachedCells_.clear();
        for (const std::string& cell : sweep::TableCells(*cachedPoint_))
            cachedCells_.push_back(win32::Wide(cell));
        cachedRow_ = row;
    }
    return *cachedPoint_;
}

void PointList::SetEvaluation(std::shared_ptr<const sweep::Evaluation> evaluation) {
    KeepingSelection([this, &evaluation] {
        evaluation_ = std::move(evaluation);
        const bool sortable = sortColumn_ >= 0 && sortColumn_ < static_cast<int>(sweep::TableHeader().size());
        order_ =
            sortable ? sweep::SortedOrder(evaluation_->points, sortColumn_, ascending_) : std::vector<std::uint32_t>{};
    });
}

void PointList::SortBy(int column, bool ascending) {
    if (!evaluation_)
        return;
    KeepingSelection([this, column, ascending] {
        sortColumn_ = column;
        ascending_ = ascending;
        order_ = sweep::SortedOrder(evaluation_->points, column, ascending);
    });
    ShowSortArrow();
}

std::vector<std::size_t> PointList::SelectedPoints() const {
    std::vector<std::size_t> points;
    if (static_cast<std::size_t>(ListView_GetSelectedCount(window_)) == Rows()) {
        points.reserve(Rows());
        for (std::size_t row = 0; row < Rows(); ++row)
            points.push_back(PointIndex(row));
        return points;
    }
    for (int row = ListView_GetNextItem(window_, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(window_, row, LVNI_SELECTED))
        points.push_back(PointIndex(static_cast<std::size_t>(row)));
    return points;
}

std::optional<std::size_t> PointList::CurrentRow() const {
    const int row = ListView_GetNextItem(window_, -1, LVNI_FOCUSED);
    if (row < 0 || static_cast<std::size_t>(row) >= Rows())
        return std::nullopt;
    return static_cast<std::size_t>(row);
}

void PointList::SelectAll() { ListView_SetItemState(window_, -1, LVIS_SELECTED, LVIS_SELECTED); }

std::size_t PointList::RowOf(std::size_t pointIndex, const std::vector<std::uint32_t>& rowOfPoint) const {
    return rowOfPoint.empty() ? pointIndex : rowOfPoint[pointIndex];
}

void PointList::KeepingSelection(const std::function<void()>& change) {
    const bool all = Rows() > 0 && static_cast<std::size_t>(ListView_GetSelectedCount(window_)) == Rows();
    const std::vector<std::size_t> selected = all ? std::vector<std::size_t>{} : SelectedPoints();
    const std::optional<std::size_t> currentRow = CurrentRow();
    constexpr std::size_t kNoPoint = SIZE_MAX;
    const std::size_t current = currentRow ? PointIndex(*currentRow) : kNoPoint;

    change();
    cachedRow_.reset();
    const std::size_t rows = Rows();
    ListView_SetItemCountEx(window_, static_cast<int>(rows), LVSICF_NOSCROLL);
    ListView_SetItemState(window_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    // Where each point now is, worked out once for all of them.
    std::vector<std::uint32_t> rowOfPoint;
    if (!order_.empty() && (!selected.empty() || current != kNoPoint)) {
        rowOfPoint.resize(order_.size());
        for (std::size_t row = 0; row < order_.size(); ++row)
            rowOfPoint[order_[row]] = static_cast<std::uint32_t>(row);
    }
    if (all && rows > 0)
        SelectAll();
    for (std::size_t point : selected) {
        if (point < rows)
            ListView_SetItemState(window_, static_cast<int>(RowOf(point, rowOfPoint)), LVIS_SELECTED, LVIS_SELECTED);
    }
    if (current < rows) {
        const int row = static_cast<int>(RowOf(current, rowOfPoint));
        ListView_SetItemState(window_, row, LVIS_FOCUSED, LVIS_FOCUSED);
        ListView_EnsureVisible(window_, row, FALSE);
    }
    ::InvalidateRect(window_, nullptr, FALSE);
}

void PointList::ShowSortArrow() const {
    HWND header = ListView_GetHeader(window_);
    const int columns = Header_GetItemCount(header);
    for (int i = 0; i < columns; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, i, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == sortColumn_)
            item.fmt |= ascending_ ? HDF_SORTUP : HDF_SORTDOWN;
        Header_SetItem(header, i, &item);
    }
}

void PointList::FitColumns(UINT dpi) {
    const std::vector<std::string>& header = sweep::TableHeader();
    const int padding = ::MulDiv(16, static_cast<int>(dpi), 96);
    for (std::size_t column = 0; column < header.size(); ++column) {
        int width = ListView_GetStringWidth(window_, win32::Wide(header[column]).c_str());
        for (std::size_t row = 0; row < std::min(Rows(), kRowsMeasured); ++row) {
            PointAt(row);
            width = std::max(width, ListView_GetStringWidth(window_, cachedCells_.at(column).c_str()));
        }
        ListView_SetColumnWidth(window_, static_cast<int>(column), width + padding);
    }
}

void PointList::Activate(std::optional<std::size_t> row) const {
    if (row && *row < Rows() && Activated)
        Activated(PointAt(*row));
}

LRESULT PointList::CustomDraw(NMHDR& header) const {
    auto& draw = reinterpret_cast<NMLVCUSTOMDRAW&>(header);
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        const auto row = static_cast<std::size_t>(draw.nmcd.dwItemSpec);
        if (row < Rows() && !PointAt(row).withinTolerance) {
            draw.clrTextBk = kOutsideTolerance;
            draw.clrText = RGB(0, 0, 0);
            return CDRF_NEWFONT;
        }
        return CDRF_DODEFAULT;
    }
    default: return CDRF_DODEFAULT;
    }
}

std::optional<LRESULT> PointList::Notify(NMHDR& header) {
    if (header.hwndFrom != window_)
        return std::nullopt;
    switch (header.code) {
    case LVN_GETDISPINFOW: {
        // The list asks with the item it passes; its text goes into the
        // list's own buffer.
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
        const auto row = static_cast<std::size_t>(item.iItem);
        if ((item.mask & LVIF_TEXT) != 0 && item.iItem >= 0 && row < Rows() && item.cchTextMax > 0) {
            PointAt(row);
            const auto column = static_cast<std::size_t>(item.iSubItem);
            ::lstrcpynW(item.pszText, column < cachedCells_.size() ? cachedCells_[column].c_str() : L"",
                        item.cchTextMax);
        }
        return 0;
    }
    case NM_CUSTOMDRAW: return CustomDraw(header);
    case LVN_COLUMNCLICK: {
        const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
        SortBy(column, column != sortColumn_ || !ascending_);
        return 0;
    }
    case LVN_ODFINDITEMW: return -1;  // no search by typing: the rows are numbers
    case NM_DBLCLK: {
        const int row = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
        if (row >= 0)
            Activate(static_cast<std::size_t>(row));
        return 0;
    }
    case NM_RETURN: Activate(CurrentRow()); return 0;
    default: return std::nullopt;
    }
}

}  // namespace quillet::sweepwin
