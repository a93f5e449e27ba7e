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

namespace {

// What the dialog needs of the sweep window, copied: the window may go
// while the dialog is open.
struct SweepOnShow {
    HWND window;
    std::string measurement;
    std::optional<std::string> evaluatedSha256;
    std::int16_t anType;
};

}  // namespace

void RecordFromSweepWindow(const sweepwin::SweepWindow& window) {
    if (!window.Result())
        return;
    const SweepOnShow shown{window.Handle(), window.Path(), window.EvaluatedSha256(),
                            window.Result()->evaluation->anType};
    try {
        const std::string remembered = sweepwin::RegisterFile();
        records::VerificationRegister register_(remembered.empty() ? records::DefaultRegisterPath() : remembered,
                                                records::OpenFor::Writing);
        sweepwin::SetRegisterFile(register_.path());
        registerwin::RecordVerification(shown.window, register_, shown.measurement, shown.evaluatedSha256,
                                        shown.anType);
    } catch (const std::exception& error) {
        sweepwin::ShowWarning(shown.window, error.what());
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
