#include "apps/quillet-win32/record_verification.h"

#include <exception>
#include <optional>
#include <string>

#include "records/register_rows.h"
#include "records/verification_register.h"
#include "registerwin/network_dialog.h"
#include "registerwin/record_dialog.h"
#include "sweepwin/export_dialog.h"
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

void RecordFromSweepWindow(const sweepwin::SweepWindow& window, registerwin::RegisterWindow& registerWindow) {
    if (!window.Result())
        return;
    const SweepOnShow shown{window.Handle(), window.Path(), window.EvaluatedSha256(),
                            window.Result()->evaluation->anType};
    records::VerificationRegister* register_ = registerWindow.Register();
    if (register_ == nullptr) {
        ::MessageBoxW(registerWindow.Handle(), win32::Wide(records::OpenARegisterToRecordText()).c_str(), L"Quillet",
                      MB_OK | MB_ICONINFORMATION);
        return;
    }
    try {
        registerwin::RecordVerification(shown.window, *register_, shown.measurement, shown.evaluatedSha256,
                                        shown.anType, registerwin::AddNetworkWithDialog);
    } catch (const std::exception& error) {
        sweepwin::ShowWarning(shown.window, error.what());
    }
    registerWindow.Refresh();
}

}  // namespace quillet::app
