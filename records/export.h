// The register as a table for a spreadsheet or as JSON for other programs;
// the measurement files themselves stay in the register (their SHA-256
// names them).
#pragma once

#include <string>

namespace quillet::records {

class VerificationRegister;

// One line per verification, withdrawn ones included and marked.
std::string ExportCsv(VerificationRegister& register_);
// The networks and the verifications, each with its per-point results and
// budget lines.
std::string ExportJson(VerificationRegister& register_);

}  // namespace quillet::records
