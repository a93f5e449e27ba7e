// When each network is next due for verification.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "records/records.h"

namespace quillet::records {

class VerificationRegister;

struct DueEntry {
    Network network;
    // The verification in force: the latest by date that is neither
    // withdrawn nor superseded. None: never verified.
    std::optional<Verification> last;
    // Its date plus the interval when it passed; none when the network has
    // no passing verification in force, and is due now.
    std::optional<std::string> dueOn;
    bool overdue = false;  // due before today, or no passing verification
};

// Whether an outcome lets the network be used until its next due date.
bool Passed(const std::string& outcome);

// Every network, the overdue first (those without a passing verification
// leading), then by due date.
std::vector<DueEntry> DueList(VerificationRegister& register_, const std::string& today);

}  // namespace quillet::records
