#include "sweepwin/sweep_menu.h"

#include <iterator>

#include "win32/wide_text.h"

namespace quillet::sweepwin {

HMENU MakeSweepMenu() {
    HMENU file = ::CreatePopupMenu();
    ::AppendMenuW(file, MF_STRING, kOpenCommand, L"&Open\u2026\tCtrl+O");
    ::AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(::CreatePopupMenu()), L"Open &recent");
    ::AppendMenuW(file, MF_STRING, kReloadCommand, L"Re&load\tF5");
    ::AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(file, MF_STRING | MF_GRAYED, kExportReportCommand, L"Export r&eport\u2026");
    ::AppendMenuW(file, MF_STRING | MF_GRAYED, kExportPlotCommand, L"Export &plot\u2026");
    ::AppendMenuW(file, MF_STRING | MF_GRAYED, kExportImpedancePlotCommand, L"Export &impedance plot\u2026");
    ::AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(file, MF_STRING | MF_GRAYED, kRecordVerificationCommand, L"Record &verification\u2026");
    ::AppendMenuW(file, MF_STRING, kRegisterCommand, L"Verification re&gister\u2026");
    ::AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(file, MF_STRING, kCloseCommand, L"&Close\tCtrl+W");
    HMENU edit = ::CreatePopupMenu();
    ::AppendMenuW(edit, MF_STRING, kCopyCommand, L"&Copy\tCtrl+C");
    ::AppendMenuW(edit, MF_STRING, kSelectAllCommand, L"Select &all\tCtrl+A");
    HMENU view = ::CreatePopupMenu();
    ::AppendMenuW(view, MF_STRING | MF_GRAYED, kResetZoomCommand, L"Reset &zoom");
    HMENU bar = ::CreateMenu();
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"&Edit");
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"&View");
    return bar;
}

HMENU RecentMenu(HMENU bar) { return ::GetSubMenu(::GetSubMenu(bar, 0), 1); }

void FillRecentMenu(HMENU menu, const std::vector<std::string>& files) {
    while (::GetMenuItemCount(menu) > 0)
        ::DeleteMenu(menu, 0, MF_BYPOSITION);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::size_t slash = files[i].find_last_of("\\/");
        std::wstring entry = L"&" + std::to_wstring(i + 1) + L" ";
        // An ampersand in the name is a letter, not an access key.
        for (wchar_t c : win32::Wide(slash == std::string::npos ? files[i] : files[i].substr(slash + 1)))
            entry += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
        ::AppendMenuW(menu, MF_STRING, kRecentCommand + i, entry.c_str());
    }
    if (files.empty())
        ::AppendMenuW(menu, MF_STRING | MF_GRAYED, 0, L"(none yet)");
}

HACCEL MakeSweepAccelerators() {
    ACCEL keys[] = {
        {FCONTROL | FVIRTKEY, 'O', kOpenCommand},      {FVIRTKEY, VK_F5, kReloadCommand},
        {FCONTROL | FVIRTKEY, 'W', kCloseCommand},     {FCONTROL | FVIRTKEY, 'C', kCopyCommand},
        {FCONTROL | FVIRTKEY, 'A', kSelectAllCommand}, {FALT | FVIRTKEY, 'D', kDeviationTabCommand},
        {FALT | FVIRTKEY, 'I', kImpedanceTabCommand},
    };
    return ::CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
}

}  // namespace quillet::sweepwin
