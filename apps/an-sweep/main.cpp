// an-sweep: a measured AN impedance sweep in, the deviation per frequency out.
// Points are read, evaluated and written one at a time, so memory stays
// small however long the sweep; the outputs are put in place only once the
// whole run has succeeded.
#include <QGuiApplication>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/an_types.h"
#include "measurement/read_measurement.h"
#include "plot/deviation_plot.h"
#include "quillet/version.h"
#include "sweep/atomic_file.h"
#include "sweep/evaluation.h"
#include "sweep/options.h"
#include "sweep/parallel_evaluation.h"
#include "sweep/plot_format.h"
#include "sweep/report.h"

using namespace quillet::sweep;
using namespace quillet::measurement;

namespace {

constexpr int kOutsideTolerance = 1;
constexpr int kBadInput = 2;

int Fail(const std::string& message) {
    std::cerr << "an-sweep: " << message << '\n';
    return kBadInput;
}

// The file a path names, by identity rather than spelling.
struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;

    bool SameFile(const FileIdentity& other) const {
        return exists && other.exists && device == other.device && inode == other.inode;
    }
};

FileIdentity Identity(const std::string& path) {
    struct stat status {};
    const int result = path == kStandardInput ? ::fstat(STDIN_FILENO, &status) : ::stat(path.c_str(), &status);
    if (result != 0)
        return {};
    return {true, status.st_dev, status.st_ino};
}

// Writing a result over the measurement would lose the measurement.
std::optional<std::string> OutputsClash(const Options& options) {
    const FileIdentity input = Identity(options.input);
    const FileIdentity output = options.output ? Identity(*options.output) : FileIdentity{};
    const FileIdentity plot = options.plot ? Identity(*options.plot) : FileIdentity{};
    if (output.SameFile(input))
        return "--output names the measurement file itself (" + *options.output + "); choose another file";
    if (plot.SameFile(input))
        return "--plot names the measurement file itself (" + *options.plot + "); choose another file";
    if (options.output && options.plot && CanonicalName(*options.output) == CanonicalName(*options.plot))
        return "--output and --plot name the same file (" + *options.plot + ")";
    return std::nullopt;
}

// Each point as it is read: evaluated (on every core), then summarised,
// written and drawn in reading order.
class Pipeline : public PointSink {
public:
    Pipeline(std::int16_t anType, ReportWriter& writer, quillet::plot::DeviationPlot* plot)
        : writer_(writer), plot_(plot), evaluator_(anType, [this](const EvaluatedPoint& point) { Emit(point); }) {}

    void Point(const MeasuredPoint& measured) override { evaluator_.Add(measured); }
    void Note(const std::string& message) override { std::cerr << "an-sweep: note: " << message << '\n'; }

    // After the last point has been read.
    const Summary& Finish() {
        evaluator_.Finish();
        return summary_;
    }

private:
    void Emit(const EvaluatedPoint& point) {
        summary_.Add(point);
        writer_.Row(point);
        if (plot_)
            plot_->Add(point);
    }

    ReportWriter& writer_;
    quillet::plot::DeviationPlot* plot_;
    Summary summary_;
    ParallelEvaluator evaluator_;  // last: its helper stops before the rest goes
};

int Run(const Options& options, int argc, char* argv[]) {
    if (const auto clash = OutputsClash(options))
        return Fail(*clash);
    const std::string source = SourceName(options.input);

    std::unique_ptr<QGuiApplication> application;
    std::optional<quillet::plot::DeviationPlot> plotted;
    if (options.plot) {
        // Drawing needs Qt's font machinery, never a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Qt warns when it finds no runtime directory, which drawing into
        // a file never needs.
        qputenv("QT_LOGGING_RULES", "qt.qpa.*=false;default.warning=false");
        application = std::make_unique<QGuiApplication>(argc, argv);
        plotted.emplace(options.anType, source);
    }
    // Both outputs are opened before anything is read, so a target that
    // cannot be written stops the run before it has written anything.
    std::optional<AtomicFile> output, plot;
    std::optional<HeldOutput> terminal;
    if (options.output)
        output.emplace(*options.output);
    else
        terminal.emplace();
    if (options.plot)
        plot.emplace(*options.plot);
    std::ostream& out = output ? output->Stream() : terminal->Stream();

    const auto writer = MakeReportWriter(options.format, out, options.anType, source);
    Pipeline pipeline(options.anType, *writer, plotted ? &*plotted : nullptr);
    ReadMeasurementFile(options.input, options.readOptions, pipeline);
    const Summary& summary = pipeline.Finish();
    writer->Finish(summary);
    if (plotted)
        plot->Stream() << plotted->Render(*PlotFormatFromFileName(*options.plot));

    if (output)
        output->Commit();
    else if (!terminal->Release(STDOUT_FILENO))
        return Fail("cannot write the result to the standard output");
    if (plot)
        plot->Commit();

    if (options.check && (summary.outsideTolerance > 0 || summary.firstUnbounded))
        return kOutsideTolerance;
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    Options options;
    try {
        options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        std::cerr << "an-sweep: " << error.what() << "\n\n" << UsageText();
        return kBadInput;
    }
    if (options.help) {
        std::cout << UsageText();
        return 0;
    }
    if (options.version) {
        std::cout << "an-sweep " << quillet::kVersion << '\n';
        return 0;
    }
    if (options.listTypes) {
        for (const auto& type : quillet::kAnTypes)
            std::cout << type.number << "  " << type.caption << '\n';
        return 0;
    }
    try {
        return Run(options, argc, argv);
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
}
