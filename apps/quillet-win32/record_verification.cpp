#include "apps/quillet-win32/record_verification.h"

#include <exception>
#include <optional>
#include <string>

#include "records/register_path.h"
#include "records/verification_register.h"
#include "registerwin/record_dialog.h"
#include "sweepwin/export_dialog.h"
#include "sweepwin/sweep_settings.h"
#include "win32/wide_text.h"

namespace quillet::app {

void RecordFromSweepWindow(const sweepwin::SweepWindow& window) {
    if (!window.Result())
        return;
    // Copied: the window may go while the dialog is open.
    const HWND owner = window.Handle();
    const std::string measurement = window.Path();
    const std::optional<std::string> sha256 = window.EvaluatedSha256();
    const std::int16_t anType = window.Result()->evaluation->anType;
    try {
        const std::string remembered = sweepwin::RegisterFile();
        records::VerificationRegister register_(remembered.empty() ? records::DefaultRegisterPath() : remembered,
                                                records::OpenFor::Writing);
        sweepwin::SetRegisterFile(register_.path());
        registerwin::RecordVerification(owner, register_, measurement, sha256, anType);
    } catch (const std::exception& error) {
        sweepwin::ShowWarning(owner, error.what());
    }
}

void ShowRegisterWindow(HWND owner) {
    const std::string remembered = sweepwin::RegisterFile();
    const std::string text =
        "The verification register's window is coming in a later version. Record "
        "verification\u2026 records in " +
        (remembered.empty() ? std::string("the usual register") : remembered) + ".";
    ::MessageBoxW(owner, win32::Wide(text).c_str(), L"Quillet", MB_OK | MB_ICONINFORMATION);
}

}  // namespace quillet::app
