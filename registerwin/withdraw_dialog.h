// Withdrawing a verification on plain Win32 controls: why, and by whom.
// The record stays in the register, marked; nothing is deleted.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>

#include "records/verification_register.h"

namespace quillet::registerwin {

enum WithdrawField { kReasonField, kByField };

// True once withdrawn; false when the user gave up. Modal over owner.
bool WithdrawWithDialog(HWND owner, records::VerificationRegister& register_, std::int64_t verification);

}  // namespace quillet::registerwin
