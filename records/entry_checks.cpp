#include "records/entry_checks.h"

#include <algorithm>

#include "records/dates.h"
#include "sweep/uncertainty_text.h"

namespace quillet::records {
namespace {

// Letters, digits and . _ - stay; every other byte (folder separators, a
// colon, control characters) becomes _, and a name of dots alone is no name.
std::string SafeFileName(std::string_view name) {
    std::string safe;
    for (const char c : name) {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                          c == '_' || c == '-';
        safe += keep ? c : '_';
    }
    if (std::all_of(safe.begin(), safe.end(), [](char c) { return c == '.'; }))
        safe = "measurement" + safe;
    return safe;
}

bool Blank(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
}

}  // namespace

std::vector<std::string> NetworkProblems(const NewNetwork& network, const std::vector<Network>& existing) {
    std::vector<std::string> problems;
    if (Blank(network.serial))
        problems.push_back("The serial number is missing.");
    else if (std::any_of(existing.begin(), existing.end(),
                         [&](const Network& other) { return other.serial == network.serial; }))
        problems.push_back("Serial number " + network.serial + " is in the register already.");
    if (network.anType < 1 || network.anType > 4)
        problems.push_back("The AN type must be 1 to 4.");
    if (network.intervalDays <= 0)
        problems.push_back("The verification interval must be at least one day.");
    return problems;
}

std::optional<Uncertainty> UncertaintyOf(const std::string& magnitudePercent, const std::string& phaseDegrees,
                                         const std::string& coverageFactor, std::vector<std::string>& problems) {
    const std::string* texts[] = {&magnitudePercent, &phaseDegrees, &coverageFactor};
    const auto typed = std::count_if(std::begin(texts), std::end(texts), [](const auto* t) { return !Blank(*t); });
    if (typed == 0)
        return std::nullopt;
    if (typed < 3) {
        problems.push_back("Give all three figures of the uncertainty (magnitude, phase and k), or none.");
        return std::nullopt;
    }
    const auto magnitude = sweep::UncertaintyMagnitudeOf(magnitudePercent);
    const auto phase = sweep::UncertaintyPhaseOf(phaseDegrees);
    const auto k = sweep::CoverageFactorOf(coverageFactor);
    if (!magnitude)
        problems.push_back("The uncertainty in magnitude must be a number of percent, 0 or more.");
    if (!phase)
        problems.push_back("The uncertainty in phase must be a number of degrees, 0 or more.");
    if (!k)
        problems.push_back("The coverage factor k must be a number above 0.");
    if (!magnitude || !phase || !k)
        return std::nullopt;
    return Uncertainty{*magnitude, *phase, *k};
}

std::vector<std::string> VerificationProblems(const NewVerification& v, const std::string& today) {
    std::vector<std::string> problems;
    if (Blank(v.serial))
        problems.push_back("Choose the network verified.");
    if (!IsIsoDay(v.date))
        problems.push_back("The date must be a real day written YYYY-MM-DD.");
    else if (v.date > AddDays(today, 1))  // ISO days sort as text
        problems.push_back("The date " + v.date + " has not come yet; today is " + today + " (UTC).");
    if (Blank(v.operatorName))
        problems.push_back("The operator is missing.");
    if (Blank(v.instrument))
        problems.push_back("The instrument is missing.");
    if (!IsIsoDay(v.instrumentCalibrationDue))
        problems.push_back("The instrument's calibration due date must be a real day written YYYY-MM-DD.");
    else if (IsIsoDay(v.date) && v.instrumentCalibrationDue < v.date)
        problems.push_back("The instrument's calibration ran out on " + v.instrumentCalibrationDue +
                           ", before the measurement; a verification needs an instrument in calibration.");
    if (Blank(v.line))
        problems.push_back("The line measured is missing.");
    return problems;
}

std::string StatusText(const Verification& v) {
    if (v.withdrawnAt)
        return "withdrawn";
    if (v.supersededBy)
        return "corrected by " + std::to_string(*v.supersededBy);
    return "";
}

std::string CachedMeasurementName(const std::string& sha256, const std::string& fileName) {
    const std::size_t slash = fileName.find_last_of("/\\");
    const std::string base = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    return sha256 + "-" + SafeFileName(base.empty() ? "measurement" : base);
}

std::string RecordPdfName(const std::string& serial, const std::string& date, std::int64_t id) {
    return SafeFileName(serial) + "-" + date + "-verification-" + std::to_string(id) + ".pdf";
}

std::string HistoryPdfName(const std::string& serial, const std::string& date) {
    return SafeFileName(serial) + "-" + date + "-history.pdf";
}

}  // namespace quillet::records
