// A recorded measurement given back as a file for a sweep window to read:
// written into a cache folder under its SHA-256 and recorded name, once.
#pragma once

#include <cstdint>
#include <string>

#include "records/verification_register.h"

namespace quillet::records {

// The file of verification `id` in `folder` (made when missing), its bytes
// checked against the recorded SHA-256 first. A file of that name with
// other bytes was changed since and is put right. Throws RegisterError or
// std::runtime_error naming the register or the file.
std::string CacheMeasurement(VerificationRegister& reg, std::int64_t id, const std::string& folder);

}  // namespace quillet::records
