#include "files/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/interrupt_cleanup.h"
#include "files/native_path.h"
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <streambuf>
#include <vector>

namespace quillet::files {
namespace {

#ifdef _WIN32
// Windows writes in text mode unless told otherwise, turning LF into CR LF:
// the files here get the same bytes as everywhere else.
constexpr int kWriteFlags = O_WRONLY | O_BINARY;
#else
constexpr int kWriteFlags = O_WRONLY | O_CLOEXEC;
#endif

// What a path names: nothing, a directory, a regular file or something else.
enum class Kind { None, Directory, Regular, Other };

Kind KindOf(const std::string& path) {
#ifdef _WIN32
    struct _stat64 status {};
    if (::_wstat64(WidePath(path).c_str(), &status) != 0)
        return Kind::None;
    const auto mode = status.st_mode;
#else
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return Kind::None;
    const auto mode = status.st_mode;
#endif
    return S_ISDIR(mode) ? Kind::Directory : S_ISREG(mode) ? Kind::Regular : Kind::Other;
}

int OpenForWriting(const std::string& path) {
#ifdef _WIN32
    return ::_wopen(WidePath(path).c_str(), kWriteFlags);
#else
    return ::open(path.c_str(), kWriteFlags);
#endif
}

void RemoveFile(const std::string& path) {
#ifdef _WIN32
    ::_wunlink(WidePath(path).c_str());
#else
    ::unlink(path.c_str());
#endif
}

[[noreturn]] void Fail(const std::string& path, const char* what, int error) {
    throw std::runtime_error(path + ": " + what + ": " + std::strerror(error));
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// A stream buffer on a file descriptor that remembers the first error.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd) : fd_(fd), buffer_(1 << 16) {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }

    int Error() const { return error_; }
    int Descriptor() const { return fd_; }

protected:
    int_type overflow(int_type c) override {
        if (sync() != 0)
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    int sync() override {
        const std::size_t pending = static_cast<std::size_t>(pptr() - pbase());
        if (pending > 0 && !WriteAll(fd_, pbase(), pending) && error_ == 0)
            error_ = errno != 0 ? errno : EIO;
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return error_ == 0 ? 0 : -1;
    }

private:
    int fd_;
    std::vector<char> buffer_;
    int error_ = 0;
};

}  // namespace

class AtomicFile::Buffer : public DescriptorBuffer {
    using DescriptorBuffer::DescriptorBuffer;
};

class HeldOutput::Buffer : public DescriptorBuffer {
    using DescriptorBuffer::DescriptorBuffer;
};

#ifdef _WIN32
// The library's paths convert names with the C locale, not as UTF-8, and
// would reach another file for any name beyond ASCII; links to follow are
// rare on Windows, and the wide calls resolve the rest.
std::string FollowLinks(const std::string& path) { return path; }

std::string CanonicalName(const std::string& path) {
    const std::wstring wide = WidePath(path);
    std::wstring full(32768, L'\0');
    const DWORD length = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size())
        return path;
    full.resize(length);
    ::CharLowerBuffW(full.data(), length);  // names differ by case only on this system: one file
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, full.data(), static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, full.data(), static_cast<int>(length), utf8.data(), size, nullptr, nullptr);
    return utf8;
}
#else
std::string FollowLinks(const std::string& path) {
    namespace fs = std::filesystem;
    fs::path current = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error)))
            return current.string();
        const fs::path next = fs::read_symlink(current, error);
        if (error)
            return current.string();
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    throw std::runtime_error(path + ": too many levels of symbolic links");
}

std::string TemporaryFolder() {
    const char* directory = std::getenv("TMPDIR");
    return directory && *directory ? directory : "/tmp";
}

std::string CanonicalName(const std::string& path) {
    std::error_code error;
    const auto name = std::filesystem::weakly_canonical(std::filesystem::absolute(FollowLinks(path)), error);
    return error ? FollowLinks(path) : name.string();
}
#endif

// The descriptor that /dev/stdout, /dev/stderr, /dev/fd/N or
// /proc/self/fd/N stand for; -1 for any other name.
int NamedDescriptor(const std::string& path) {
    if (path == "/dev/stdout")
        return STDOUT_FILENO;
    if (path == "/dev/stderr")
        return STDERR_FILENO;
    for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0 &&
            path.find_first_not_of("0123456789", prefix.size()) == std::string::npos && path.size() < prefix.size() + 6)
            return std::stoi(path.substr(prefix.size()));
    }
    return -1;
}

AtomicFile::AtomicFile(const std::string& path) : path_(path), target_(FollowLinks(path)) {
    // Writing into a stream keeps what the shell made of it (an append, a
    // pipe); replacing it would not.
    descriptor_ = NamedDescriptor(path);
    const Kind kind = descriptor_ < 0 ? KindOf(target_) : Kind::None;
    if (kind == Kind::Directory)
        throw std::runtime_error(path + ": a directory, not a file to write");
    if (descriptor_ >= 0 || kind == Kind::Other) {
        held_ = std::make_unique<HeldOutput>();
        return;
    }
#ifdef _WIN32
    // mkstemp takes no name beyond the ANSI code page; wide calls take any.
    // The file shares its deletion, so that an interrupted run can delete
    // it while it is still open.
    int fd = -1;
    DWORD error = ERROR_FILE_EXISTS;
    for (unsigned attempt = 0; fd < 0 && error == ERROR_FILE_EXISTS && attempt < 100; ++attempt) {
        temporary_ = target_ + ".tmp-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(attempt);
        const HANDLE file = ::CreateFileW(WidePath(temporary_).c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            error = ::GetLastError();
            continue;
        }
        fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_BINARY);
        if (fd < 0)
            ::CloseHandle(file);
    }
    if (fd < 0)
        throw std::runtime_error(path_ + ": cannot create a temporary file beside it: Windows error " +
                                 std::to_string(error));
#else
    std::vector<char> name(target_.begin(), target_.end());
    const std::string suffix = ".tmp-XXXXXX";
    name.insert(name.end(), suffix.begin(), suffix.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        Fail(path_, "cannot create a temporary file beside it", errno);
    temporary_ = name.data();
#endif
    cleanup_ = std::make_unique<InterruptCleanup>(temporary_);
    buffer_ = std::make_unique<Buffer>(fd);
    stream_ = std::make_unique<std::ostream>(buffer_.get());
}

AtomicFile::~AtomicFile() {
    if (!committed_ && buffer_) {
        ::close(buffer_->Descriptor());
        RemoveFile(temporary_);
    }
    cleanup_.reset();  // only now: an interruption before this still removes the file
}

std::ostream& AtomicFile::Stream() { return held_ ? held_->Stream() : *stream_; }

void AtomicFile::CommitInto(int fd) {
    const bool written = held_->Release(fd);
    const int error = errno;
    if (fd != descriptor_)
        ::close(fd);
    if (!written)
        Fail(path_, "cannot write", error);
    committed_ = true;
}

void AtomicFile::Commit() {
    if (held_ && descriptor_ >= 0) {
        CommitInto(descriptor_);
        return;
    }
    if (held_) {
        const int fd = OpenForWriting(target_);
        if (fd < 0)
            Fail(path_, "cannot open", errno);
        CommitInto(fd);
        return;
    }
    stream_->flush();
    const int fd = buffer_->Descriptor();
    if (buffer_->Error() != 0)
        Fail(path_, "cannot write", buffer_->Error());
#ifdef _WIN32
    if (::_commit(fd) != 0)
        Fail(path_, "cannot write", errno);
    // Windows renames no file that is open, and rename() replaces none:
    // close it, then move it over the target in one step.
    ::close(fd);
    committed_ = true;  // the descriptor is gone; a failure below removes the file itself
    if (!::MoveFileExW(WidePath(temporary_).c_str(), WidePath(target_).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const auto error = ::GetLastError();
        ::_wunlink(WidePath(temporary_).c_str());
        throw std::runtime_error(path_ + ": cannot put the file in place: Windows error " + std::to_string(error));
    }
    cleanup_.reset();
#else
    // mkstemp makes the file private; give it the mode of the file it
    // replaces, or the one a new file would get.
    struct stat existing {};
    if (::stat(target_.c_str(), &existing) == 0) {
        ::fchmod(fd, existing.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    if (::fsync(fd) != 0)
        Fail(path_, "cannot write", errno);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0)
        Fail(path_, "cannot put the file in place", errno);
    committed_ = true;
    cleanup_.reset();
    ::close(fd);
#endif
}

HeldOutput::HeldOutput() {
#ifdef _WIN32
    // An open file cannot be unlinked here; Windows deletes a file opened
    // as temporary when it is closed, also when the process ends.
    // Wide calls throughout: the temporary folder lies in the user's
    // profile, whose name may be any.
    wchar_t directory[MAX_PATH + 1];
    wchar_t name[MAX_PATH + 1];
    if (::GetTempPathW(MAX_PATH + 1, directory) == 0 || ::GetTempFileNameW(directory, L"ans", 0, name) == 0)
        throw std::runtime_error("cannot create a temporary file: Windows error " + std::to_string(::GetLastError()));
    const int fd = ::_wopen(name, _O_RDWR | _O_BINARY | _O_TEMPORARY);
    if (fd < 0)
        Fail("the temporary folder", "cannot create a temporary file", errno);
#else
    std::string name = TemporaryFolder() + "/an-sweep-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        Fail(name, "cannot create a temporary file", errno);
    ::unlink(name.c_str());  // unnamed: it goes away with the process
#endif
    buffer_ = std::make_unique<Buffer>(fd);
    stream_ = std::make_unique<std::ostream>(buffer_.get());
}

HeldOutput::~HeldOutput() { ::close(buffer_->Descriptor()); }

std::ostream& HeldOutput::Stream() { return *stream_; }

bool HeldOutput::Release(int fd) {
    stream_->flush();
    const int held = buffer_->Descriptor();
    if (buffer_->Error() != 0 || ::lseek(held, 0, SEEK_SET) != 0)
        return false;
    std::vector<char> chunk(1 << 16);
    while (true) {
        const ssize_t n = ::read(held, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!WriteAll(fd, chunk.data(), static_cast<std::size_t>(n)))
            return false;
    }
}

void WriteFileAtomically(const std::string& path, const std::string& contents) {
    AtomicFile file(path);
    file.Stream() << contents;
    file.Commit();
}

}  // namespace quillet::files
