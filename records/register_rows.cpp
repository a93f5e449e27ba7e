#include "records/register_rows.h"

#include <charconv>

#include "records/entry_checks.h"
#include "records/results.h"

namespace quillet::records {
namespace {

std::string Number(long long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return {digits, end};
}

}  // namespace

const NetworkRow& NetworkHeadings() {
    static const NetworkRow headings = {"Maker",        "Model",         "Serial",  "AN type",
                                        "Last verdict", "Last verified", "Next due"};
    return headings;
}

const HistoryRow& HistoryHeadings() {
    static const HistoryRow headings = {"No.", "Date", "Operator", "Verdict", "Worst margin", "Status"};
    return headings;
}

NetworkRow NetworkRowTexts(const DueEntry& entry) {
    std::string due = entry.dueOn.value_or("");
    if (entry.overdue)
        due = due.empty() ? "overdue" : due + "  overdue";
    return {entry.network.maker,
            entry.network.model,
            entry.network.serial,
            Number(entry.network.anType),
            entry.last ? entry.last->results.decisionVerdict.outcome : "never verified",
            entry.last ? entry.last->date : "",
            due};
}

HistoryRow HistoryRowTexts(const Verification& v) {
    return {Number(v.id), v.date, v.operatorName, v.results.decisionVerdict.outcome, MarginText(v.results.worstMargin),
            StatusText(v)};
}

std::string WithdrawnTip(const Verification& v) {
    if (!v.withdrawnAt)
        return {};
    return "Withdrawn " + *v.withdrawnAt + " by " + v.withdrawnBy.value_or("") + ": " + v.withdrawalReason.value_or("");
}

std::string StatusLine(std::size_t networks, std::size_t overdue, const std::string& today) {
    return Number(static_cast<long long>(networks)) + " network(s), " + Number(static_cast<long long>(overdue)) +
           " overdue; today is " + today + " (UTC)";
}

std::string NoRegisterText() { return "No register open: Register > Open register\u2026 or New register\u2026"; }

std::string OpenARegisterToRecordText() {
    return "Open a register, or start one, to record the verification in: Register > Open register\u2026 or New "
           "register\u2026.";
}

}  // namespace quillet::records
