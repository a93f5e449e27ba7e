#include "sweep/parallel_evaluation.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace quillet::sweep {
namespace {

constexpr std::size_t kBatchPoints = 4096;
constexpr std::size_t kChunkPoints = 256;  // what one thread takes at a time
constexpr std::size_t kBatchesHeld = 2;    // being evaluated while the next is read

struct Batch {
    std::vector<measurement::MeasuredPoint> measured;
    std::vector<EvaluatedPoint> evaluated;
    std::vector<std::string> texts;  // with a Format
    std::size_t claimed = 0;         // points handed to a thread
    std::size_t finished = 0;

    bool Done() const { return finished == measured.size(); }

    // Emptied for the next points, its storage kept.
    void Clear() {
        measured.clear();
        evaluated.clear();
        texts.clear();
        claimed = finished = 0;
    }
};

}  // namespace

struct ParallelEvaluator::State {
    State(std::int16_t type, Emit emitPoint, Format formatPoint)
        : anType(type), emit(std::move(emitPoint)), format(std::move(formatPoint)) {}

    std::int16_t anType;
    Emit emit;
    Format format;
    Batch filling;
    // Batches emitted, kept for their storage: a fresh megabyte a batch
    // would come from the system, page by page, every time.
    std::vector<Batch> spare;

    std::mutex mutex;
    std::condition_variable work;      // a batch came, or stop
    std::condition_variable finished;  // a chunk was finished
    std::deque<Batch> held;            // the oldest first
    std::exception_ptr failure;
    bool stop = false;
    std::thread helper;

    // The next chunk of the oldest batch with points left, under the lock.
    Batch* Claim(std::size_t& begin, std::size_t& end) {
        for (Batch& batch : held) {
            if (batch.claimed < batch.measured.size()) {
                begin = batch.claimed;
                end = std::min(begin + kChunkPoints, batch.measured.size());
                batch.claimed = end;
                return &batch;
            }
        }
        return nullptr;
    }

    // Evaluates a claimed chunk outside the lock and reports it done.
    void Run(std::unique_lock<std::mutex>& lock, Batch& batch, std::size_t begin, std::size_t end) {
        lock.unlock();
        std::exception_ptr thrown;
        try {
            for (std::size_t i = begin; i < end; ++i) {
                batch.evaluated[i] = EvaluatePoint(batch.measured[i], anType);
                if (format)
                    batch.texts[i] = format(batch.evaluated[i]);
            }
        } catch (...) {
            thrown = std::current_exception();
        }
        lock.lock();
        if (thrown && !failure)
            failure = thrown;
        batch.finished += end - begin;
        finished.notify_all();
    }

    void Help() {
        std::unique_lock lock(mutex);
        for (;;) {
            std::size_t begin = 0, end = 0;
            Batch* batch = nullptr;
            work.wait(lock, [&] { return stop || (batch = Claim(begin, end)) != nullptr; });
            if (stop)
                return;
            Run(lock, *batch, begin, end);
        }
    }

    // Helps with the oldest batch until it is done, then emits it.
    void EmitOldest() {
        std::unique_lock lock(mutex);
        Batch& oldest = held.front();
        std::size_t begin = 0, end = 0;
        while (oldest.claimed < oldest.measured.size()) {
            Batch* batch = Claim(begin, end);
            Run(lock, *batch, begin, end);
        }
        finished.wait(lock, [&] { return oldest.Done(); });
        if (failure)
            std::rethrow_exception(failure);
        Batch done = std::move(held.front());
        held.pop_front();
        lock.unlock();
        static const std::string none;
        for (std::size_t i = 0; i < done.evaluated.size(); ++i)
            emit(done.evaluated[i], format ? done.texts[i] : none);
        done.Clear();
        spare.push_back(std::move(done));
    }

    void Submit() {
        if (filling.measured.empty())
            return;
        filling.evaluated.resize(filling.measured.size());
        if (format)
            filling.texts.resize(filling.measured.size());
        {
            const std::lock_guard lock(mutex);
            held.push_back(std::move(filling));
        }
        work.notify_one();
        if (spare.empty()) {
            filling = Batch{};
            filling.measured.reserve(kBatchPoints);
        } else {
            filling = std::move(spare.back());
            spare.pop_back();
        }
        while (held.size() > kBatchesHeld)
            EmitOldest();
    }
};

ParallelEvaluator::ParallelEvaluator(std::int16_t anType, Emit emit, Format format, unsigned threads)
    : state_(std::make_unique<State>(anType, std::move(emit), std::move(format))) {
    if (threads == 0)
        threads = std::thread::hardware_concurrency();
    state_->filling.measured.reserve(kBatchPoints);
    // At most one helper: with reading and writing on the caller's thread,
    // two threads keep two cores busy, and more would wait on the reader.
    if (threads > 1)
        state_->helper = std::thread([state = state_.get()] { state->Help(); });
}

ParallelEvaluator::~ParallelEvaluator() {
    {
        const std::lock_guard lock(state_->mutex);
        state_->stop = true;
    }
    state_->work.notify_all();
    if (state_->helper.joinable())
        state_->helper.join();
}

void ParallelEvaluator::Add(const measurement::MeasuredPoint& point) {
    state_->filling.measured.push_back(point);
    if (state_->filling.measured.size() == kBatchPoints)
        state_->Submit();
}

void KeepFreedMemoryForReuse() {
#if defined(__GLIBC__)
    // A run keeps a few megabytes; more than this freed at the top still
    // goes back.
    constexpr int kKeptBytes = 256 << 20;
    mallopt(M_TRIM_THRESHOLD, kKeptBytes);
#endif
}

void ParallelEvaluator::Finish() {
    state_->Submit();
    while (!state_->held.empty())
        state_->EmitOldest();
}

}  // namespace quillet::sweep
