#include "files/file_identity.h"

#include <sys/stat.h>
#include <unistd.h>

#include "files/atomic_file.h"
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "files/native_path.h"
#endif

namespace quillet::files {
namespace {

#ifdef _WIN32
// Windows gives every file the inode 0, so the identity is the volume's
// serial number and the file's index on it.
struct Identity {
    bool exists = false;
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;

    bool operator==(const Identity& other) const {
        return exists && other.exists && volume == other.volume && indexHigh == other.indexHigh &&
               indexLow == other.indexLow;
    }
};

Identity IdentityOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (file == INVALID_HANDLE_VALUE || file == nullptr || !::GetFileInformationByHandle(file, &information))
        return {};
    return {true, information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
}

Identity IdentityOf(const std::string& path) {
    const HANDLE file = ::CreateFileW(WidePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const Identity identity = IdentityOf(file);
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    return identity;
}

Identity StandardInputIdentity() { return IdentityOf(::GetStdHandle(STD_INPUT_HANDLE)); }
#else
struct Identity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;

    bool operator==(const Identity& other) const {
        return exists && other.exists && device == other.device && inode == other.inode;
    }
};

// result: what stat or fstat returned for the status.
Identity IdentityOf(int result, const struct stat& status) {
    if (result != 0)
        return {};
    return {true, status.st_dev, status.st_ino};
}

Identity IdentityOf(const std::string& path) {
    struct stat status {};
    return IdentityOf(::stat(path.c_str(), &status), status);
}

Identity StandardInputIdentity() {
    struct stat status {};
    return IdentityOf(::fstat(STDIN_FILENO, &status), status);
}
#endif

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
    const Identity first = IdentityOf(a);
    const Identity second = IdentityOf(b);
    if (first.exists || second.exists)
        return first == second;
    return CanonicalName(a) == CanonicalName(b);
}

bool IsStandardInput(const std::string& name) { return IdentityOf(name) == StandardInputIdentity(); }

}  // namespace quillet::files
