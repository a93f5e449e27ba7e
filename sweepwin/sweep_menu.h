// The sweep window's commands: the menu bar with its access keys and the
// keys beside its entries.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace quillet::sweepwin {

enum Command : WORD {
    kCancelCommand = IDCANCEL,  // Esc and the Cancel button
    kOpenCommand = 100,
    kReloadCommand,
    kExportReportCommand,
    kExportPlotCommand,
    kCloseCommand,
    kCopyCommand,
    kSelectAllCommand,
    kResetZoomCommand,
};

// File, Edit and View; the exports and Reset zoom start greyed.
HMENU MakeSweepMenu();
HACCEL MakeSweepAccelerators();

}  // namespace quillet::sweepwin
