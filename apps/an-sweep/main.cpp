// an-sweep: a measured AN impedance sweep in, the deviation per frequency out.
// Points are read, evaluated and written one at a time, so memory stays
// small however long the sweep; the outputs are put in place only once the
// whole run has succeeded.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <filesystem>
#endif

#include <cerrno>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/an_types.h"
#include "measurement/read_measurement.h"
#include "plot/deviation_plot.h"
#include "plot/impedance_plot.h"
#if QUILLET_PNG_WITH_QT
#include "apps/an-sweep/qt_pngs.h"
#else
#include "plotwin/png_file.h"
#endif
#include "apps/an-sweep/options.h"
#include "files/atomic_file.h"
#include "files/file_identity.h"
#include "files/interrupt_cleanup.h"
#include "quillet/version.h"
#include "sweep/evaluation.h"
#include "sweep/parallel_evaluation.h"
#include "sweep/plot_format.h"
#include "sweep/report.h"

using namespace quillet::files;
using namespace quillet::app;
using namespace quillet::sweep;
using namespace quillet::measurement;

namespace {

// With --check, the sweep's outcome; --help's footer says the same.
constexpr int kFail = 1;  // also an unbounded worst case
constexpr int kBadInput = 2;
constexpr int kConditionalPass = 3;
constexpr int kConditionalFail = 4;

int Fail(const std::string& message) {
    std::cerr << "an-sweep: " << message << '\n';
    return kBadInput;
}

// Writing a result over the measurement would lose the measurement.
std::optional<std::string> OutputsClash(const Options& options) {
    const auto isInput = [&](const std::string& name) {
        return options.input == kStandardInput ? IsStandardInput(name) : SameFile(name, options.input);
    };
    const std::pair<const char*, const std::optional<std::string>*> outputs[] = {
        {"--output", &options.output},
        {"--plot", &options.plot},
        {"--impedance-plot", &options.impedancePlot},
        {"--budget", &options.budget}};
    for (const auto& [option, name] : outputs) {
        if (*name && isInput(**name))
            return std::string(option) + " names the measurement file itself (" + **name + "); choose another file";
    }
    for (std::size_t i = 0; i < std::size(outputs); ++i) {
        for (std::size_t j = i + 1; j < std::size(outputs); ++j) {
            const auto& a = *outputs[i].second;
            const auto& b = *outputs[j].second;
            if (a && b && SameFile(*a, *b))
                return std::string(outputs[i].first) + " and " + outputs[j].first + " name the same file (" + *b + ")";
        }
    }
    return std::nullopt;
}

#ifndef _WIN32
// A descriptor the program was started without would go to the first file
// it opens: standard input would read a temporary file as the measurement,
// the report would go into one. Each closed one of the three is held by
// /dev/null, and the run told which were closed.
struct ClosedDescriptors {
    bool input = false;
    bool output = false;
};

ClosedDescriptors HoldClosedStandardDescriptors() {
    ClosedDescriptors closed;
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        closed.input = closed.input || fd == STDIN_FILENO;
        closed.output = closed.output || fd == STDOUT_FILENO;
        const int held = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (held >= 0 && held != fd) {
            ::dup2(held, fd);
            ::close(held);
        }
    }
    return closed;
}
#endif

// Each point as it is read: evaluated and formatted (on every core), then
// summarised, written and drawn in reading order.
class Pipeline : public PointSink {
public:
    using Plot = quillet::plot::DeviationPlot;
    using ImpedancePlot = quillet::plot::ImpedancePlot;
    Pipeline(std::int16_t anType, const std::vector<Band>& bands, const DecisionRule& rule, ReportWriter& writer,
             Plot* plot, ImpedancePlot* impedancePlot)
        : writer_(writer),
          plot_(plot),
          impedancePlot_(impedancePlot),
          summary_(SummaryOfBands(bands, rule)),
          evaluator_(
              anType, [this](const EvaluatedPoint& point, const std::string& row) { Emit(point, row); },
              [&writer](const EvaluatedPoint& point) { return writer.RowText(point); }) {}

    void Point(const MeasuredPoint& measured) override { evaluator_.Add(measured); }
    void Note(const std::string& message) override { std::cerr << "an-sweep: note: " << message << '\n'; }

    // After the last point has been read.
    const Summary& Finish() {
        evaluator_.Finish();
        return summary_;
    }

private:
    void Emit(const EvaluatedPoint& point, const std::string& row) {
        summary_.Add(point);
        writer_.WriteRow(row);
        if (plot_)
            plot_->Add(point);
        if (impedancePlot_)
            impedancePlot_->Add(point);
    }

    ReportWriter& writer_;
    Plot* plot_;
    ImpedancePlot* impedancePlot_;
    Summary summary_;
    ParallelEvaluator evaluator_;  // last: its helper stops before the rest goes
};

// A plot asked for on the command line: drawn as the points come, then
// written in its format into its file.
template <class Plot>
class PlotOutput {
public:
    PlotOutput(const std::optional<std::string>& name, std::int16_t anType, const std::string& source) : name_(name) {
        if (!name_)
            return;
        // The options took only names ending in a format's extension.
        format_ = PlotFormatFromFileName(*name_).value_or(PlotFormat::Svg);
        plot_.emplace(anType, source);
    }

    Plot* Drawn() { return plot_ ? &*plot_ : nullptr; }
    bool NeedsPng() const { return plot_ && format_ == PlotFormat::Png; }
    // Before anything is read, so a target that cannot be written stops
    // the run first.
    void Open() {
        if (name_)
            file_.emplace(*name_);
    }
    // The SVG at once; a PNG painted by Qt waits in PngJob() to be painted
    // with the others (see WritePng).
    void Write() {
        if (!plot_)
            return;
        if (format_ == PlotFormat::Svg) {
            file_->Stream() << plot_->Svg();
            return;
        }
#if QUILLET_PNG_WITH_QT
        png_.emplace();
        plot_->Draw(png_->drawing);
        png_->size = Plot::kFileSize;
#else
        file_->Stream() << quillet::plotwin::PngOf(*plot_);
#endif
    }
#if QUILLET_PNG_WITH_QT
    quillet::plotqt::PngJob* PngJob() { return png_ ? &*png_ : nullptr; }
    void WritePng() {
        if (png_)
            file_->Stream() << png_->png;
    }
#endif
    void Commit() {
        if (file_)
            file_->Commit();
    }

private:
    std::optional<std::string> name_;
    PlotFormat format_ = PlotFormat::Svg;
    std::optional<Plot> plot_;
    std::optional<AtomicFile> file_;
#if QUILLET_PNG_WITH_QT
    std::optional<quillet::plotqt::PngJob> png_;
#endif
};

int Run(const Options& options) {
    if (const auto clash = OutputsClash(options))
        return Fail(*clash);
    const std::string source = SourceName(options.input);

    PlotOutput<quillet::plot::DeviationPlot> deviationPlot(options.plot, options.anType, source);
    PlotOutput<quillet::plot::ImpedancePlot> impedancePlot(options.impedancePlot, options.anType, source);
#if QUILLET_PNG_WITH_QT
    std::optional<QtPngPainter> pngPainter;
    if (deviationPlot.NeedsPng() || impedancePlot.NeedsPng())
        pngPainter.emplace();
#endif
    // Every output is opened before anything is read, so a target that
    // cannot be written stops the run before it has written anything.
    std::optional<AtomicFile> output, budget;
    std::optional<HeldOutput> terminal;
    if (options.output)
        output.emplace(*options.output);
    else
        terminal.emplace();
    deviationPlot.Open();
    impedancePlot.Open();
    if (options.budget)
        budget.emplace(*options.budget);
    std::ostream& out = output ? output->Stream() : terminal->Stream();

    const auto writer = MakeReportWriter(options.format, out, options.anType, source, options.rule);
    Pipeline pipeline(options.anType, options.bands, options.rule, *writer, deviationPlot.Drawn(),
                      impedancePlot.Drawn());
    ReadMeasurementFile(options.input, options.readOptions, pipeline);
    const Summary& summary = pipeline.Finish();
    const std::vector<BudgetLine> lines = BudgetLines(summary.bands, options.anType);
    writer->Finish(summary, lines);
    if (budget)
        budget->Stream() << BudgetCsv(lines);
    deviationPlot.Write();
    impedancePlot.Write();
#if QUILLET_PNG_WITH_QT
    std::vector<quillet::plotqt::PngJob*> pngs;
    for (quillet::plotqt::PngJob* png : {deviationPlot.PngJob(), impedancePlot.PngJob()}) {
        if (png)
            pngs.push_back(png);
    }
    if (pngPainter)
        pngPainter->Paint(pngs);
    deviationPlot.WritePng();
    impedancePlot.WritePng();
#endif

#ifdef _WIN32
    // The same bytes as on Linux: LF line ends, also on the terminal.
    _setmode(STDOUT_FILENO, O_BINARY);
#endif
    if (output)
        output->Commit();
    else if (!terminal->Release(STDOUT_FILENO))
        return Fail("cannot write the result to the standard output");
    deviationPlot.Commit();
    impedancePlot.Commit();
    if (budget)
        budget->Commit();

    if (!options.check)
        return 0;
    if (summary.firstUnbounded)
        return kFail;
    switch (summary.verdict.outcome) {
    case Outcome::Pass: return 0;
    case Outcome::ConditionalPass: return kConditionalPass;
    case Outcome::ConditionalFail: return kConditionalFail;
    case Outcome::Fail: break;
    }
    return kFail;
}

}  // namespace

int main(int argc, char* argv[]) {
#ifdef _WIN32
    // The texts are UTF-8 (Ω, µ); a console shows them as such only when told.
    SetConsoleOutputCP(CP_UTF8);
#else
    const ClosedDescriptors closed = HoldClosedStandardDescriptors();
#endif
    RemoveTemporariesOnInterrupt();
    KeepFreedMemoryForReuse();
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
        std::cout << "an-sweep " << quillet::kVersion << '\n' << quillet::kLicenceLine << '\n';
        return 0;
    }
    if (options.listTypes) {
        for (const auto& type : quillet::kAnTypes)
            std::cout << type.number << "  " << type.caption << '\n';
        return 0;
    }
#ifndef _WIN32
    if (closed.input && options.input == kStandardInput)
        return Fail(
            "standard input: closed (the program was started without it); name the measurement file, or "
            "pipe it in");
    if (closed.output && !options.output)
        return Fail(
            "standard output: closed (the program was started without it); the report would be lost: "
            "redirect it, or name a file with --output");
#endif
    try {
        return Run(options);
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
}
