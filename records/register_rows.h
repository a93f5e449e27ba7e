// What the register window shows, as text, for every toolkit alike: the
// lists' headings, a network's row and a verification's, the tip of a
// withdrawn one and the status line.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "records/due.h"
#include "records/records.h"

namespace quillet::records {

// The columns of the networks list and of a network's history.
enum NetworkColumn {
    kMakerColumn,
    kModelColumn,
    kSerialColumn,
    kAnTypeColumn,
    kLastVerdictColumn,
    kLastDateColumn,
    kNextDueColumn,
    kNetworkColumns
};
enum HistoryColumn {
    kNumberColumn,
    kDateColumn,
    kOperatorColumn,
    kVerdictColumn,
    kWorstMarginColumn,
    kStatusColumn,
    kHistoryColumns
};

using NetworkRow = std::array<std::string, kNetworkColumns>;
using HistoryRow = std::array<std::string, kHistoryColumns>;

const NetworkRow& NetworkHeadings();
const HistoryRow& HistoryHeadings();

// "never verified" without a verification in force; the due day followed
// by "  overdue" when it is.
NetworkRow NetworkRowTexts(const DueEntry& entry);
HistoryRow HistoryRowTexts(const Verification& verification);

// "Withdrawn AT by WHO: REASON"; empty for a verification in force.
std::string WithdrawnTip(const Verification& verification);

// "3 network(s), 1 overdue; today is 2026-12-09 (UTC)".
std::string StatusLine(std::size_t networks, std::size_t overdue, const std::string& today);
// What the status line says before any register is open.
std::string NoRegisterText();
// What recording a verification says when no register is open to hold it.
std::string OpenARegisterToRecordText();

}  // namespace quillet::records
