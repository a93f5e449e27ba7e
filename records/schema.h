// The register's tables, how a file says it is a register and which
// version of the tables it has, and the steps from each version to the next.
#pragma once

#include <cstdint>

#include "records/sqlite.h"

namespace quillet::records {

// PRAGMA application_id of every register ("QuRg").
inline constexpr std::int32_t kApplicationId = 0x51755267;

// PRAGMA user_version: the version of the tables this program makes and
// reads. A file of an older version is brought up to it when opened for
// writing; a newer one is refused.
inline constexpr int kSchemaVersion = 1;

// Takes the register from its version to kSchemaVersion, inside the
// caller's transaction, and marks it with the application id and the
// version. Version 0 is a file without tables: a new register.
void Migrate(Connection& connection, int fromVersion);

}  // namespace quillet::records
