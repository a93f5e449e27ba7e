// A verification as a person types it into the record dialog, whichever
// toolkit shows it: the texts checked against the register, the file's
// bytes held against the fingerprint of those the sweep on show was
// evaluated from, and the texts both dialogs show.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "records/records.h"
#include "records/verification_register.h"

namespace quillet::records {

// The fields as typed; serial is the network chosen, empty for none.
struct TypedVerification {
    std::string serial;
    std::string date;
    std::string operatorName;
    std::string instrument;
    std::string calibrationDue;
    std::string line;
    std::string terminals;
    std::string fixture;
    std::string uncertaintyMagnitude;
    std::string uncertaintyPhase;
    std::string coverageFactor;
    std::string corrects;  // a verification's number, or empty
};

struct CheckedVerification {
    NewVerification verification;    // without the file and its results
    std::optional<Network> network;  // the chosen one, when in the register
    std::vector<std::string> problems;
};

// The date a new verification starts with: today, UTC.
std::string DefaultVerificationDate();

// "SERIAL – MAKER MODEL (type N)", as the network choice lists it.
std::string NetworkCaption(const Network& network);

// Said when the network's type is not the one the sweep on show is
// evaluated for; empty when they agree.
std::string TypeNoteText(std::int16_t shownAnType, const Network& network);

// The texts trimmed and checked, the network and the verification it
// corrects looked up in the register. Throws RegisterError.
CheckedVerification CheckTypedVerification(const TypedVerification& typed, VerificationRegister& register_);

// Takes the file's bytes as read now, with its name, and evaluates them for
// the network's type, but only when they are the very bytes evaluated
// (evaluatedSha256; none when those are not known). Otherwise the message
// why nothing may be recorded.
std::optional<std::string> AttachMeasurement(NewVerification& verification, const Network& network, std::string bytes,
                                             const std::string& fileName,
                                             const std::optional<std::string>& evaluatedSha256);

// shownPath: the file's name as the user's system writes it.
std::string CannotReadMeasurementText(const std::string& shownPath, const std::string& reason);

inline constexpr char kReadOnlyRegisterText[] = "The register is read-only: nothing can be recorded in it.";

}  // namespace quillet::records
