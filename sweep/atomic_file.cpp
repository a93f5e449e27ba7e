#include "sweep/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
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

namespace quillet::sweep {
namespace {

#ifdef _WIN32
// Windows writes in text mode unless told otherwise, turning LF into CR LF:
// the files here get the same bytes as everywhere else.
constexpr int kWriteFlags = O_WRONLY | O_BINARY;
#else
constexpr int kWriteFlags = O_WRONLY | O_CLOEXEC;
#endif

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

std::string CanonicalName(const std::string& path) {
    std::error_code error;
    const auto name = std::filesystem::weakly_canonical(std::filesystem::absolute(FollowLinks(path)), error);
    return error ? FollowLinks(path) : name.string();
}

AtomicFile::AtomicFile(const std::string& path) : path_(path), target_(FollowLinks(path)) {
    // Writing into a stream keeps what the shell made of it (an append, a
    // pipe); replacing it would not.
    descriptor_ = NamedDescriptor(path);
    struct stat status {};
    const bool exists = descriptor_ < 0 && ::stat(target_.c_str(), &status) == 0;
    if (exists && S_ISDIR(status.st_mode))
        throw std::runtime_error(path + ": a directory, not a file to write");
    if (descriptor_ >= 0 || (exists && !S_ISREG(status.st_mode))) {
        held_ = std::make_unique<HeldOutput>();
        return;
    }
    std::vector<char> name(target_.begin(), target_.end());
    const std::string suffix = ".tmp-XXXXXX";
    name.insert(name.end(), suffix.begin(), suffix.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        Fail(path_, "cannot create a temporary file beside it", errno);
#ifdef _WIN32
    _setmode(fd, O_BINARY);
#endif
    temporary_ = name.data();
    buffer_ = std::make_unique<Buffer>(fd);
    stream_ = std::make_unique<std::ostream>(buffer_.get());
}

AtomicFile::~AtomicFile() {
    if (!committed_ && buffer_) {
        ::close(buffer_->Descriptor());
        ::unlink(temporary_.c_str());
    }
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
        const int fd = ::open(target_.c_str(), kWriteFlags);
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
    if (!::MoveFileExW(std::filesystem::path(temporary_).c_str(), std::filesystem::path(target_).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const auto error = ::GetLastError();
        ::unlink(temporary_.c_str());
        throw std::runtime_error(path_ + ": cannot put the file in place: Windows error " + std::to_string(error));
    }
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
    ::close(fd);
#endif
}

HeldOutput::HeldOutput() {
#ifdef _WIN32
    // An open file cannot be unlinked here; Windows deletes a file opened
    // as temporary when it is closed, also when the process ends.
    std::string name = (std::filesystem::temp_directory_path() / "an-sweep-XXXXXX").string();
    const int created = ::mkstemp(name.data());
    if (created < 0)
        Fail(name, "cannot create a temporary file", errno);
    ::close(created);
    const int fd = ::open(name.c_str(), O_RDWR | O_BINARY | O_TEMPORARY);
    if (fd < 0)
        Fail(name, "cannot create a temporary file", errno);
#else
    const char* directory = std::getenv("TMPDIR");
    std::string name = std::string(directory && *directory ? directory : "/tmp") + "/an-sweep-XXXXXX";
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

}  // namespace quillet::sweep
