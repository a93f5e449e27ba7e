#include "sweepcore/sweep_job.h"

#include <chrono>
#include <utility>

#include "measurement/read_measurement.h"

namespace quillet::sweepcore {
namespace {

struct Cancelled {};

// Progress at most every 50 ms: often enough for a smooth bar, rarely
// enough not to flood the window's event queue.
class Throttle {
public:
    explicit Throttle(const ProgressFunction& progress) : progress_(progress) {}
    void operator()(std::size_t done, std::size_t total) {
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ < std::chrono::milliseconds(50))
            return;
        last_ = now;
        progress_(done, total);
    }

private:
    const ProgressFunction& progress_;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

class Collector : public measurement::PointSink {
public:
    Collector(const std::atomic<bool>& cancelled, Throttle& throttle) : cancelled_(cancelled), throttle_(throttle) {}

    void Point(const measurement::MeasuredPoint& point) override {
        if (cancelled_.load(std::memory_order_relaxed))
            throw Cancelled{};
        measurement_.points.push_back(point);
        throttle_(measurement_.points.size(), 0);
    }
    void Note(const std::string& message) override { measurement_.notes.push_back(message); }

    measurement::Measurement Take() { return std::move(measurement_); }

private:
    const std::atomic<bool>& cancelled_;
    Throttle& throttle_;
    measurement::Measurement measurement_;
};

}  // namespace

std::optional<SweepResult> EvaluateSweep(const std::string& path, std::int16_t anType,
                                         std::shared_ptr<const measurement::Measurement> measured,
                                         const std::atomic<bool>& cancelled, const ProgressFunction& progress,
                                         const measurement::ReadOptions& options) {
    Throttle throttle(progress);
    SweepResult result;
    result.source = measurement::SourceName(path);
    if (!measured) {
        Collector collector(cancelled, throttle);
        try {
            measurement::ReadMeasurementFile(path, options, collector);
        } catch (const Cancelled&) {
            return std::nullopt;
        }
        measured = std::make_shared<const measurement::Measurement>(collector.Take());
    }
    auto plot = std::make_shared<plot::DeviationPlot>(anType, result.source);
    auto impedancePlot = std::make_shared<plot::ImpedancePlot>(anType, result.source);
    auto evaluation = sweep::Evaluate(
        measured, anType,
        [&](std::size_t done, std::size_t total) {
            if (cancelled.load(std::memory_order_relaxed))
                return false;
            throttle(done, total);
            return true;
        },
        sweep::DefaultBands(),
        [&](const sweep::EvaluatedPoint& point) {
            plot->Add(point);
            impedancePlot->Add(point);
        });
    if (!evaluation)
        return std::nullopt;
    // Searching the tolerance region takes tens of milliseconds a band:
    // here, not on the window's thread.
    for (const sweep::BandTally& band : evaluation->summary.bands) {
        if (cancelled.load(std::memory_order_relaxed))
            return std::nullopt;
        const auto line = sweep::BudgetLines({band}, anType);
        result.budget.insert(result.budget.end(), line.begin(), line.end());
    }
    result.measured = std::move(measured);
    result.evaluation = std::make_shared<sweep::Evaluation>(std::move(*evaluation));
    result.plot = std::move(plot);
    result.impedancePlot = std::move(impedancePlot);
    return result;
}

}  // namespace quillet::sweepcore
