// The register window's commands: the menu bar with its access keys and
// the keys beside its entries.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace quillet::registerwin {

enum Command : WORD {
    kNewRegisterCommand = 100,
    kOpenRegisterCommand,
    kBackupCommand,
    kCloseCommand,
    kAddNetworkCommand,
    kPrintHistoryCommand,
    kOpenMeasurementCommand,
    kPrintRecordCommand,
    kWithdrawCommand,
};

// Register, Network and Verification.
HMENU MakeRegisterMenu();
HACCEL MakeRegisterAccelerators();

}  // namespace quillet::registerwin
