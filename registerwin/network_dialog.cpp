#include "registerwin/network_dialog.h"

#include <charconv>

#include "engine/an_types.h"
#include "records/entry_checks.h"
#include "registerwin/form_dialog.h"

namespace quillet::registerwin {
namespace {

std::vector<FormField> NetworkFields() {
    FormField anType{"AN &type:", FormField::Choice, "0", {}, ""};
    for (const AnTypeInfo& type : kAnTypes)
        anType.choices.emplace_back(type.caption);
    return {
        {"&Maker:", FormField::Text, "", {}, ""},
        {"M&odel:", FormField::Text, "", {}, ""},
        {"&Serial number:", FormField::Text, "", {}, ""},
        anType,
        {"&Lines:", FormField::Text, "", {}, "L1,N"},
        {"Verification &interval (days):", FormField::Digits, "365", {}, ""},
        {"&Notes:", FormField::Text, "", {}, ""},
    };
}

// Digits only, as the field takes them; 0 (which the checks refuse) for
// anything else.
std::int64_t Days(const std::string& text) {
    std::int64_t days = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), days);
    return error == std::errc() && end == text.data() + text.size() ? days : 0;
}

}  // namespace

std::optional<std::string> AddNetworkWithDialog(HWND owner, records::VerificationRegister& register_) {
    std::optional<std::string> added;
    const auto check = [&](const FormValues& values) -> std::vector<std::string> {
        records::NewNetwork network;
        network.maker = values[kMakerField];
        network.model = values[kModelField];
        network.serial = values[kSerialField];
        network.anType = static_cast<std::int16_t>(Days(values[kAnTypeField]) + 1);
        network.lines = values[kLinesField];
        network.intervalDays = Days(values[kIntervalField]);
        network.notes = values[kNotesField];
        try {
            std::vector<std::string> problems = records::NetworkProblems(network, register_.Networks());
            if (network.intervalDays > records::kLongestIntervalDays)
                problems.push_back("The verification interval must be at most " +
                                   std::to_string(records::kLongestIntervalDays) + " days.");
            if (!problems.empty())
                return problems;
            register_.AddNetwork(network);
        } catch (const records::RegisterError& error) {
            return {error.what()};
        }
        added = network.serial;
        return {};
    };
    RunForm(owner, "Add network", "", NetworkFields(), "OK", check);
    return added;
}

}  // namespace quillet::registerwin
