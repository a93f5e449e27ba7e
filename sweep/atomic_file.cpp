#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace quillet::sweep {
namespace {

[[noreturn]] void Fail(const std::string& path, const char* what, int error) {
    throw std::runtime_error(path + ": " + what + ": " + std::strerror(error));
}

}  // namespace

void WriteFileAtomically(const std::string& path, const std::string& contents) {
    std::vector<char> temporary(path.begin(), path.end());
    const std::string suffix = ".tmp-XXXXXX";
    temporary.insert(temporary.end(), suffix.begin(), suffix.end());
    temporary.push_back('\0');
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        Fail(path, "cannot create a temporary file beside it", errno);
    const std::string temporaryPath(temporary.data());

    std::size_t written = 0;
    while (written < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            ::unlink(temporaryPath.c_str());
            Fail(path, "cannot write", error);
        }
        written += static_cast<std::size_t>(n);
    }
    // mkstemp makes the file private; give it the mode a new file would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporaryPath.c_str());
        Fail(path, "cannot write", error);
    }
    if (::rename(temporaryPath.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporaryPath.c_str());
        Fail(path, "cannot put the file in place", error);
    }
}

}  // namespace quillet::sweep
