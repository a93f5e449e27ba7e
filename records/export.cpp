#include "records/export.h"

#include <nlohmann/json.hpp>

#include <map>
#include <optional>
#include <vector>

#include "records/verification_register.h"
#include "sweep/evaluation.h"

namespace quillet::records {
namespace {

// A field quoted when it holds a separator, a quote or a line end.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

std::string NumberText(const std::optional<double>& value) {
    return value ? sweep::ShortestText(*value) : std::string();
}

std::string IdText(const std::optional<std::int64_t>& id) { return id ? std::to_string(*id) : std::string(); }

template <typename T>
nlohmann::ordered_json OrNull(const std::optional<T>& value) {
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

}  // namespace

std::string ExportCsv(VerificationRegister& register_) {
    std::map<std::string, Network> networks;
    for (Network& n : register_.Networks())
        networks.emplace(n.serial, std::move(n));
    std::string out =
        "id,serial,maker,model,an_type,date,operator,instrument,instrument_calibration_due,line,terminals,fixture,"
        "uncertainty_magnitude_percent,uncertainty_phase_deg,coverage_factor,decision_rule,file_name,file_sha256,"
        "verdict,worst_margin,program_version,recorded_at,supersedes,superseded_by,withdrawn_at,withdrawal_reason,"
        "withdrawn_by\n";
    for (const Verification& v : register_.Verifications()) {
        const Network& n = networks.at(v.serial);
        const auto part = [&](double Uncertainty::*member) {
            return v.uncertainty ? std::optional<double>((*v.uncertainty).*member) : std::nullopt;
        };
        const std::vector<std::string> fields = {std::to_string(v.id),
                                                 v.serial,
                                                 n.maker,
                                                 n.model,
                                                 std::to_string(n.anType),
                                                 v.date,
                                                 v.operatorName,
                                                 v.instrument,
                                                 v.instrumentCalibrationDue,
                                                 v.line,
                                                 v.terminals,
                                                 v.fixture,
                                                 NumberText(part(&Uncertainty::magnitudePercent)),
                                                 NumberText(part(&Uncertainty::phaseDegrees)),
                                                 NumberText(part(&Uncertainty::coverageFactor)),
                                                 v.decisionRule,
                                                 v.fileName,
                                                 v.fileSha256,
                                                 v.results.decisionVerdict.outcome,
                                                 NumberText(v.results.worstMargin),
                                                 v.programVersion,
                                                 v.recordedAt,
                                                 IdText(v.supersedes),
                                                 IdText(v.supersededBy),
                                                 v.withdrawnAt.value_or(""),
                                                 v.withdrawalReason.value_or(""),
                                                 v.withdrawnBy.value_or("")};
        for (const std::string& field : fields) {
            out += CsvField(field);
            out += ',';
        }
        out.back() = '\n';
    }
    return out;
}

std::string ExportJson(VerificationRegister& register_) {
    nlohmann::ordered_json networks = nlohmann::ordered_json::array();
    for (const Network& n : register_.Networks())
        networks.push_back({{"id", n.id},
                            {"maker", n.maker},
                            {"model", n.model},
                            {"serial", n.serial},
                            {"an_type", n.anType},
                            {"lines", n.lines},
                            {"interval_days", n.intervalDays},
                            {"notes", n.notes},
                            {"added_at", n.addedAt}});
    nlohmann::ordered_json verifications = nlohmann::ordered_json::array();
    for (const Verification& v : register_.Verifications()) {
        nlohmann::ordered_json uncertainty = nullptr;
        if (v.uncertainty)
            uncertainty = {{"magnitude_percent", v.uncertainty->magnitudePercent},
                           {"phase_deg", v.uncertainty->phaseDegrees},
                           {"coverage_factor", v.uncertainty->coverageFactor}};
        nlohmann::ordered_json withdrawal = nullptr;
        if (v.withdrawnAt)
            withdrawal = {{"at", *v.withdrawnAt}, {"reason", *v.withdrawalReason}, {"by", *v.withdrawnBy}};
        verifications.push_back({{"id", v.id},
                                 {"serial", v.serial},
                                 {"date", v.date},
                                 {"operator", v.operatorName},
                                 {"instrument", v.instrument},
                                 {"instrument_calibration_due", v.instrumentCalibrationDue},
                                 {"line", v.line},
                                 {"terminals", v.terminals},
                                 {"fixture", v.fixture},
                                 {"uncertainty", uncertainty},
                                 {"decision_rule", v.decisionRule},
                                 {"file_name", v.fileName},
                                 {"file_sha256", v.fileSha256},
                                 {"verdict", v.results.decisionVerdict.outcome},
                                 {"worst_margin", OrNull(v.results.worstMargin)},
                                 {"points", nlohmann::ordered_json::parse(v.results.pointsJson)},
                                 {"bands", nlohmann::ordered_json::parse(v.results.bandsJson)},
                                 {"program_version", v.programVersion},
                                 {"recorded_at", v.recordedAt},
                                 {"supersedes", OrNull(v.supersedes)},
                                 {"superseded_by", OrNull(v.supersededBy)},
                                 {"withdrawal", withdrawal}});
    }
    const nlohmann::ordered_json all = {{"networks", networks}, {"verifications", verifications}};
    // Bytes that are not UTF-8 (typed in another encoding) become U+FFFD
    // rather than stopping the export.
    return all.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + '\n';
}

}  // namespace quillet::records
