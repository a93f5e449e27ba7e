#include "records/due.h"

#include <algorithm>
#include <map>

#include "records/dates.h"
#include "records/verification_register.h"
#include "sweep/verdict.h"

namespace quillet::records {

bool Passed(const std::string& outcome) {
    // A conditional pass is a pass whose margin is within the uncertainty:
    // the network may still be used.
    return outcome == sweep::OutcomeName(sweep::Outcome::Pass) ||
           outcome == sweep::OutcomeName(sweep::Outcome::ConditionalPass);
}

std::vector<DueEntry> DueList(VerificationRegister& register_, const std::string& today) {
    std::map<std::string, Verification> inForce;  // by serial
    for (Verification& v : register_.Verifications()) {
        if (v.withdrawnAt || v.supersededBy)
            continue;
        const auto found = inForce.find(v.serial);
        if (found == inForce.end() || v.date >= found->second.date)  // later records win a tie
            inForce.insert_or_assign(v.serial, std::move(v));
    }
    std::vector<DueEntry> entries;
    for (Network& network : register_.Networks()) {
        DueEntry entry;
        const auto found = inForce.find(network.serial);
        if (found != inForce.end())
            entry.last = found->second;
        if (entry.last && Passed(entry.last->results.decisionVerdict.outcome))
            entry.dueOn = AddDays(entry.last->date, network.intervalDays);
        entry.overdue = !entry.dueOn || *entry.dueOn < today;
        entry.network = std::move(network);
        entries.push_back(std::move(entry));
    }
    std::stable_sort(entries.begin(), entries.end(), [](const DueEntry& a, const DueEntry& b) {
        if (a.overdue != b.overdue)
            return a.overdue;
        if (a.dueOn.has_value() != b.dueOn.has_value())
            return !a.dueOn.has_value();
        return a.dueOn < b.dueOn;
    });
    return entries;
}

}  // namespace quillet::records
