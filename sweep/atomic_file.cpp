#include "sweep/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <streambuf>
#include <vector>

namespace quillet::sweep {
namespace {

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

AtomicFile::AtomicFile(const std::string& path) : path_(path), target_(FollowLinks(path)) {
    std::vector<char> name(target_.begin(), target_.end());
    const std::string suffix = ".tmp-XXXXXX";
    name.insert(name.end(), suffix.begin(), suffix.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        Fail(path_, "cannot create a temporary file beside it", errno);
    temporary_ = name.data();
    buffer_ = std::make_unique<Buffer>(fd);
    stream_ = std::make_unique<std::ostream>(buffer_.get());
}

AtomicFile::~AtomicFile() {
    if (!committed_) {
        ::close(buffer_->Descriptor());
        ::unlink(temporary_.c_str());
    }
}

std::ostream& AtomicFile::Stream() { return *stream_; }

void AtomicFile::Commit() {
    stream_->flush();
    const int fd = buffer_->Descriptor();
    if (buffer_->Error() != 0)
        Fail(path_, "cannot write", buffer_->Error());
    // mkstemp makes the file private; give it the mode a new file would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    if (::fsync(fd) != 0)
        Fail(path_, "cannot write", errno);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0)
        Fail(path_, "cannot put the file in place", errno);
    committed_ = true;
    ::close(fd);
}

HeldOutput::HeldOutput() {
    const char* directory = std::getenv("TMPDIR");
    std::string name = std::string(directory && *directory ? directory : "/tmp") + "/an-sweep-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        Fail(name, "cannot create a temporary file", errno);
    ::unlink(name.c_str());  // unnamed: it goes away with the process
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
