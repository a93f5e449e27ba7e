// Temporary files and folders that an interrupted run must not leave
// behind: a signal or a closed console ends the program without running
// its destructors, so the names are kept where a handler can reach them.
#pragma once

#include <string>

namespace quillet::files {

// From now on, an interruption (SIGINT, SIGTERM, SIGHUP, SIGQUIT or SIGPIPE; on
// Windows Ctrl+C, Ctrl+Break or a closed console) first removes every
// registered temporary, then ends the program as it would have ended. A
// signal the program was started ignoring stays ignored. Call once, early.
void RemoveTemporariesOnInterrupt();

// Registers a temporary file (or an empty folder) for as long as it lives;
// it does not remove it. A name too long to keep is not registered.
class InterruptCleanup {
public:
    enum class Kind { File, Folder };
    explicit InterruptCleanup(const std::string& path, Kind kind = Kind::File);
    ~InterruptCleanup();
    InterruptCleanup(const InterruptCleanup&) = delete;
    InterruptCleanup& operator=(const InterruptCleanup&) = delete;

private:
    int slot_;
};

}  // namespace quillet::files
