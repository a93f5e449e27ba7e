#include "apps/an-register/options.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cmath>
#include <memory>

#include "records/dates.h"
#include "sweep/uncertainty_text.h"

namespace quillet::app::an_register {
namespace {

// What is taken as text and checked after parsing, for our own messages.
struct Texts {
    std::string type, interval, uncertainty, coverage, supersedes, id, format;
};

std::unique_ptr<CLI::App> MakeParser(Options& o, Texts& t) {
    auto app = std::make_unique<CLI::App>(
        "Keeps the lab's register of AN verifications against the impedance tolerance: networks, each\n"
        "verification with its measurement file and results, and withdrawals. Nothing recorded is ever\n"
        "changed or deleted; a correction supersedes a verification, a withdrawal marks it.",
        "an-register");
    app->require_subcommand(0, 1);
    app->fallthrough();
    app->add_option("--register", o.registerPath,
                    "the register's file (default: $XDG_DATA_HOME/quillet/register.sqlite, else\n"
                    "~/.local/share/quillet/register.sqlite; on Windows %APPDATA%\\Quillet\\register.sqlite)")
        ->type_name("FILE");
    app->add_flag("--version", o.version, "show the version and the licence, and exit");

    const auto command = [&](const char* name, Command c, const char* description) {
        CLI::App* sub = app->add_subcommand(name, description);
        sub->callback([&o, c] { o.command = c; });
        return sub;
    };
    CLI::App* add = command("add-network", Command::AddNetwork, "add an AN to the register");
    add->add_option("--maker", o.network.maker, "its maker")->required()->type_name("TEXT");
    add->add_option("--model", o.network.model, "its model")->required()->type_name("TEXT");
    add->add_option("--serial", o.network.serial, "its serial number, unique in the register")
        ->required()
        ->type_name("TEXT");
    add->add_option("--type", t.type, "AN type, 1 to 4")->required()->type_name("N");
    add->add_option("--lines", o.network.lines, "the lines measured, such as L1,N")->required()->type_name("LIST");
    add->add_option("--interval-days", t.interval, "days between verifications")->required()->type_name("DAYS");
    add->add_option("--notes", o.network.notes, "anything else worth keeping")->type_name("TEXT");

    command("networks", Command::Networks, "list the networks");

    CLI::App* record = command("record", Command::Record, "record a verification from a measured sweep");
    auto& v = o.verification;
    record->add_option("--serial", v.serial, "the network's serial number")->required()->type_name("TEXT");
    record->add_option("--file", o.file, "the measurement (Touchstone or delimited text), kept in the register")
        ->required()
        ->type_name("FILE");
    record->add_option("--date", v.date, "the day measured, YYYY-MM-DD")->required()->type_name("DATE");
    record->add_option("--operator", v.operatorName, "who measured")->required()->type_name("NAME");
    record->add_option("--instrument", v.instrument, "the instrument measured with")->required()->type_name("TEXT");
    record->add_option("--instrument-cal-due", v.instrumentCalibrationDue, "the instrument's calibration due date")
        ->required()
        ->type_name("DATE");
    record->add_option("--line", v.line, "the line measured")->required()->type_name("LINE");
    record->add_option("--terminals", v.terminals, "the state of the other terminals")->required()->type_name("TEXT");
    record->add_option("--fixture", v.fixture, "the adapter or fixture")->required()->type_name("TEXT");
    record
        ->add_option("--uncertainty", t.uncertainty,
                     "the measurement's expanded uncertainty: magnitude in %, phase in degrees")
        ->type_name("MAG%,PHASE");
    record->add_option("--coverage", t.coverage, "its coverage factor (with --uncertainty)")->type_name("K");
    record->add_option("--supersedes", t.supersedes, "the verification this one corrects")->type_name("ID");

    CLI::App* withdraw = command("withdraw", Command::Withdraw, "withdraw a verification; it stays, marked");
    withdraw->add_option("ID", t.id, "the verification")->required()->type_name("");
    withdraw->add_option("--reason", o.withdrawal.reason, "why")->required()->type_name("TEXT");
    withdraw->add_option("--by", o.withdrawal.by, "who withdraws it")->required()->type_name("NAME");

    CLI::App* history = command("history", Command::History, "list a network's verifications");
    history->add_option("--serial", o.serial, "the network's serial number")->required()->type_name("TEXT");

    CLI::App* due = command("due", Command::Due, "list when each network is due, the overdue first");
    due->add_option("--today", o.today, "the day to judge by (default: today, UTC)")->type_name("DATE");

    CLI::App* exported = command("export", Command::Export, "write every verification as CSV or JSON");
    exported->add_option("--format", t.format, "csv (default) or json")->type_name("FORMAT");
    exported->add_option("--output", o.output, "write to FILE instead of the terminal")->type_name("FILE");

    CLI::App* backup = command("backup", Command::Backup, "copy the register, while in use, to a new file");
    backup->add_option("FILE", o.file, "the copy")->required()->type_name("");
    backup->add_flag("--force", o.overwrite, "write over FILE if it exists");

    CLI::App* verify =
        command("verify", Command::Verify, "evaluate a verification's kept file again and compare with its results");
    verify->add_option("ID", t.id, "the verification")->required()->type_name("");

    CLI::App* print = command("print", Command::Print, "write a verification's record as PDF");
    print->add_option("ID", t.id, "the verification")->required()->type_name("");
    print->add_option("--output", o.output, "the PDF file")->required()->type_name("FILE");

    CLI::App* printHistory =
        command("print-history", Command::PrintHistory, "write a network's verifications over time as PDF");
    printHistory->add_option("--serial", o.serial, "the network's serial number")->required()->type_name("TEXT");
    printHistory->add_option("--output", o.output, "the PDF file")->required()->type_name("FILE");

    app->footer(
        "Run an-register COMMAND --help for a command's options.\n"
        "Exit status: 0 done, 1 verify found results that differ, 2 bad input, usage or a register that\n"
        "cannot be used.");
    app->get_formatter()->column_width(28);
    return app;
}

std::int64_t Integer(const std::string& text, const char* option, std::int64_t least) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < least)
        throw UsageError(std::string(option) + " takes a whole number of at least " + std::to_string(least) +
                         ", not '" + text + "'");
    return value;
}

void CheckDay(const std::string& text, const char* option) {
    if (!records::IsIsoDay(text))
        throw UsageError(std::string(option) + " takes a day written YYYY-MM-DD, not '" + text + "'");
}

// The record command's values, checked.
void CheckRecord(Options& o, const Texts& t) {
    CheckDay(o.verification.date, "--date");
    CheckDay(o.verification.instrumentCalibrationDue, "--instrument-cal-due");
    if (t.uncertainty.empty() != t.coverage.empty())
        throw UsageError("--uncertainty and --coverage go together");
    if (!t.uncertainty.empty()) {
        const auto k = sweep::CoverageFactorOf(t.coverage);
        const auto u = sweep::MagnitudeAndPhaseOf(t.uncertainty, k.value_or(0));
        if (!u)
            throw UsageError("--uncertainty takes MAG%,PHASE, two numbers of 0 or more such as 2.5%,1.5, not '" +
                             t.uncertainty + "'");
        if (!k)
            throw UsageError("--coverage takes the coverage factor k, a number above 0 such as 2, not '" + t.coverage +
                             "'");
        o.verification.uncertainty = *u;
    }
    if (!t.supersedes.empty())
        o.verification.supersedes = Integer(t.supersedes, "--supersedes", 1);
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& arguments) {
    Options o;
    Texts t;
    const auto app = MakeParser(o, t);
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());  // as the parser takes them
    try {
        app->parse(reversed);
    } catch (const CLI::CallForHelp&) {
        const auto chosen = app->get_subcommands();
        o.help = chosen.empty() ? app->help() : chosen.front()->help();
        return o;
    } catch (const CLI::ParseError& error) {
        throw UsageError(error.what());
    }
    if (o.version)
        return o;
    switch (o.command) {
    case Command::None: throw UsageError("no command given");
    case Command::AddNetwork:
        if (t.type.size() != 1 || t.type[0] < '1' || t.type[0] > '4')
            throw UsageError("--type takes 1, 2, 3 or 4, not '" + t.type + "'");
        o.network.anType = static_cast<std::int16_t>(t.type[0] - '0');
        o.network.intervalDays = Integer(t.interval, "--interval-days", 1);
        break;
    case Command::Record: CheckRecord(o, t); break;
    case Command::Withdraw: o.withdrawal.verification = o.id = Integer(t.id, "ID", 1); break;
    case Command::Verify:
    case Command::Print: o.id = Integer(t.id, "ID", 1); break;
    case Command::Due:
        if (o.today)
            CheckDay(*o.today, "--today");
        break;
    case Command::Export:
        if (t.format == "json")
            o.format = ExportFormat::Json;
        else if (!t.format.empty() && t.format != "csv")
            throw UsageError("--format takes csv or json, not '" + t.format + "'");
        break;
    case Command::Networks:
    case Command::History:
    case Command::PrintHistory:
    case Command::Backup: break;
    }
    return o;
}

}  // namespace quillet::app::an_register
