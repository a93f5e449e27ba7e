#include "sweepwin/sweep_worker.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <utility>

#include "files/sha256.h"

namespace quillet::sweepwin {

// Shared with the thread, which may outlive a window that is gone.
struct SweepWorker::Job {
    std::atomic<bool> cancelled{false};
    mutable std::mutex mutex;
    Progress progress;
    Outcome outcome;
};

void SweepWorker::Start(HWND window, WPARAM generation, std::string path, std::int16_t anType,
                        std::shared_ptr<const measurement::Measurement> measured, measurement::ReadOptions options,
                        std::optional<std::string> measuredSha256) {
    Stop();
    job_ = std::make_shared<Job>();
    thread_ =
        std::thread([job = job_, window, generation, path = std::move(path), anType, measured = std::move(measured),
                     options = std::move(options), measuredSha256 = std::move(measuredSha256)] {
            const auto progress = [&job, window, generation](std::size_t done, std::size_t total) {
                {
                    const std::lock_guard lock(job->mutex);
                    job->progress = {done, total};
                }
                ::PostMessageW(window, kProgressMessage, generation, 0);
            };
            try {
                // The file is fingerprinted before and after it is read: when
                // both agree, the sweep shown is of those very bytes, and a
                // verification recorded later can be held against them.
                std::optional<std::string> sha256 = measured ? measuredSha256 : files::Sha256OfFile(path);
                auto result = sweepcore::EvaluateSweep(path, anType, measured, job->cancelled, progress, options);
                if (!measured && sha256 != files::Sha256OfFile(path))
                    sha256.reset();
                const std::lock_guard lock(job->mutex);
                job->outcome.result = std::move(result);
                job->outcome.sha256 = std::move(sha256);
            } catch (const std::exception& error) {
                const std::lock_guard lock(job->mutex);
                job->outcome.error = error.what();
            }
            ::PostMessageW(window, kDoneMessage, generation, 0);
        });
}

void SweepWorker::Cancel() {
    if (job_)
        job_->cancelled.store(true);
}

void SweepWorker::Stop() {
    Cancel();
    if (thread_.joinable())
        thread_.join();
}

SweepWorker::Progress SweepWorker::LastProgress() const {
    if (!job_)
        return {};
    const std::lock_guard lock(job_->mutex);
    return job_->progress;
}

SweepWorker::Outcome SweepWorker::Finish() {
    if (thread_.joinable())
        thread_.join();
    if (!job_)
        return {};
    const std::lock_guard lock(job_->mutex);
    return std::move(job_->outcome);
}

}  // namespace quillet::sweepwin
