// A sweep evaluated on every core while it is read, the points handed on in
// the order they were read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "measurement/measurement.h"
#include "sweep/evaluation.h"

namespace quillet::sweep {

// Points are gathered into batches; a helper thread and the caller's own
// thread evaluate them (a point's result depends on nothing but the point
// and the AN type), and the caller's thread hands every point of a finished
// batch to `emit`, in reading order. At most a few batches are held at
// once, so memory does not grow with the sweep.
class ParallelEvaluator {
public:
    // A point's text (a report's row), made by the thread that evaluated
    // it, so formatting a long sweep is shared out too; it must depend on
    // the point alone.
    using Format = std::function<std::string(const EvaluatedPoint&)>;
    // The point with its text; the text is empty without a Format.
    using Emit = std::function<void(const EvaluatedPoint&, const std::string& text)>;

    // threads: how many evaluate, the caller's included; 0: one per core.
    ParallelEvaluator(std::int16_t anType, Emit emit, Format format = {}, unsigned threads = 0);
    ~ParallelEvaluator();
    ParallelEvaluator(const ParallelEvaluator&) = delete;
    ParallelEvaluator& operator=(const ParallelEvaluator&) = delete;

    // May emit earlier points. Rethrows what an evaluation threw.
    void Add(const measurement::MeasuredPoint& point);
    // Emits every point not yet emitted.
    void Finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Asks the C library to keep memory freed at the top of its heaps instead
// of handing it back to the system at once: evaluating threads free and take
// again a few megabytes with every batch, and memory handed back is paid for
// again with a page fault a page, a sixth of a long sweep's time. For the
// programs that evaluate sweeps, once at the start; nothing where the C
// library has no such setting.
void KeepFreedMemoryForReuse();

}  // namespace quillet::sweep
