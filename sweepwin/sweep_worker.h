// A file read and evaluated on a thread of its own, the news sent to a
// window as posted messages, so everything the window shows changes on its
// own thread. A message carries the evaluation's generation: news of an
// evaluation since replaced can be told apart and dropped.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "sweepcore/sweep_job.h"

namespace quillet::sweepwin {

class SweepWorker {
public:
    static constexpr UINT kProgressMessage = WM_APP + 1;  // wParam: the generation
    static constexpr UINT kDoneMessage = WM_APP + 2;

    SweepWorker() = default;
    ~SweepWorker() { Stop(); }
    SweepWorker(const SweepWorker&) = delete;
    SweepWorker& operator=(const SweepWorker&) = delete;

    // Stops any evaluation still running first. Without measured points the
    // file is read, with the options; with them, measuredSha256 is the
    // fingerprint of the bytes they were read from.
    void Start(HWND window, WPARAM generation, std::string path, std::int16_t anType,
               std::shared_ptr<const measurement::Measurement> measured, measurement::ReadOptions options,
               std::optional<std::string> measuredSha256 = std::nullopt);
    void Cancel();
    // Cancels and waits; the worker stops between two points.
    void Stop();
    bool Busy() const { return thread_.joinable(); }

    struct Progress {
        std::size_t done = 0;
        std::size_t total = 0;  // 0 while the file is being read
    };
    Progress LastProgress() const;

    // What came of it, once done: a result, or the message of a file that
    // could not be read, or neither when cancelled. Waits for the thread.
    struct Outcome {
        std::optional<sweepcore::SweepResult> result;
        std::optional<std::string> error;
        // Of the bytes the result was evaluated from; none when the file
        // changed while it was read.
        std::optional<std::string> sha256;
    };
    Outcome Finish();

private:
    struct Job;
    std::thread thread_;
    std::shared_ptr<Job> job_;
};

}  // namespace quillet::sweepwin
