// The lab's register in a window on plain Win32 controls, as the Qt
// register window: its networks, when each is next due, the history and
// trend of the one selected, and what can be done with a record.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "records/verification_register.h"

namespace quillet::registerwin {

class RecordList;
class RegisterWindow;

// What a register window asks of the program around it.
class RegisterWindowHost {
public:
    virtual ~RegisterWindowHost() = default;
    // A recorded measurement, written to the cache (UTF-8 name), to open in
    // a sweep window.
    virtual void OpenMeasurementRequested(HWND owner, const std::string& path) = 0;
    // The window is gone (closed by the user or by Close()); the host drops
    // it. Called from the window's WM_NCDESTROY.
    virtual void Closed(RegisterWindow& window) = 0;
};

class RegisterWindow {
public:
    // Shown at once, with no register open. cacheFolder: where recorded
    // measurements are written to be opened; empty for the user's own
    // (MeasurementCacheFolder()).
    RegisterWindow(HINSTANCE instance, RegisterWindowHost& host, std::string cacheFolder = {});
    ~RegisterWindow();  // destroys the window without telling the host
    RegisterWindow(const RegisterWindow&) = delete;
    RegisterWindow& operator=(const RegisterWindow&) = delete;

    HWND Handle() const;
    void Close();  // as the window's close box
    // The least outer size, frame included, at the window's DPI.
    SIZE LeastSize() const;

    // Shows the register in the file (UTF-8), remembered for the next time;
    // the register's message when it refuses the file, which then stays as
    // it was, as does the register on show.
    std::string OpenRegister(const std::string& path, records::OpenFor openFor);
    // The register on show; none before one has been opened.
    records::VerificationRegister* Register();
    // Reads the networks and the selected one's history again.
    void Refresh();

    std::optional<std::string> SelectedSerial() const;
    std::optional<std::int64_t> SelectedVerification() const;

    // The selected record or history as a PDF (UTF-8 name), never over the
    // register. Throws std::runtime_error or measurement::ReadError. The
    // menu's commands ask for the name and then call these.
    void PrintRecord(const std::string& file);
    void PrintHistory(const std::string& file);

    // Dialog keys (Tab, Enter, access keys) and the window's accelerators,
    // taken from the message queue. True when handled.
    bool PreTranslate(const MSG& message);

    // For tests: the lists, and the controls by name ("Networks",
    // "History", "Trend", "Status", and the buttons "AddNetwork",
    // "PrintHistory", "OpenMeasurement", "PrintRecord", "Withdraw"; nullptr
    // otherwise), and whether the trend shows a network.
    const RecordList& Networks() const;
    const RecordList& History() const;
    HWND Control(std::string_view name) const;
    bool TrendShown() const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quillet::registerwin
