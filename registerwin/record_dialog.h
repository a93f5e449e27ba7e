// Recording a measured sweep as a verification of one network, on plain
// Win32 controls: the conditions asked for, every field checked before
// anything is written, then the file's bytes, its name and their results
// in one write, and the offer to save the record as PDF. Modal over its
// owner; every control is reached by Tab or its label's access key.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "records/verification_register.h"

namespace quillet::registerwin {

// Adds a network to the register, asking for it over owner; the serial
// added, none when the user gave up.
using AddNetworkFunction = std::function<std::optional<std::string>(HWND owner, records::VerificationRegister&)>;

// The class name of the dialog's window, and its controls' ids, for tests
// that find them.
inline constexpr wchar_t kRecordDialogClass[] = L"QuilletRecordDialog";
enum RecordDialogControl : int {
    kNetworkControl = 200,
    kAddNetworkControl,
    kDateControl,
    kOperatorControl,
    kInstrumentControl,
    kCalibrationDueControl,
    kLineControl,
    kTerminalsControl,
    kFixtureControl,
    kUncertaintyMagnitudeControl,
    kUncertaintyPhaseControl,
    kCoverageFactorControl,
    kCorrectsControl,
    kTypeNoteControl,
    kProblemsControl,
};

// The dialog alone. measurement: the file on show (UTF-8); evaluatedSha256:
// the fingerprint of the bytes its sweep was evaluated from, none when not
// known for certain; shownAnType: the type it is on show for. Without
// addNetwork there is no "Add network…" button. The number recorded; none
// when the user cancelled.
std::optional<std::int64_t> AskVerification(HWND owner, records::VerificationRegister& register_,
                                            const std::string& measurement,
                                            const std::optional<std::string>& evaluatedSha256, std::int16_t shownAnType,
                                            const AddNetworkFunction& addNetwork = {});

// The record of verification id as PDF in file (UTF-8), never over the
// register or the measurement. Throws std::runtime_error naming the file,
// or records::RegisterError.
void SaveRecordPdf(records::VerificationRegister& register_, const std::string& measurement, std::int64_t id,
                   const std::string& file);

// The dialog, then the offer to save the record as PDF; what goes wrong
// with the PDF is told over owner. The number recorded; none when the user
// cancelled.
std::optional<std::int64_t> RecordVerification(HWND owner, records::VerificationRegister& register_,
                                               const std::string& measurement,
                                               const std::optional<std::string>& evaluatedSha256,
                                               std::int16_t shownAnType, const AddNetworkFunction& addNetwork = {});

}  // namespace quillet::registerwin
