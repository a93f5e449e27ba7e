// an-register: the lab's register of AN verifications on the command line.
// Every write is one transaction of the register; what is printed is held
// until the command has succeeded, so a failure prints no partial result.
#include <fcntl.h>
#include <unistd.h>
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>

#include "files/native_path.h"
#endif

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "apps/an-register/options.h"
#include "files/atomic_file.h"
#include "files/file_identity.h"
#include "files/interrupt_cleanup.h"
#include "files/sha256.h"
#include "plot/plot_title.h"
#include "quillet/version.h"
#include "recordpdf/record_sheet.h"
#include "records/dates.h"
#include "records/due.h"
#include "records/entry_checks.h"
#include "records/export.h"
#include "records/register_path.h"
#include "records/results.h"
#include "records/verification_register.h"
#include "sweep/evaluation.h"

using namespace quillet::app::an_register;
using namespace quillet::records;
using quillet::files::AtomicFile;
using quillet::files::HeldOutput;

namespace {

constexpr int kResultsDiffer = 1;
constexpr int kBadInput = 2;

int Fail(const std::string& message) {
    std::cerr << "an-register: " << message << '\n';
    return kBadInput;
}

std::string ReadBytes(const std::string& path) {
#ifdef _WIN32
    const std::filesystem::path name(quillet::files::WidePath(path));
#else
    const std::filesystem::path name(path);
#endif
    if (std::error_code error; std::filesystem::is_directory(name, error))
        throw std::runtime_error(path + ": is a folder, not a measurement file");
    std::ifstream in(name, std::ios::binary);
    if (!in.is_open())
        throw std::runtime_error(path + ": cannot open the measurement file");
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    if (in.bad())
        throw std::runtime_error(path + ": cannot read the measurement file");
    return bytes;
}

// Columns padded to their widest cell, counted in characters, not bytes.
void PrintTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
    const auto width = [](const std::string& text) {
        std::size_t n = 0;
        for (const char c : text)
            n += (static_cast<unsigned char>(c) & 0xc0) != 0x80;
        return n;
    };
    std::vector<std::size_t> widths;
    for (const auto& row : rows)
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths.resize(std::max(widths.size(), row.size()));
            widths[i] = std::max(widths[i], width(row[i]));
        }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i)
            line += row[i] + (i + 1 < row.size() ? std::string(widths[i] - width(row[i]) + 2, ' ') : "");
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    }
}

// Three decimals: a thousandth of the tolerance is finer than any
// measurement of it.
std::string Status(const Verification& v) {
    if (v.withdrawnAt)
        return "withdrawn " + *v.withdrawnAt + " by " + *v.withdrawnBy + ": " + *v.withdrawalReason;
    if (v.supersededBy)
        return "superseded by " + std::to_string(*v.supersededBy);
    if (v.supersedes)
        return "supersedes " + std::to_string(*v.supersedes);
    return "";
}

int AddNetwork(const Options& o, const std::string& path, std::ostream& out) {
    VerificationRegister reg(path, OpenFor::Writing);
    reg.AddNetwork(o.network);
    out << "added network " << o.network.serial << " to " << path << '\n';
    return 0;
}

int ListNetworks(const Options&, const std::string& path, std::ostream& out) {
    VerificationRegister reg(path, OpenFor::Reading);
    std::vector<std::vector<std::string>> rows = {
        {"serial", "type", "maker", "model", "lines", "interval", "added", "notes"}};
    for (const Network& n : reg.Networks())
        rows.push_back({n.serial, std::to_string(n.anType), n.maker, n.model, n.lines,
                        std::to_string(n.intervalDays) + " d", n.addedAt, n.notes});
    PrintTable(out, rows);
    return 0;
}

int RecordVerification(const Options& o, const std::string& path, std::ostream& out) {
    VerificationRegister reg(path, OpenFor::Writing);
    const auto network = reg.NetworkBySerial(o.verification.serial);
    if (!network)
        throw RegisterError(path + ": no network with serial number " + o.verification.serial +
                            " (add-network adds one)");
    NewVerification v = o.verification;
    // The dialogs' rules: a record is kept for good.
    std::string problems;
    for (const std::string& problem : VerificationProblems(v, TodayUtc()))
        problems += " " + problem;
    if (!problems.empty())
        throw RegisterError(path + ": nothing was recorded:" + problems);
    v.fileBytes = ReadBytes(o.file);
    // Taken from the UTF-8 text as given: std::filesystem's narrow names on
    // Windows are not UTF-8, and would spell a name beyond ASCII twice over.
    v.fileName = std::string(quillet::plot::FileName(o.file));
    v.results = EvaluateMeasurement(v.fileBytes, v.fileName, network->anType, v.uncertainty);
    v.decisionRule = v.results.decisionVerdict.rule;
    const std::int64_t id = reg.Record(v);
    out << "recorded verification " << id << " of " << v.serial << ": " << v.results.decisionVerdict.outcome << " ("
        << v.results.decisionVerdict.rule.substr(0, v.results.decisionVerdict.rule.find(':')) << "), worst margin "
        << MarginText(v.results.worstMargin) << '\n';
    return 0;
}

int WithdrawVerification(const Options& o, const std::string& path, std::ostream& out) {
    VerificationRegister reg(path, OpenFor::Writing);
    reg.Withdraw(o.withdrawal);
    out << "withdrew verification " << o.withdrawal.verification << '\n';
    return 0;
}

int History(const Options& o, const std::string& path, std::ostream& out) {
    VerificationRegister reg(path, OpenFor::Reading);
    if (!reg.NetworkBySerial(o.serial))
        throw RegisterError(path + ": no network with serial number " + o.serial);
    std::vector<std::vector<std::string>> rows = {
        {"id", "date", "line", "verdict", "worst margin", "operator", "file", "sha256", "status"}};
    for (const Verification& v : reg.Verifications(o.serial))
        rows.push_back({std::to_string(v.id), v.date, v.line, v.results.decisionVerdict.outcome,
                        MarginText(v.results.worstMargin), v.operatorName, v.fileName, v.fileSha256.substr(0, 12),
                        Status(v)});
    PrintTable(out, rows);
    return 0;
}

int ListDue(const Options& o, const std::string& path, std::ostream& out) {
    VerificationRegister reg(path, OpenFor::Reading);
    const std::string today = o.today ? *o.today : TodayUtc();
    std::vector<std::vector<std::string>> rows = {{"state", "serial", "due", "last verified", "verdict"}};
    for (const DueEntry& e : DueList(reg, today))
        rows.push_back({e.overdue ? "OVERDUE" : "ok", e.network.serial, e.dueOn.value_or("now"),
                        e.last ? e.last->date + " (" + std::to_string(e.last->id) + ")" : "none in force",
                        e.last ? e.last->results.decisionVerdict.outcome : "-"});
    PrintTable(out, rows);
    return 0;
}

int Export(const Options& o, const std::string& path, std::ostream& out) {
    VerificationRegister reg(path, OpenFor::Reading);
    out << (o.format == ExportFormat::Json ? ExportJson(reg) : ExportCsv(reg));
    return 0;
}

int Backup(const Options& o, const std::string& path, std::ostream& out) {
    VerificationRegister reg(path, OpenFor::Reading);
    reg.Backup(o.file, o.overwrite);
    out << "backed up " << path << " to " << o.file << '\n';
    return 0;
}

int VerifyAgain(const Options& o, const std::string& path, std::ostream& out) {
    VerificationRegister reg(path, OpenFor::Reading);
    const Verification v = reg.Get(o.id);
    if (quillet::files::Sha256Hex(v.fileBytes) != v.fileSha256) {
        out << "verification " << o.id << ": the kept file no longer matches its SHA-256\n";
        return kResultsDiffer;
    }
    const auto network = reg.NetworkBySerial(v.serial);
    const auto differences =
        Differences(v.results, EvaluateMeasurement(v.fileBytes, v.fileName, network->anType, v.uncertainty));
    if (differences.empty()) {
        out << "verification " << o.id << ": evaluated again by " << quillet::kVersion
            << ", the results are identical\n";
        return 0;
    }
    out << "verification " << o.id << ": evaluated again by " << quillet::kVersion
        << ", the results differ from those recorded by " << v.programVersion << ":\n";
    for (const std::string& d : differences)
        out << "  " << d << '\n';
    return kResultsDiffer;
}

// The record of one verification, with its network, as PDF.
int Print(const Options& o, const std::string& path, std::ostream& out) {
    VerificationRegister reg(path, OpenFor::Reading);
    const Verification v = reg.Get(o.id);
    out << quillet::pdf::PdfOf(quillet::recordpdf::RecordSheet(*reg.NetworkBySerial(v.serial), v));
    return 0;
}

int PrintHistory(const Options& o, const std::string& path, std::ostream& out) {
    VerificationRegister reg(path, OpenFor::Reading);
    const auto network = reg.NetworkBySerial(o.serial);
    if (!network)
        throw RegisterError(path + ": no network with serial number " + o.serial);
    out << quillet::pdf::PdfOf(quillet::recordpdf::HistorySheet(*network, reg.Verifications(o.serial)));
    return 0;
}

int Run(const Options& o, std::ostream& out) {
    const std::string path = o.registerPath ? *o.registerPath : DefaultRegisterPath();
    switch (o.command) {
    case Command::AddNetwork: return AddNetwork(o, path, out);
    case Command::Networks: return ListNetworks(o, path, out);
    case Command::Record: return RecordVerification(o, path, out);
    case Command::Withdraw: return WithdrawVerification(o, path, out);
    case Command::History: return History(o, path, out);
    case Command::Due: return ListDue(o, path, out);
    case Command::Export: return Export(o, path, out);
    case Command::Backup: return Backup(o, path, out);
    case Command::Verify: return VerifyAgain(o, path, out);
    case Command::Print: return Print(o, path, out);
    case Command::PrintHistory: return PrintHistory(o, path, out);
    case Command::None: break;
    }
    return Fail("no command given");
}

}  // namespace

int main(int argc, char* argv[]) {
#ifdef _WIN32
    SetConsoleOutputCP(CP_UTF8);
#endif
    quillet::files::RemoveTemporariesOnInterrupt();
    Options options;
    try {
        options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        std::cerr << "an-register: " << error.what()
                  << "\n(an-register --help lists the commands, an-register COMMAND --help their options)\n";
        return kBadInput;
    }
    if (!options.help.empty()) {
        std::cout << options.help;
        return 0;
    }
    if (options.version) {
        std::cout << "an-register " << quillet::kVersion << '\n' << quillet::kLicenceLine << '\n';
        return 0;
    }
    try {
        std::optional<AtomicFile> file;
        std::optional<HeldOutput> terminal;
        // The PDF or the export goes to its file whole, or not at all, and
        // never over the register.
        const std::string registerPath = options.registerPath ? *options.registerPath : DefaultRegisterPath();
        if (options.output && quillet::files::SameFile(registerPath, *options.output))
            return Fail(*options.output + " is the register itself; choose another file for the output");
        if (options.output)
            file.emplace(*options.output);
        else
            terminal.emplace();
        const int status = Run(options, file ? file->Stream() : terminal->Stream());
#ifdef _WIN32
        _setmode(STDOUT_FILENO, O_BINARY);
#endif
        if (file)
            file->Commit();
        else if (!terminal->Release(STDOUT_FILENO))
            return Fail("cannot write to the standard output");
        return status;
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
}
