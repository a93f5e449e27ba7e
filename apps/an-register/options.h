// The command line of an-register.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "records/records.h"

namespace quillet::app::an_register {

enum class Command {
    None,
    AddNetwork,
    Networks,
    Record,
    Withdraw,
    History,
    Due,
    Export,
    Backup,
    Verify,
    Print,
    PrintHistory
};

enum class ExportFormat { Csv, Json };

struct Options {
    Command command = Command::None;
    std::optional<std::string> registerPath;  // --register; else the default place
    records::NewNetwork network;              // add-network
    records::NewVerification verification;    // record: all but the file's bytes and results
    std::string file;                         // record: the measurement; backup: the copy
    std::int64_t id = 0;                      // withdraw, verify, print
    records::Withdrawal withdrawal;
    std::string serial;                // history, print-history
    std::optional<std::string> today;  // due
    ExportFormat format = ExportFormat::Csv;
    std::optional<std::string> output;  // export; print and print-history: the PDF
    bool overwrite = false;             // backup
    std::string help;                   // the help asked for, when it was
    bool version = false;
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The arguments after the program's name. Throws UsageError.
Options ParseOptions(const std::vector<std::string>& arguments);

}  // namespace quillet::app::an_register
