#include "records/schema.h"

#include <array>
#include <string>

namespace quillet::records {
namespace {

// Each entry takes a register from the version of its index to the next;
// a new version appends a step and never edits an earlier one, so every
// register in the field follows the same path.
constexpr std::array<const char*, kSchemaVersion> kSteps = {
    // 0 to 1: the first tables.
    R"sql(
CREATE TABLE networks (
    id INTEGER PRIMARY KEY,
    maker TEXT NOT NULL,
    model TEXT NOT NULL,
    serial TEXT NOT NULL UNIQUE,
    an_type INTEGER NOT NULL CHECK (an_type BETWEEN 1 AND 4),
    lines TEXT NOT NULL,
    interval_days INTEGER NOT NULL CHECK (interval_days > 0),
    notes TEXT NOT NULL,
    added_at TEXT NOT NULL
);
CREATE TABLE verifications (
    id INTEGER PRIMARY KEY,
    network_id INTEGER NOT NULL REFERENCES networks (id),
    verified_on TEXT NOT NULL,
    operator TEXT NOT NULL,
    instrument TEXT NOT NULL,
    instrument_calibration_due TEXT NOT NULL,
    line TEXT NOT NULL,
    terminals TEXT NOT NULL,
    fixture TEXT NOT NULL,
    uncertainty_magnitude_percent REAL,
    uncertainty_phase_degrees REAL,
    coverage_factor REAL,
    decision_rule TEXT NOT NULL,
    file_name TEXT NOT NULL,
    file_bytes BLOB NOT NULL,
    file_sha256 TEXT NOT NULL,
    verdict TEXT NOT NULL,
    worst_margin REAL,
    points_json TEXT NOT NULL,
    bands_json TEXT NOT NULL,
    program_version TEXT NOT NULL,
    recorded_at TEXT NOT NULL,
    supersedes INTEGER UNIQUE REFERENCES verifications (id),
    CHECK ((uncertainty_magnitude_percent IS NULL) = (uncertainty_phase_degrees IS NULL)
           AND (uncertainty_phase_degrees IS NULL) = (coverage_factor IS NULL))
);
CREATE INDEX verifications_by_network ON verifications (network_id, verified_on);
CREATE TABLE withdrawals (
    id INTEGER PRIMARY KEY,
    verification_id INTEGER NOT NULL UNIQUE REFERENCES verifications (id),
    withdrawn_at TEXT NOT NULL,
    reason TEXT NOT NULL,
    withdrawn_by TEXT NOT NULL
);
CREATE TRIGGER networks_kept BEFORE UPDATE ON networks
    BEGIN SELECT RAISE(ABORT, 'networks in the register are never changed'); END;
CREATE TRIGGER networks_never_deleted BEFORE DELETE ON networks
    BEGIN SELECT RAISE(ABORT, 'networks in the register are never deleted'); END;
CREATE TRIGGER verifications_kept BEFORE UPDATE ON verifications
    BEGIN SELECT RAISE(ABORT, 'verifications are never changed: record a correction that supersedes it'); END;
CREATE TRIGGER verifications_never_deleted BEFORE DELETE ON verifications
    BEGIN SELECT RAISE(ABORT, 'verifications are never deleted: withdraw it instead'); END;
CREATE TRIGGER withdrawals_kept BEFORE UPDATE ON withdrawals
    BEGIN SELECT RAISE(ABORT, 'withdrawals are never changed'); END;
CREATE TRIGGER withdrawals_never_deleted BEFORE DELETE ON withdrawals
    BEGIN SELECT RAISE(ABORT, 'withdrawals are never deleted'); END;
)sql",
};

}  // namespace

void Migrate(Connection& connection, int fromVersion) {
    for (int version = fromVersion; version < kSchemaVersion; ++version)
        connection.Execute(kSteps[static_cast<std::size_t>(version)]);
    connection.Execute(("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str());
    connection.Execute(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
}

}  // namespace quillet::records
