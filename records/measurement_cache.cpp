#include "records/measurement_cache.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "files/atomic_file.h"
#include "files/native_path.h"
#include "files/sha256.h"
#include "records/entry_checks.h"

namespace quillet::records {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

bool HoldsBytesOf(const std::string& path, const std::string& sha256) {
    std::ifstream in(files::FsPath(path), std::ios::binary);
    if (!in)
        return false;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return !in.bad() && files::Sha256Hex(bytes) == sha256;
}

}  // namespace

std::string CacheMeasurement(VerificationRegister& reg, std::int64_t id, const std::string& folder) {
    const Verification v = reg.Get(id);
    if (files::Sha256Hex(v.fileBytes) != v.fileSha256)
        throw RegisterError(reg.path() + ": verification " + std::to_string(id) +
                            ": the stored measurement does not match its SHA-256; restore the register from a backup");
    std::error_code error;
    std::filesystem::create_directories(files::FsPath(folder), error);
    if (error)
        throw std::runtime_error(folder + ": cannot make the folder: " + error.message());
    std::string path = folder + kSeparator + CachedMeasurementName(v.fileSha256, v.fileName);
    if (!HoldsBytesOf(path, v.fileSha256))
        files::WriteFileAtomically(path, v.fileBytes);
    return path;
}

}  // namespace quillet::records
