#include "files/interrupt_cleanup.h"

#include <atomic>
#include <csignal>
#include <cstring>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace quillet::files {
namespace {

// A handler may only read memory that never goes away: fixed slots, each
// with its name copied in. A run holds at most a report, a plot and a
// runtime folder at once.
constexpr int kSlots = 8;
constexpr std::size_t kLongestName = 4096;
enum : int { kFree, kFilling, kHeld };

struct Slot {
    std::atomic<int> state{kFree};
    bool folder = false;
    char name[kLongestName];
};

Slot slots[kSlots];

void RemoveRegistered() {
    for (Slot& slot : slots) {
        if (slot.state.load() != kHeld)
            continue;
#ifdef _WIN32
        // The console's handler runs on a thread of its own, not in a
        // signal: converting the name is allowed here. Files are opened
        // sharing their deletion, so an open one goes when the process does.
        wchar_t wide[kLongestName];
        if (::MultiByteToWideChar(CP_UTF8, 0, slot.name, -1, wide, static_cast<int>(kLongestName)) == 0)
            continue;
        if (slot.folder)
            ::RemoveDirectoryW(wide);
        else
            ::DeleteFileW(wide);
#else
        if (slot.folder)
            ::rmdir(slot.name);
        else
            ::unlink(slot.name);
#endif
    }
}

#ifdef _WIN32
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT ||
        event == CTRL_SHUTDOWN_EVENT)
        RemoveRegistered();
    return FALSE;  // the default handler ends the process
}
#else
void OnSignal(int signal) {
    RemoveRegistered();
    // Ended by the signal, as the caller expects (a shell reports 130 for
    // Ctrl+C, a pipe's reader sees no error).
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
#endif

}  // namespace

void RemoveTemporariesOnInterrupt() {
#ifdef _WIN32
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#else
    // SIGABRT too: a library that gives up (Qt without its platform
    // plugin, say) aborts the process, which must leave nothing behind
    // either.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGABRT}) {
        struct sigaction previous {};
        ::sigaction(signal, nullptr, &previous);
        if (previous.sa_handler == SIG_IGN)  // started with nohup, or in the background
            continue;
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
#endif
}

InterruptCleanup::InterruptCleanup(const std::string& path, Kind kind) : slot_(-1) {
    if (path.size() >= kLongestName)
        return;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!slots[i].state.compare_exchange_strong(expected, kFilling))
            continue;
        std::memcpy(slots[i].name, path.c_str(), path.size() + 1);
        slots[i].folder = kind == Kind::Folder;
        slots[i].state.store(kHeld);
        slot_ = i;
        return;
    }
}

InterruptCleanup::~InterruptCleanup() {
    if (slot_ >= 0)
        slots[slot_].state.store(kFree);
}

}  // namespace quillet::files
