#include "sweepwin/sweep_worker.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <utility>

namespace quillet::sweepwin {

// Shared with the thread, which may outlive a window that is gone.
struct SweepWorker::Job {
    std::atomic<bool> cancelled{false};
    mutable std::mutex mutex;
    Progress progress;
    Outcome outcome;
};

void SweepWorker::Start(HWND window, WPARAM generation, std::string path, std::int16_t anType,
                        std::shared_ptr<const measurement::Measurement> measured, measurement::ReadOptions options) {
    Stop();
    job_ = std::make_shared<Job>();
    thread_ = std::thread([job = job_, window, generation, path = std::move(path), anType,
                           measured = std::move(measured), options = std::move(options)] {
        const auto progress = [&job, window, generation](std::size_t done, std::size_t total) {
            {
                const std::lock_guard lock(job->mutex);
                job->progress = {done, total};
            }
            ::PostMessageW(window, kProgressMessage, generation, 0);
        };
        try {
            auto result = sweepcore::EvaluateSweep(path, anType, measured, job->cancelled, progress, options);
            const std::lock_guard lock(job->mutex);
            job->outcome.result = std::move(result);
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
