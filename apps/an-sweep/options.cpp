#include "apps/an-sweep/options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "sweep/plot_format.h"
#include "sweep/uncertainty_text.h"

namespace quillet::app {
using sweep::PlotFormatFromFileName;
using sweep::ReportFormat;
namespace {

struct Texts {
    std::string type, format, columns, bands, uncertainty, coverage;
};

sweep::MeasurementUncertainty ParseUncertainty(const std::string& text) {
    const auto uncertainty = sweep::MagnitudeAndPhaseOf(text, 2.0);
    if (!uncertainty)
        throw UsageError(
            "--uncertainty takes MAG,PHASE: the expanded uncertainty in % of the measured magnitude and in "
            "degrees, two numbers of 0 or more such as 1.5,2; not '" +
            text + "'");
    return *uncertainty;
}

// Simple acceptance, or the guarded rule of --uncertainty and --coverage.
sweep::DecisionRule ParseRule(const CLI::App& app, const Texts& texts) {
    sweep::DecisionRule rule;
    if (app.count("--uncertainty") > 0)
        rule.uncertainty = ParseUncertainty(texts.uncertainty);
    if (app.count("--coverage") == 0)
        return rule;
    if (!rule.uncertainty)
        throw UsageError("--coverage needs --uncertainty: it says at what coverage that was stated");
    const auto k = sweep::CoverageFactorOf(texts.coverage);
    if (!k)
        throw UsageError("--coverage takes the coverage factor of --uncertainty, a number above 0 such as 2; not '" +
                         texts.coverage + "'");
    rule.uncertainty->coverageFactor = *k;
    return rule;
}

// The command line's options; the help text is made from them.
std::unique_ptr<CLI::App> MakeParser(Options& options, Texts& texts) {
    auto app = std::make_unique<CLI::App>(
        "Evaluates a measured AN impedance sweep (Touchstone .s1p or .ts one-port file, or delimited text\n"
        "whose header names its columns) with the calculator's engine.",
        "an-sweep");
    app->add_option("--type", texts.type, "AN type, 1 to 4 (default 1); --list-types shows them")->type_name("N");
    app->add_option("--format", texts.format, "output format: table (default), csv or json")->type_name("FORMAT");
    app->add_option("--output", options.output, "write the result to FILE instead of the terminal")->type_name("FILE");
    app->add_option("--plot", options.plot, "draw the deviation against frequency into FILE.svg or FILE.png")
        ->type_name("FILE");
    app->add_option("--impedance-plot", options.impedancePlot,
                    "draw |Z| and phase against the nominal and its tolerance into FILE.svg or FILE.png")
        ->type_name("FILE");
    app->add_option("--bands", texts.bands,
                    "the budget's frequency bands in MHz, such as 0.009-0.15,0.15-30 (the default)")
        ->type_name("LIST");
    app->add_option("--budget", options.budget, "write the budget lines per band as CSV into FILE")->type_name("FILE");
    app->add_option("--columns", texts.columns,
                    "what the columns of delimited text hold, such as f:Hz,re:ohm,im:ohm (overrides a header)")
        ->type_name("LIST");
    app->add_option("--uncertainty", texts.uncertainty,
                    "judge the tolerance under a guard band: the measurement's expanded uncertainty in % of\n"
                    "the measured magnitude and in degrees, such as 1.5,2")
        ->type_name("MAG,PHASE");
    app->add_option("--coverage", texts.coverage, "the coverage factor k of --uncertainty (default 2)")->type_name("K");
    app->add_flag("--check", options.check,
                  "exit status 1 when a point fails the tolerance or its worst case is unbounded;\n"
                  "3 and 4 for a conditional pass and fail under --uncertainty");
    app->add_flag("--list-types", options.listTypes, "list the AN types and exit");
    app->add_flag("--version", options.version, "show the version and the licence, and exit");
    app->add_option("FILE", options.input, "the measurement; - reads standard input")->type_name("");
    app->footer(
        "Exit status: 0 done (with --check: every point passes), 1 a point fails the tolerance or is\n"
        "unbounded (with --check), 2 bad input or usage, 3 a conditional pass and 4 a conditional fail\n"
        "(with --check and --uncertainty; the worst point decides).");
    app->get_formatter()->column_width(24);
    return app;
}

}  // namespace

std::string UsageText() {
    Options options;
    Texts texts;
    return MakeParser(options, texts)->help();
}

Options ParseOptions(const std::vector<std::string>& arguments) {
    Options options;
    Texts texts;
    const auto app = MakeParser(options, texts);
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());  // as the parser takes them
    try {
        app->parse(reversed);
    } catch (const CLI::CallForHelp&) {
        options.help = true;
        return options;
    } catch (const CLI::ParseError& error) {
        throw UsageError(error.what());
    }
    if (!texts.type.empty()) {
        if (texts.type.size() != 1 || texts.type[0] < '1' || texts.type[0] > '4')
            throw UsageError("--type takes 1, 2, 3 or 4, not '" + texts.type + "'");
        options.anType = static_cast<std::int16_t>(texts.type[0] - '0');
    }
    if (texts.format == "csv")
        options.format = ReportFormat::Csv;
    else if (texts.format == "json")
        options.format = ReportFormat::Json;
    else if (!texts.format.empty() && texts.format != "table")
        throw UsageError("--format takes table, csv or json, not '" + texts.format + "'");
    if (options.plot && (options.plot->size() <= 4 || !PlotFormatFromFileName(*options.plot)))
        throw UsageError("--plot takes a file name ending in .svg or .png");
    if (options.impedancePlot &&
        (options.impedancePlot->size() <= 4 || !PlotFormatFromFileName(*options.impedancePlot)))
        throw UsageError("--impedance-plot takes a file name ending in .svg or .png");
    if (app->count("--bands") > 0) {
        try {
            options.bands = sweep::ParseBands(texts.bands);
        } catch (const std::invalid_argument& error) {
            throw UsageError(error.what());
        }
    }
    if (app->count("--columns") > 0) {
        try {
            options.readOptions.columns = measurement::ParseColumnList(texts.columns);
        } catch (const std::invalid_argument& error) {
            throw UsageError(std::string("--columns: ") + error.what());
        }
    }
    options.rule = ParseRule(*app, texts);
    if (options.input.empty() && !options.listTypes && !options.version)
        throw UsageError("no measurement file given");
    return options;
}

}  // namespace quillet::app
