#include "registerwin/withdraw_dialog.h"

#include <string>
#include <vector>

#include "registerwin/form_dialog.h"

namespace quillet::registerwin {

bool WithdrawWithDialog(HWND owner, records::VerificationRegister& register_, std::int64_t verification) {
    const auto check = [&](const FormValues& values) -> std::vector<std::string> {
        std::vector<std::string> problems;
        if (values[kReasonField].empty())
            problems.push_back("Say why the verification is withdrawn.");
        if (values[kByField].empty())
            problems.push_back("Say who withdraws it.");
        if (!problems.empty())
            return problems;
        try {
            register_.Withdraw({verification, values[kReasonField], values[kByField]});
        } catch (const records::RegisterError& error) {
            return {error.what()};
        }
        return {};
    };
    return RunForm(owner, "Withdraw verification " + std::to_string(verification),
                   "The verification stays in the register, marked as withdrawn; it cannot be undone.",
                   {{"&Reason:", FormField::Text, "", {}, ""}, {"&By:", FormField::Text, "", {}, ""}}, "&Withdraw",
                   check);
}

}  // namespace quillet::registerwin
