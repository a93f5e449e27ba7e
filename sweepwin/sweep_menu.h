// The sweep window's commands: the menu bar with its access keys and the
// keys beside its entries.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <vector>

namespace quillet::sweepwin {

enum Command : WORD {
    kCancelCommand = IDCANCEL,  // Esc and the Cancel button
    kOpenCommand = 100,
    kReloadCommand,
    kExportReportCommand,
    kExportPlotCommand,
    kExportImpedancePlotCommand,
    kCloseCommand,
    kCopyCommand,
    kSelectAllCommand,
    kResetZoomCommand,
    kDeviationTabCommand,  // Alt+D and Alt+I, the plot tabs' access keys
    kImpedanceTabCommand,
    kRecordVerificationCommand,
    kRegisterCommand,
    kRecentCommand,  // + the entry's index, up to kRecentFiles of them
};

// File, Edit and View; the exports, Record verification and Reset zoom
// start greyed.
HMENU MakeSweepMenu();
// File > Open recent, filled when it opens.
HMENU RecentMenu(HMENU bar);
// Its entries, "&1 name" and so on, or a grey "(none yet)".
void FillRecentMenu(HMENU menu, const std::vector<std::string>& files);
HACCEL MakeSweepAccelerators();

}  // namespace quillet::sweepwin
