#include "records/verification_register.h"

#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>
#endif

#include <cmath>
#include <filesystem>
#include <system_error>
#include <utility>

#include "files/atomic_file.h"
#include "files/file_identity.h"
#include "files/native_path.h"
#include "files/sha256.h"
#include "quillet/version.h"
#include "records/dates.h"
#include "records/schema.h"

namespace quillet::records {
namespace {

namespace fs = std::filesystem;

// Whether the program may write the file: the file has write permission
// (for root too, who could write regardless: a register made read-only
// was made so on purpose) and the folder lets the journal be made.
bool Writable(const std::string& path) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(files::WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_READONLY);
#else
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || (status.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)
        return false;
    const fs::path folder = fs::path(path).parent_path();
    return ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
#endif
}

// The first column of each row, and SQLite's result code.
int Query(Connection& connection, const char* sql, std::vector<std::string>& rows) {
    rows.clear();
    const auto collect = [](void* out, int, char** values, char**) {
        static_cast<std::vector<std::string>*>(out)->push_back(values[0] ? values[0] : "");
        return 0;
    };
    return sqlite3_exec(connection.get(), sql, collect, &rows, nullptr);
}

void Prepare(Connection& connection, bool writable) {
    connection.Execute("PRAGMA foreign_keys = ON");
    if (writable) {
        // A rollback journal beside the file only while a write is under
        // way, and every commit on the disk before it returns.
        connection.Execute("PRAGMA journal_mode = DELETE");
        connection.Execute("PRAGMA synchronous = FULL");
    }
}

std::string Hex(std::int64_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (int shift = 28; shift >= 0; shift -= 4)
        text += kDigits[(value >> shift) & 15];
    return "0x" + text;
}

// Looks at the file through a read-only connection before anything may
// write to it, and refuses it, untouched, when it is no sound register of a
// version this program reads. The register's version.
int Inspect(const std::string& path, bool writable) {
    Connection check(path, SQLITE_OPEN_READONLY);
    std::vector<std::string> rows;
    int status = Query(check, "SELECT count(*) FROM sqlite_master", rows);
    if (status == SQLITE_READONLY_ROLLBACK && writable) {
        // A write was cut off (the program killed, the power lost) and left
        // its journal: the first reader able to write puts the file back as
        // it was before that write, as SQLite does on every open.
        {
            Connection recovery(path, SQLITE_OPEN_READWRITE);
            Query(recovery, "SELECT count(*) FROM sqlite_master", rows);
        }
        return Inspect(path, false);
    }
    const auto refuse = [&path](const std::string& why) {
        throw RegisterError(path + ": " + why + "; the file was left as it was");
    };
    if ((status & 0xff) == SQLITE_NOTADB)
        refuse("not a register: not an SQLite database file");
    if ((status & 0xff) == SQLITE_CORRUPT)
        refuse("the register is damaged (" + std::string(sqlite3_errmsg(check.get())) + "): restore it from a backup");
    if (status == SQLITE_READONLY_ROLLBACK)
        refuse("a write to the register was cut off, and putting it back needs write permission");
    if (status != SQLITE_OK)
        check.Fail("cannot read");
    const bool hasTables = !rows.empty() && rows[0] != "0";

    status = Query(check, "PRAGMA quick_check", rows);
    if ((status & 0xff) == SQLITE_CORRUPT || (status & 0xff) == SQLITE_NOTADB ||
        (status == SQLITE_OK && rows != std::vector<std::string>{"ok"}))
        refuse("the register is damaged (" +
               (status == SQLITE_OK ? rows.front() : std::string(sqlite3_errmsg(check.get()))) +
               "): restore it from a backup");
    if (status != SQLITE_OK)
        check.Fail("cannot check");

    const std::int64_t applicationId = check.Integer("PRAGMA application_id");
    if (applicationId != kApplicationId && applicationId != 0)
        refuse("not a register: it belongs to another program (application id " + Hex(applicationId) + ")");
    if (applicationId == 0 && hasTables)
        refuse("not a register: it holds another program's tables");
    const std::int64_t version = check.Integer("PRAGMA user_version");
    if (version > kSchemaVersion)
        refuse("written by a newer version of the program (register version " + std::to_string(version) +
               "; this one reads up to version " + std::to_string(kSchemaVersion) + ")");
    return static_cast<int>(version);
}

constexpr const char* kVerificationColumns =
    "SELECT v.id, n.serial, v.verified_on, v.operator, v.instrument, v.instrument_calibration_due, v.line, "
    "v.terminals, v.fixture, v.uncertainty_magnitude_percent, v.uncertainty_phase_degrees, v.coverage_factor, "
    "v.decision_rule, v.file_name, v.file_sha256, v.verdict, v.worst_margin, v.points_json, v.bands_json, "
    "v.program_version, v.recorded_at, v.supersedes, (SELECT s.id FROM verifications s WHERE s.supersedes = v.id), "
    "w.withdrawn_at, w.reason, w.withdrawn_by, v.file_bytes "
    "FROM verifications v JOIN networks n ON n.id = v.network_id "
    "LEFT JOIN withdrawals w ON w.verification_id = v.id ";

Verification VerificationOf(const Statement& row, bool withBytes) {
    Verification v;
    v.id = row.Integer(0);
    v.serial = row.Text(1);
    v.date = row.Text(2);
    v.operatorName = row.Text(3);
    v.instrument = row.Text(4);
    v.instrumentCalibrationDue = row.Text(5);
    v.line = row.Text(6);
    v.terminals = row.Text(7);
    v.fixture = row.Text(8);
    if (!row.IsNull(9))
        v.uncertainty = Uncertainty{*row.Real(9), *row.Real(10), *row.Real(11)};
    v.decisionRule = row.Text(12);
    v.results.decisionVerdict.rule = v.decisionRule;
    v.fileName = row.Text(13);
    v.fileSha256 = row.Text(14);
    v.results.decisionVerdict.outcome = row.Text(15);
    v.results.worstMargin = row.Real(16);
    v.results.pointsJson = row.Text(17);
    v.results.bandsJson = row.Text(18);
    v.programVersion = row.Text(19);
    v.recordedAt = row.Text(20);
    v.supersedes = row.OptionalInteger(21);
    v.supersededBy = row.OptionalInteger(22);
    if (!row.IsNull(23)) {
        v.withdrawnAt = row.Text(23);
        v.withdrawalReason = row.Text(24);
        v.withdrawnBy = row.Text(25);
    }
    if (withBytes)
        v.fileBytes = row.Blob(26);
    return v;
}

Network NetworkOf(const Statement& row) {
    Network n;
    n.id = row.Integer(0);
    n.maker = row.Text(1);
    n.model = row.Text(2);
    n.serial = row.Text(3);
    n.anType = static_cast<std::int16_t>(row.Integer(4));
    n.lines = row.Text(5);
    n.intervalDays = row.Integer(6);
    n.notes = row.Text(7);
    n.addedAt = row.Text(8);
    return n;
}

constexpr const char* kNetworkColumns =
    "SELECT id, maker, model, serial, an_type, lines, interval_days, notes, added_at FROM networks ";

}  // namespace

template <typename Body>
auto VerificationRegister::Write(const char* what, Body&& body) {
    const std::string failed = path() + ": cannot " + what + ": ";
    if (readOnly_)
        throw RegisterError(failed + "the register is read-only (no write permission); nothing was written");
    sqlite3* db = connection_->get();
    const auto failure = [&] {
        const bool busy = (sqlite3_errcode(db) & 0xff) == SQLITE_BUSY;
        return RegisterError(failed + (busy ? connection_->BusyText() : std::string(sqlite3_errmsg(db))) +
                             "; nothing was written");
    };
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw failure();
    try {
        auto result = body();
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            throw failure();
        return result;
    } catch (const RegisterError& error) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        const std::string message = error.what();
        if (message.find("nothing was written") != std::string::npos)
            throw;
        throw RegisterError(message + "; nothing was written");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

VerificationRegister::VerificationRegister(const std::string& path, OpenFor openFor) {
    std::error_code error;
    const bool exists = fs::exists(files::FsPath(path), error);
    int version = 0;
    if (!exists) {
        if (openFor == OpenFor::Reading)
            throw RegisterError(path + ": no register there yet (adding a network starts one)");
        const fs::path folder = files::FsPath(path).parent_path();
        if (!folder.empty() && !fs::create_directories(folder, error) && error)
            throw RegisterError(path + ": cannot make its folder: " + error.message());
        connection_ = std::make_unique<Connection>(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    } else {
        readOnly_ = !Writable(path);
        version = Inspect(path, !readOnly_);
        connection_ = std::make_unique<Connection>(path, readOnly_ ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
    }
    Prepare(*connection_, !readOnly_);
    if (version < kSchemaVersion) {
        if (readOnly_)
            throw RegisterError(path + ": register version " + std::to_string(version) +
                                " needs bringing up to version " + std::to_string(kSchemaVersion) +
                                ", which takes write permission; the file was left as it was");
        Write("bring the register up to date", [this] {
            // Read again inside the transaction: another program may have
            // made or brought up the register since.
            const auto current = connection_->Integer("PRAGMA user_version");
            if (current < kSchemaVersion)
                Migrate(*connection_, static_cast<int>(current));
            return 0;
        });
    }
}

std::int64_t VerificationRegister::AddNetwork(const NewNetwork& network) {
    const std::string failed = path() + ": cannot add the network";
    if (network.serial.empty())
        throw RegisterError(failed + ": it has no serial number");
    if (network.anType < 1 || network.anType > 4)
        throw RegisterError(failed + ": the AN type must be 1 to 4, not " + std::to_string(network.anType));
    if (network.intervalDays <= 0)
        throw RegisterError(failed + ": the verification interval must be at least one day");
    return Write("add the network", [&] {
        if (NetworkBySerial(network.serial))
            throw RegisterError(failed + ": serial number " + network.serial + " is in the register already");
        Statement insert(*connection_,
                         "INSERT INTO networks (maker, model, serial, an_type, lines, interval_days, notes, added_at) "
                         "VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        insert.Bind(1, network.maker).Bind(2, network.model).Bind(3, network.serial);
        insert.Bind(4, std::int64_t{network.anType}).Bind(5, network.lines).Bind(6, network.intervalDays);
        insert.Bind(7, network.notes).Bind(8, NowUtc()).Run();
        return static_cast<std::int64_t>(sqlite3_last_insert_rowid(connection_->get()));
    });
}

std::int64_t VerificationRegister::Record(const NewVerification& v) {
    const std::string failed = path() + ": cannot record the verification";
    if (!IsIsoDay(v.date))
        throw RegisterError(failed + ": the date must be a day written YYYY-MM-DD, not '" + v.date + "'");
    if (!IsIsoDay(v.instrumentCalibrationDue))
        throw RegisterError(failed + ": the instrument's calibration due date must be a day written YYYY-MM-DD, not '" +
                            v.instrumentCalibrationDue + "'");
    if (v.uncertainty) {
        const Uncertainty& u = *v.uncertainty;
        if (!std::isfinite(u.magnitudePercent) || !std::isfinite(u.phaseDegrees) || !std::isfinite(u.coverageFactor) ||
            u.magnitudePercent < 0 || u.phaseDegrees < 0 || u.coverageFactor <= 0)
            throw RegisterError(failed +
                                ": the uncertainty must be finite and not negative, and the coverage factor above 0");
    }
    return Write("record the verification", [&] {
        const auto network = NetworkBySerial(v.serial);
        if (!network)
            throw RegisterError(failed + ": no network with serial number " + v.serial + " in the register");
        if (v.supersedes) {
            Statement earlier(*connection_,
                              "SELECT network_id, (SELECT id FROM verifications WHERE supersedes = ?1) "
                              "FROM verifications WHERE id = ?1");
            earlier.Bind(1, *v.supersedes);
            if (!earlier.Step())
                throw RegisterError(failed + ": there is no verification " + std::to_string(*v.supersedes) +
                                    " to supersede");
            if (earlier.Integer(0) != network->id)
                throw RegisterError(failed + ": verification " + std::to_string(*v.supersedes) +
                                    " is of another network");
            if (!earlier.IsNull(1))
                throw RegisterError(failed + ": verification " + std::to_string(*v.supersedes) +
                                    " is superseded already, by " + std::to_string(earlier.Integer(1)) +
                                    "; supersede that one");
        }
        Statement insert(*connection_,
                         "INSERT INTO verifications (network_id, verified_on, operator, instrument, "
                         "instrument_calibration_due, line, terminals, fixture, uncertainty_magnitude_percent, "
                         "uncertainty_phase_degrees, coverage_factor, decision_rule, file_name, file_bytes, "
                         "file_sha256, verdict, worst_margin, points_json, bands_json, program_version, recorded_at, "
                         "supersedes) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        insert.Bind(1, network->id).Bind(2, v.date).Bind(3, v.operatorName).Bind(4, v.instrument);
        insert.Bind(5, v.instrumentCalibrationDue).Bind(6, v.line).Bind(7, v.terminals).Bind(8, v.fixture);
        const auto part = [&](double Uncertainty::*member) {
            return v.uncertainty ? std::optional<double>((*v.uncertainty).*member) : std::nullopt;
        };
        insert.Bind(9, part(&Uncertainty::magnitudePercent)).Bind(10, part(&Uncertainty::phaseDegrees));
        insert.Bind(11, part(&Uncertainty::coverageFactor)).Bind(12, v.decisionRule).Bind(13, v.fileName);
        insert.BindBlob(14, v.fileBytes).Bind(15, files::Sha256Hex(v.fileBytes));
        insert.Bind(16, v.results.decisionVerdict.outcome).Bind(17, v.results.worstMargin);
        insert.Bind(18, v.results.pointsJson).Bind(19, v.results.bandsJson).Bind(20, kVersion);
        insert.Bind(21, NowUtc());
        if (v.supersedes)
            insert.Bind(22, *v.supersedes);
        else
            insert.BindNull(22);
        insert.Run();
        return static_cast<std::int64_t>(sqlite3_last_insert_rowid(connection_->get()));
    });
}

void VerificationRegister::Withdraw(const Withdrawal& w) {
    const std::string failed = path() + ": cannot withdraw verification " + std::to_string(w.verification);
    if (w.reason.empty() || w.by.empty())
        throw RegisterError(failed + ": say why and by whom");
    Write("withdraw the verification", [&] {
        Statement earlier(*connection_,
                          "SELECT (SELECT withdrawn_at FROM withdrawals WHERE verification_id = verifications.id) "
                          "FROM verifications WHERE id = ?");
        earlier.Bind(1, w.verification);
        if (!earlier.Step())
            throw RegisterError(failed + ": there is no such verification");
        if (!earlier.IsNull(0))
            throw RegisterError(failed + ": it was withdrawn already, at " + earlier.Text(0));
        Statement insert(*connection_,
                         "INSERT INTO withdrawals (verification_id, withdrawn_at, reason, withdrawn_by) "
                         "VALUES (?, ?, ?, ?)");
        insert.Bind(1, w.verification).Bind(2, NowUtc()).Bind(3, w.reason).Bind(4, w.by).Run();
        return 0;
    });
}

std::vector<Network> VerificationRegister::Networks() {
    Statement select(*connection_, (std::string(kNetworkColumns) + "ORDER BY serial").c_str());
    std::vector<Network> networks;
    while (select.Step())
        networks.push_back(NetworkOf(select));
    return networks;
}

std::optional<Network> VerificationRegister::NetworkBySerial(const std::string& serial) {
    Statement select(*connection_, (std::string(kNetworkColumns) + "WHERE serial = ?").c_str());
    select.Bind(1, serial);
    return select.Step() ? std::optional(NetworkOf(select)) : std::nullopt;
}

std::optional<Network> VerificationRegister::NetworkById(std::int64_t id) {
    Statement select(*connection_, (std::string(kNetworkColumns) + "WHERE id = ?").c_str());
    select.Bind(1, id);
    return select.Step() ? std::optional(NetworkOf(select)) : std::nullopt;
}

std::vector<Verification> VerificationRegister::Verifications(const std::optional<std::string>& serial) {
    Statement select(
        *connection_,
        (std::string(kVerificationColumns) + (serial ? "WHERE n.serial = ? ORDER BY v.id" : "ORDER BY v.id")).c_str());
    if (serial)
        select.Bind(1, *serial);
    std::vector<Verification> verifications;
    while (select.Step())
        verifications.push_back(VerificationOf(select, false));
    return verifications;
}

Verification VerificationRegister::Get(std::int64_t id) {
    Statement select(*connection_, (std::string(kVerificationColumns) + "WHERE v.id = ?").c_str());
    select.Bind(1, id);
    if (!select.Step())
        throw RegisterError(path() + ": there is no verification " + std::to_string(id));
    return VerificationOf(select, true);
}

void VerificationRegister::Backup(const std::string& target, bool overwrite) {
    const std::string failed = target + ": cannot back up the register " + path();
    if (files::SameFile(target, path()))
        throw RegisterError(failed + ": that is the register itself");
    std::error_code error;
    if (!overwrite && fs::exists(files::FsPath(target), error))
        throw RegisterError(failed + ": the file exists (choose a new name, or allow overwriting it)");
    // The online backup copies the register page by page under a read lock,
    // so the copy is one consistent state even while others write; it goes
    // to memory first, then into place as a whole file.
    Connection copy(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY);
    sqlite3_backup* backup = sqlite3_backup_init(copy.get(), "main", connection_->get(), "main");
    if (!backup)
        copy.Fail("cannot start the backup");
    const int status = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    if (status != SQLITE_DONE)
        throw RegisterError(failed + ": " + sqlite3_errstr(status));
    sqlite3_int64 size = 0;
    unsigned char* bytes = sqlite3_serialize(copy.get(), "main", &size, 0);
    if (!bytes)
        throw RegisterError(failed + ": out of memory");
    const std::string contents(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
    sqlite3_free(bytes);
    try {
        files::WriteFileAtomically(target, contents);
    } catch (const std::runtime_error& e) {
        throw RegisterError(e.what());
    }
}

}  // namespace quillet::records
