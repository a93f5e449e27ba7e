// What the register keeps: the artificial networks of a lab, each
// verification of one against the impedance tolerance, and the
// verifications withdrawn. Nothing kept is ever changed or deleted.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "sweep/verdict.h"

namespace quillet::records {

struct NewNetwork {
    std::string maker;
    std::string model;
    std::string serial;  // unique in the register
    std::int16_t anType = 1;
    std::string lines;  // the lines measured, such as "L1,N"
    std::int64_t intervalDays = 365;
    std::string notes;
};

struct Network : NewNetwork {
    std::int64_t id = 0;
    std::string addedAt;  // UTC, ISO 8601
};

// The expanded uncertainty of the impedance measurement, as the decision
// rule weighs it.
using Uncertainty = sweep::MeasurementUncertainty;

// The decision rule's outcome for the whole sweep, in the words of
// sweep/verdict.h: the rule's statement (RuleText) and the worst point's
// outcome (OutcomeName: "pass", "conditional pass", "conditional fail",
// "fail").
struct DecisionVerdict {
    std::string rule;
    std::string outcome;
};

// What the program found in the measurement, kept with the record so that
// re-evaluating its bytes later can be compared with it.
struct Results {
    DecisionVerdict decisionVerdict;
    // The least margin of any point to the tolerance's edge, as a share of
    // the tolerance (PointJudgement::RelativeMargin): 1 at the nominal
    // impedance, 0 on the edge, below 0 outside. None: no points.
    std::optional<double> worstMargin;
    std::string pointsJson;  // per point: impedance, margin, verdict
    std::string bandsJson;   // the budget's band lines, as an-sweep's JSON report has them
};

struct NewVerification {
    std::string serial;  // of the network
    std::string date;    // of the measurement, YYYY-MM-DD
    std::string operatorName;
    std::string instrument;
    std::string instrumentCalibrationDue;  // YYYY-MM-DD
    std::string line;                      // the line measured
    std::string terminals;                 // the state of the other terminals
    std::string fixture;                   // adapter or fixture
    std::optional<Uncertainty> uncertainty;
    std::string decisionRule;  // the rule's statement, as results.decisionVerdict.rule
    std::string fileName;
    std::string fileBytes;  // the measurement file itself
    Results results;
    std::optional<std::int64_t> supersedes;  // the verification this one corrects
};

struct Verification : NewVerification {
    std::int64_t id = 0;
    std::string fileSha256;  // hex, of fileBytes
    std::string programVersion;
    std::string recordedAt;  // UTC, ISO 8601
    std::optional<std::int64_t> supersededBy;
    // Set when withdrawn.
    std::optional<std::string> withdrawnAt, withdrawalReason, withdrawnBy;
};

struct Withdrawal {
    std::int64_t verification = 0;
    std::string reason;
    std::string by;
};

}  // namespace quillet::records
