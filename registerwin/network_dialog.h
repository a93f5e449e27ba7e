// Adding a network to the register on plain Win32 controls: every field,
// checked before it is written, the faults shown in the dialog, which
// stays open with what was typed.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <optional>
#include <string>

#include "records/verification_register.h"

namespace quillet::registerwin {

// The fields in the order the dialog shows them, for tests that fill it.
enum NetworkField { kMakerField, kModelField, kSerialField, kAnTypeField, kLinesField, kIntervalField, kNotesField };

// The serial added; nothing when the user gave up. Modal over owner.
std::optional<std::string> AddNetworkWithDialog(HWND owner, records::VerificationRegister& register_);

}  // namespace quillet::registerwin
