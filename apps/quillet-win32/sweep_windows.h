// The Windows calculator and its sweep windows together: files dropped on
// the calculator, named on the command line or chosen with Ctrl+O open
// sweep windows beside it, and a sweep window's row goes into the
// calculator.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sweepwin/sweep_window.h"
#include "win32/main_window.h"

namespace quillet::app {

class SweepWindows : public sweepwin::SweepWindowHost {
public:
    SweepWindows(HINSTANCE instance, win32::MainWindow& calculator);
    ~SweepWindows() override;  // closes every sweep window
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

    // sweepwin::SweepWindowHost
    void OpenRequested(HWND owner) override { OpenWithDialog(owner); }
    void OpenFileRequested(HWND, const std::string& path) override { Open(path); }
    void PointActivated(const std::string& frequency, const std::string& magnitude, const std::string& phase,
                        std::int16_t anType) override;
    void Closed(sweepwin::SweepWindow& window) override;
    void OpenFailed(sweepwin::SweepWindow& window, const std::string& message) override;
    void RecordVerificationRequested(sweepwin::SweepWindow& window) override;
    void RegisterRequested(HWND owner) override;

private:
    void Place(const sweepwin::SweepWindow& window);

    HINSTANCE instance_;
    win32::MainWindow& calculator_;
    std::vector<std::unique_ptr<sweepwin::SweepWindow>> windows_;
    // Closed windows, let go once their own messages are done.
    std::vector<std::unique_ptr<sweepwin::SweepWindow>> closed_;
    int placed_ = 0;
};

}  // namespace quillet::app
