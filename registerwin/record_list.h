// A list view of the register's rows: whole rows selected, sorted by the
// text of the heading clicked (a second click reverses it), a row shaded or
// greyed as its record asks, and a row's own tip.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quillet::registerwin {

struct ListRow {
    std::vector<std::string> texts;  // one per column
    bool shaded = false;             // overdue
    bool greyed = false;             // withdrawn
    std::string tip;                 // why it is greyed, say
    std::int64_t key = 0;            // the record it shows
};

class RecordList {
public:
    // name: what screen readers call the list.
    RecordList(HINSTANCE instance, HWND parent, int id, const wchar_t* name, std::span<const std::string> headings);
    HWND Handle() const { return window_; }

    // In this order until a heading is clicked, then in that column's.
    // Nothing is selected afterwards.
    void SetRows(std::vector<ListRow> rows);
    void SortBy(int column, bool ascending);
    int SortColumn() const { return sortColumn_; }

    std::size_t Count() const { return rows_.size(); }
    // The rows as shown, top first.
    std::vector<const ListRow*> Shown() const;
    const ListRow* Selected() const;
    // The tip the row shown there gives (its own, such as why it is
    // greyed); empty for none.
    std::string TipOf(std::size_t shown) const;
    // The row showing this record selected and in view; false when none does.
    bool SelectKey(std::int64_t key);
    bool SelectText(std::size_t column, const std::string& text);
    // padding: pixels at the list's DPI beside a cell's text.
    void FitColumns(int padding);

    // The list's notifications, from its parent's WM_NOTIFY; nothing for
    // another control's.
    std::optional<LRESULT> Notify(NMHDR& header);

    std::function<void()> SelectionChanged;
    // Enter or a double click on a row.
    std::function<void()> Activated;

private:
    void Fill();
    void SelectShown(int item);
    LRESULT CustomDraw(NMHDR& header) const;
    // The tip of the row under the pointer, asked for as it shows; moving
    // to another row takes the shown tip away.
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    void PointerAt(POINT at);

    HWND window_ = nullptr;
    HWND tips_ = nullptr;
    int tipRow_ = -1;
    std::wstring tipText_;
    std::size_t columns_ = 0;
    std::vector<std::string> headings_;
    std::vector<ListRow> rows_;
    std::vector<std::size_t> order_;  // shown row -> index into rows_
    int sortColumn_ = -1;
    bool ascending_ = true;
    bool filling_ = false;
};

}  // namespace quillet::registerwin
