#include "records/verification_entry.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>

#include "files/sha256.h"
#include "records/dates.h"
#include "records/entry_checks.h"
#include "records/results.h"

namespace quillet::records {
namespace {

std::string Trimmed(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n\f\v";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(kSpace) - first + 1));
}

// The verification this one corrects: of the same network, and in force.
std::optional<std::int64_t> CorrectedId(const std::string& text, const std::string& serial,
                                        VerificationRegister& register_, std::vector<std::string>& problems) {
    if (text.empty())
        return std::nullopt;
    std::int64_t id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (error != std::errc() || end != text.data() + text.size() || id <= 0) {
        problems.push_back("The verification corrected must be given by its number.");
        return std::nullopt;
    }
    const auto verifications = register_.Verifications(serial);
    const auto found =
        std::find_if(verifications.begin(), verifications.end(), [id](const Verification& v) { return v.id == id; });
    if (found == verifications.end())
        problems.push_back("Verification " + text + " is not one of this network's.");
    else if (found->supersededBy)
        problems.push_back("Verification " + text + " is corrected already, by " +
                           std::to_string(*found->supersededBy) + ".");
    return id;
}

}  // namespace

std::string DefaultVerificationDate() { return TodayUtc(); }

std::string NetworkCaption(const Network& network) {
    return network.serial + " \u2013 " + network.maker + " " + network.model + " (type " +
           std::to_string(network.anType) + ")";
}

std::string TypeNoteText(std::int16_t shownAnType, const Network& network) {
    if (network.anType == shownAnType)
        return {};
    return "The sweep on show is evaluated for AN type " + std::to_string(shownAnType) +
           "; the record will be evaluated for this network's type, " + std::to_string(network.anType) + ".";
}

CheckedVerification CheckTypedVerification(const TypedVerification& typed, VerificationRegister& register_) {
    CheckedVerification checked;
    NewVerification& v = checked.verification;
    v.serial = typed.serial;
    v.date = Trimmed(typed.date);
    v.operatorName = Trimmed(typed.operatorName);
    v.instrument = Trimmed(typed.instrument);
    v.instrumentCalibrationDue = Trimmed(typed.calibrationDue);
    v.line = Trimmed(typed.line);
    v.terminals = Trimmed(typed.terminals);
    v.fixture = Trimmed(typed.fixture);
    checked.problems = VerificationProblems(v, TodayUtc());
    v.uncertainty =
        UncertaintyOf(typed.uncertaintyMagnitude, typed.uncertaintyPhase, typed.coverageFactor, checked.problems);
    if (!v.serial.empty()) {
        checked.network = register_.NetworkBySerial(v.serial);
        if (!checked.network)
            checked.problems.push_back("Network " + v.serial + " is no longer in the register.");
    }
    v.supersedes = CorrectedId(Trimmed(typed.corrects), v.serial, register_, checked.problems);
    return checked;
}

std::optional<std::string> AttachMeasurement(NewVerification& verification, const Network& network, std::string bytes,
                                             const std::string& fileName,
                                             const std::optional<std::string>& evaluatedSha256) {
    if (!evaluatedSha256 || files::Sha256Hex(bytes) != *evaluatedSha256)
        return fileName +
               " has changed on disk since the sweep on show was evaluated. Reload it (F5), check the sweep, then "
               "record it. Nothing was recorded.";
    verification.fileBytes = std::move(bytes);
    verification.fileName = fileName;
    verification.results =
        EvaluateMeasurement(verification.fileBytes, fileName, network.anType, verification.uncertainty);
    verification.decisionRule = verification.results.decisionVerdict.rule;
    return std::nullopt;
}

std::string CannotReadMeasurementText(const std::string& shownPath, const std::string& reason) {
    return "Cannot read " + shownPath + ": " + reason + ". Nothing was recorded.";
}

}  // namespace quillet::records
