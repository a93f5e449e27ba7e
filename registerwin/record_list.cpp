#include "registerwin/record_list.h"

#include <commctrl.h>

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <utility>

#include "win32/wide_text.h"

namespace quillet::registerwin {
namespace {

// Light enough that the text keeps its contrast in any colour scheme.
constexpr COLORREF kOverdueShade = RGB(255, 214, 170);

}  // namespace

RecordList::RecordList(HINSTANCE instance, HWND parent, int id, const wchar_t* name,
                       std::span<const std::string> headings)
    : columns_(headings.size()), headings_(headings.begin(), headings.end()) {
    window_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, name,
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0,
                                0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (window_ == nullptr)
        throw std::runtime_error("cannot create the register's lists");
    ListView_SetExtendedListViewStyle(window_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    for (std::size_t i = 0; i < headings.size(); ++i) {
        std::wstring title = win32::Wide(headings[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 90;
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

LRESULT CALLBACK RecordList::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self) {
    auto* list = reinterpret_cast<RecordList*>(self);
    switch (message) {
    case WM_MOUSEMOVE: list->PointerAt({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}); break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == list->tips_ && header->code == TTN_GETDISPINFOW) {
            list->tipText_ =
                list->tipRow_ >= 0 ? win32::Wide(list->TipOf(static_cast<std::size_t>(list->tipRow_))) : std::wstring();
            reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText = list->tipText_.data();
            return 0;
        }
        break;
    }
    case WM_NCDESTROY: ::RemoveWindowSubclass(hwnd, ListProc, id); break;
    default: break;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

void RecordList::PointerAt(POINT at) {
    LVHITTESTINFO hit{};
    hit.pt = at;
    const int row = ListView_SubItemHitTest(window_, &hit);
    if (row == tipRow_)
        return;
    tipRow_ = row;
    ::SendMessageW(tips_, TTM_POP, 0, 0);
}

std::string RecordList::TipOf(std::size_t shown) const {
    return shown < order_.size() ? rows_[order_[shown]].tip : std::string();
}

void RecordList::SetRows(std::vector<ListRow> rows) {
    rows_ = std::move(rows);
    order_.resize(rows_.size());
    std::iota(order_.begin(), order_.end(), std::size_t{0});
    if (sortColumn_ >= 0) {
        SortBy(sortColumn_, ascending_);
        return;
    }
    Fill();
}

// By the column's text, as the Qt lists sort; equal texts keep their order.
void RecordList::SortBy(int column, bool ascending) {
    if (column < 0 || static_cast<std::size_t>(column) >= columns_)
        return;
    const ListRow* selected = Selected();
    sortColumn_ = column;
    ascending_ = ascending;
    const auto index = static_cast<std::size_t>(column);
    std::iota(order_.begin(), order_.end(), std::size_t{0});
    std::stable_sort(order_.begin(), order_.end(), [this, index, ascending](std::size_t a, std::size_t b) {
        const std::string& left = rows_[a].texts[index];
        const std::string& right = rows_[b].texts[index];
        return ascending ? left < right : right < left;
    });
    Fill();
    HWND header = ListView_GetHeader(window_);
    for (int i = 0; i < static_cast<int>(columns_); ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, i, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column)
            item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
        Header_SetItem(header, i, &item);
    }
    if (selected != nullptr)
        SelectKey(selected->key);
}

void RecordList::Fill() {
    filling_ = true;
    ::SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(window_);
    for (std::size_t shown = 0; shown < order_.size(); ++shown) {
        const ListRow& row = rows_[order_[shown]];
        for (std::size_t column = 0; column < columns_; ++column) {
            std::wstring text = win32::Wide(column < row.texts.size() ? row.texts[column] : std::string());
            LVITEMW item{};
            item.mask = LVIF_TEXT | (column == 0 ? LVIF_PARAM : 0U);
            item.iItem = static_cast<int>(shown);
            item.iSubItem = static_cast<int>(column);
            item.pszText = text.data();
            item.lParam = static_cast<LPARAM>(order_[shown]);
            if (column == 0)
                ListView_InsertItem(window_, &item);
            else
                ListView_SetItem(window_, &item);
        }
    }
    ::SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(window_, nullptr, TRUE);
    filling_ = false;
}

std::vector<const ListRow*> RecordList::Shown() const {
    std::vector<const ListRow*> shown;
    for (std::size_t index : order_)
        shown.push_back(&rows_[index]);
    return shown;
}

const ListRow* RecordList::Selected() const {
    const int item = ListView_GetNextItem(window_, -1, LVNI_SELECTED);
    if (item < 0 || static_cast<std::size_t>(item) >= order_.size())
        return nullptr;
    return &rows_[order_[static_cast<std::size_t>(item)]];
}

void RecordList::SelectShown(int item) {
    ListView_SetItemState(window_, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(window_, item, FALSE);
}

bool RecordList::SelectKey(std::int64_t key) {
    for (std::size_t shown = 0; shown < order_.size(); ++shown) {
        if (rows_[order_[shown]].key == key) {
            SelectShown(static_cast<int>(shown));
            return true;
        }
    }
    return false;
}

bool RecordList::SelectText(std::size_t column, const std::string& text) {
    for (std::size_t shown = 0; shown < order_.size(); ++shown) {
        const ListRow& row = rows_[order_[shown]];
        if (column < row.texts.size() && row.texts[column] == text) {
            SelectShown(static_cast<int>(shown));
            return true;
        }
    }
    return false;
}

// Wide enough for the heading and every row, measured in the list's own
// font, with the room the list leaves around a cell's text.
void RecordList::FitColumns(int padding) {
    for (std::size_t column = 0; column < columns_; ++column) {
        int width = ListView_GetStringWidth(window_, win32::Wide(headings_[column]).c_str());
        for (const ListRow& row : rows_) {
            if (column < row.texts.size())
                width = std::max(width, ListView_GetStringWidth(window_, win32::Wide(row.texts[column]).c_str()));
        }
        ListView_SetColumnWidth(window_, static_cast<int>(column), width + padding);
    }
}

LRESULT RecordList::CustomDraw(NMHDR& header) const {
    auto& draw = reinterpret_cast<NMLVCUSTOMDRAW&>(header);
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT)
        return CDRF_DODEFAULT;
    const auto index = static_cast<std::size_t>(draw.nmcd.lItemlParam);
    if (index >= rows_.size())
        return CDRF_DODEFAULT;
    const ListRow& row = rows_[index];
    if (row.shaded)
        draw.clrTextBk = kOverdueShade;
    if (row.greyed)
        draw.clrText = ::GetSysColor(COLOR_GRAYTEXT);
    return CDRF_NEWFONT;
}

std::optional<LRESULT> RecordList::Notify(NMHDR& header) {
    if (header.hwndFrom != window_)
        return std::nullopt;
    switch (header.code) {
    case NM_CUSTOMDRAW: return CustomDraw(header);
    case LVN_COLUMNCLICK: {
        const int column = reinterpret_cast<NMLISTVIEW&>(header).iSubItem;
        SortBy(column, column == sortColumn_ ? !ascending_ : true);
        return 0;
    }
    case LVN_ITEMCHANGED: {
        const auto& change = reinterpret_cast<NMLISTVIEW&>(header);
        if (!filling_ && (change.uChanged & LVIF_STATE) != 0 &&
            ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) != 0 && SelectionChanged)
            SelectionChanged();
        return 0;
    }
    case LVN_ITEMACTIVATE:
        if (Activated)
            Activated();
        return 0;
    default: return std::nullopt;
    }
}

}  // namespace quillet::registerwin
