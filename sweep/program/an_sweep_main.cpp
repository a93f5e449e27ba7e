// an-sweep: a measured AN impedance sweep in, the deviation per frequency out.
#include <QGuiApplication>

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "an_types.h"
#include "atomic_file.h"
#include "deviation_plot.h"
#include "evaluation.h"
#include "options.h"
#include "read_measurement.h"

using namespace quillet::sweep;

namespace {

constexpr int kOutsideTolerance = 1;
constexpr int kBadInput = 2;

int Fail(const std::string& message) {
    std::cerr << "an-sweep: " << message << '\n';
    return kBadInput;
}

}  // namespace

int main(int argc, char* argv[]) {
    Options options;
    try {
        options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        std::cerr << "an-sweep: " << error.what() << "\n\n" << kUsage;
        return kBadInput;
    }
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    if (options.listTypes) {
        for (const auto& type : quillet::kAnTypes)
            std::cout << type.number << "  " << type.caption << '\n';
        return 0;
    }

    try {
        const Measurement measurement = ReadMeasurementFile(options.input);
        const Evaluation evaluation = Evaluate(measurement, options.anType);
        const std::string report = WriteReport(evaluation, options.format, options.input);
        if (options.plot) {
            // Drawing needs Qt's font machinery, never a display.
            qputenv("QT_QPA_PLATFORM", "offscreen");
            QGuiApplication application(argc, argv);
            quillet::plot::DeviationPlot plot(options.anType, options.input);
            for (const EvaluatedPoint& point : evaluation.points)
                plot.Add(point);
            WriteFileAtomically(*options.plot, plot.Render(quillet::plot::PlotFormatFromFileName(*options.plot).value()));
        }
        if (options.output)
            WriteFileAtomically(*options.output, report);
        else if (!(std::cout << report << std::flush))
            return Fail("cannot write the result to the standard output");
        if (options.check && evaluation.summary.outsideTolerance > 0)
            return kOutsideTolerance;
        return 0;
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
}
