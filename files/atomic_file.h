// Output files that appear whole or not at all.
#pragma once

#include <memory>
#include <ostream>
#include <string>

namespace quillet::files {

class HeldOutput;
class InterruptCleanup;

// A file written under a temporary name beside its target and renamed into
// place by Commit(), so an interrupted or failed run never leaves a
// half-written file and never touches an existing one. Destroyed without
// Commit(), or interrupted once RemoveTemporariesOnInterrupt() is in force,
// it leaves nothing behind. A target that is a symbolic link
// stays a link: the file it points to is replaced, keeping its permissions.
// A target that is no regular file (a device, a pipe, /dev/stdout) cannot
// be replaced: it is written into, at Commit(). A directory is refused at
// once. Throws std::runtime_error naming the file.
class AtomicFile {
public:
    explicit AtomicFile(const std::string& path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    std::ostream& Stream();
    void Commit();

private:
    class Buffer;
    void CommitInto(int fd);

    std::string path_;    // as the user named it, for messages
    std::string target_;  // with symbolic links followed
    std::string temporary_;
    std::unique_ptr<Buffer> buffer_;
    std::unique_ptr<std::ostream> stream_;
    std::unique_ptr<InterruptCleanup> cleanup_;  // while the temporary file exists
    std::unique_ptr<HeldOutput> held_;           // for a target that is written into
    int descriptor_ = -1;                        // /dev/stdout and the like: the descriptor they name
    bool committed_ = false;
};

// Output for the terminal kept in an unnamed temporary file until the run
// has succeeded, so a failure prints no partial result.
class HeldOutput {
public:
    HeldOutput();
    ~HeldOutput();
    HeldOutput(const HeldOutput&) = delete;
    HeldOutput& operator=(const HeldOutput&) = delete;

    std::ostream& Stream();
    // Copies everything to the file descriptor; false when that fails.
    bool Release(int fd);

private:
    class Buffer;
    std::unique_ptr<Buffer> buffer_;
    std::unique_ptr<std::ostream> stream_;
};

// The whole contents at once, through an AtomicFile.
void WriteFileAtomically(const std::string& path, const std::string& contents);

// Follows symbolic links to the file a path finally names, which need not
// exist yet. Throws std::runtime_error for a loop of links.
std::string FollowLinks(const std::string& path);

#ifndef _WIN32
// The folder for temporary files: $TMPDIR, else /tmp.
std::string TemporaryFolder();
#endif

// The file a path names, links followed, as one absolute spelling, so that
// two spellings of one file compare equal even before it exists.
std::string CanonicalName(const std::string& path);

}  // namespace quillet::files
