// Printed records as PDF files the user names, written whole or not at
// all, and never over a file the user must keep.
#pragma once

#include <string>
#include <vector>

#include "records/records.h"

namespace quillet::recordpdf {

// file and keep are names as the file functions take them (UTF-8 on
// Windows). The PDF is never written over any file in `keep` (the register,
// the measurement on show), whatever name reaches it. verification must hold
// the file's bytes. Throws std::runtime_error (a file that cannot be
// written, or one to keep) or measurement::ReadError.
void WriteRecordPdf(const std::string& file, const std::vector<std::string>& keep, const records::Network& network,
                    const records::Verification& verification);
void WriteHistoryPdf(const std::string& file, const std::vector<std::string>& keep, const records::Network& network,
                     const std::vector<records::Verification>& verifications);

}  // namespace quillet::recordpdf
