#include "apps/an-sweep/options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <stdexcept>

#include "sweep/plot_format.h"

namespace quillet::app {
using sweep::PlotFormatFromFileName;
using sweep::ReportFormat;
namespace {

struct Texts {
    std::string type, format, columns, bands;
};

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
    app->add_flag("--check", options.check,
                  "exit status 1 when a point lies outside the tolerance or its worst case is unbounded");
    app->add_flag("--list-types", options.listTypes, "list the AN types and exit");
    app->add_flag("--version", options.version, "show the version and the licence, and exit");
    app->add_option("FILE", options.input, "the measurement; - reads standard input")->type_name("");
    app->footer(
        "Exit status: 0 done, 1 a point outside the tolerance or unbounded (with --check), 2 bad input\n"
        "or usage.");
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
    if (options.input.empty() && !options.listTypes && !options.version)
        throw UsageError("no measurement file given");
    return options;
}

}  // namespace quillet::app
