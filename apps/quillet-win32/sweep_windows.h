// The Windows calculator and its sweep windows together: files dropped on
// the calculator, named on the command line or chosen with Ctrl+O open
// sweep windows beside it, and a sweep window's row goes into the
// calculator. The verification register's window belongs with them: a
// recorded measurement opens in a sweep window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "registerwin/register_window.h"
#include "sweepwin/sweep_window.h"
#include "win32/main_window.h"

namespace quillet::app {

class SweepWindows : public sweepwin::SweepWindowHost, public registerwin::RegisterWindowHost {
public:
    SweepWindows(HINSTANCE instance, win32::MainWindow& calculator);
    ~SweepWindows() override;  // closes every sweep window and the register's
    SweepWindows(const SweepWindows&) = delete;
    SweepWindows& operator=(const SweepWindows&) = delete;

    // A window per file (UTF-8 name), for the AN type the calculator
    // shows; a file already open brings its window forward.
    void Open(const std::string& path);
    void Open(const std::vector<std::string>& paths);
    void OpenWithDialog(HWND owner);

    // The sweep windows' keys, and the clearing up after a closed window,
    // from the message loop. True when handled.
    bool PreTranslate(const MSG& message);

    std::vector<sweepwin::SweepWindow*> Windows() const;
    void CloseAll();

    // The register window, made and placed beside the calculator the first
    // time, brought forward after. A path (UTF-8) opens that register,
    // started when there is none; without one, a fresh window opens the
    // register last used. What goes wrong is told over the window.
    registerwin::RegisterWindow& ShowRegister(const std::string& path = {});
    // Nothing while no register window is open.
    registerwin::RegisterWindow* Register() const { return register_.get(); }

    // sweepwin::SweepWindowHost
    void OpenRequested(HWND owner) override { OpenWithDialog(owner); }
    void OpenFileRequested(HWND, const std::string& path) override { Open(path); }
    void PointActivated(const std::string& frequency, const std::string& magnitude, const std::string& phase,
                        std::int16_t anType) override;
    void Closed(sweepwin::SweepWindow& window) override;
    void OpenFailed(sweepwin::SweepWindow& window, const std::string& message) override;
    void RecordVerificationRequested(sweepwin::SweepWindow& window) override;
    void RegisterRequested(HWND owner) override;

    // registerwin::RegisterWindowHost
    void OpenMeasurementRequested(HWND, const std::string& path) override { Open(path); }
    void Closed(registerwin::RegisterWindow& window) override;

private:
    void Place(HWND window, SIZE least);

    HINSTANCE instance_;
    win32::MainWindow& calculator_;
    std::vector<std::unique_ptr<sweepwin::SweepWindow>> windows_;
    // Closed windows, let go once their own messages are done.
    std::vector<std::unique_ptr<sweepwin::SweepWindow>> closed_;
    std::unique_ptr<registerwin::RegisterWindow> register_, closedRegister_;
    int placed_ = 0;
};

}  // namespace quillet::app
