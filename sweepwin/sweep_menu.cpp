#include "sweepwin/sweep_menu.h"

#include <iterator>

namespace quillet::sweepwin {

HMENU MakeSweepMenu() {
    HMENU file = ::CreatePopupMenu();
    ::AppendMenuW(file, MF_STRING, kOpenCommand, L"&Open\u2026\tCtrl+O");
    ::AppendMenuW(file, MF_STRING, kReloadCommand, L"Re&load\tF5");
    ::AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(file, MF_STRING | MF_GRAYED, kExportReportCommand, L"Export r&eport\u2026");
    ::AppendMenuW(file, MF_STRING | MF_GRAYED, kExportPlotCommand, L"Export &plot\u2026");
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

HACCEL MakeSweepAccelerators() {
    ACCEL keys[] = {
        {FCONTROL | FVIRTKEY, 'O', kOpenCommand},      {FVIRTKEY, VK_F5, kReloadCommand},
        {FCONTROL | FVIRTKEY, 'W', kCloseCommand},     {FCONTROL | FVIRTKEY, 'C', kCopyCommand},
        {FCONTROL | FVIRTKEY, 'A', kSelectAllCommand},
    };
    return ::CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
}

}  // namespace quillet::sweepwin
