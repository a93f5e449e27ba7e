// The lab's register of AN verifications: one SQLite file, written one
// whole transaction at a time, never changed or deleted from.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "records/records.h"
#include "records/sqlite.h"

namespace quillet::records {

enum class OpenFor {
    Reading,  // the file must exist
    Writing,  // made, with its folders, when it does not
};

class VerificationRegister {
public:
    // Opens the register after checking, without writing to it, that the
    // file is a sound register this program can read; a file that is not
    // is refused and left as it was. An older register is brought up to
    // this version in one transaction. A file without write permission is
    // opened for reading only. Throws RegisterError naming the file.
    VerificationRegister(const std::string& path, OpenFor openFor);

    const std::string& path() const { return connection_->path(); }
    bool readOnly() const { return readOnly_; }
    // How long a write waits for another program's to finish before it
    // gives up, kBusyTimeoutMilliseconds unless set.
    void SetBusyTimeout(int milliseconds) { connection_->SetBusyTimeout(milliseconds); }

    // Each write is one transaction; on any failure nothing of it is kept.
    // Throws RegisterError.
    std::int64_t AddNetwork(const NewNetwork& network);
    std::int64_t Record(const NewVerification& verification);
    void Withdraw(const Withdrawal& withdrawal);

    std::vector<Network> Networks();
    std::optional<Network> NetworkBySerial(const std::string& serial);
    std::optional<Network> NetworkById(std::int64_t id);
    // In the order recorded; of one network, or of all. Without the file's
    // bytes, which Verification() gives.
    std::vector<Verification> Verifications(const std::optional<std::string>& serial = std::nullopt);
    // Throws RegisterError when there is none of that number.
    Verification Get(std::int64_t id);

    // A consistent copy made while others may be writing, put in place
    // whole. Refuses the register itself, and an existing file unless
    // overwrite is set.
    void Backup(const std::string& target, bool overwrite);

    Connection& connection() { return *connection_; }

private:
    template <typename Body>
    auto Write(const char* what, Body&& body);

    std::unique_ptr<Connection> connection_;
    bool readOnly_ = false;
};

}  // namespace quillet::records
