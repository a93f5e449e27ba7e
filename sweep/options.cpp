#include "options.h"

#include <stdexcept>

#include "plot_format.h"
#include "text_lines.h"

namespace quillet::sweep {

const char* const kUsage =
    "usage: an-sweep [options] FILE\n"
    "Evaluates a measured AN impedance sweep (Touchstone .s1p or .ts one-port file, or delimited\n"
    "text whose header names its columns) with the calculator's engine. FILE - reads standard input.\n"
    "\n"
    "  --type 1|2|3|4              AN type (default 1); --list-types shows them\n"
    "  --format table|csv|json     output format (default table)\n"
    "  --output FILE               write the result to FILE instead of the terminal\n"
    "  --plot FILE.svg|FILE.png    draw the deviation against frequency\n"
    "  --columns SPEC              what the columns of delimited text hold, such as\n"
    "                              f:Hz,re:ohm,im:ohm (overrides a header)\n"
    "  --check                     exit status 1 when a point lies outside the tolerance\n"
    "                              or its worst case is unbounded\n"
    "  --list-types                list the AN types and exit\n"
    "  --help                      show this text and exit\n"
    "\n"
    "Exit status: 0 done, 1 a point outside the tolerance or unbounded (with --check), 2 bad input\n"
    "or usage.\n";

Options ParseOptions(const std::vector<std::string>& arguments) {
    Options options;
    auto value = [&](std::size_t& i) -> const std::string& {
        if (i + 1 >= arguments.size())
            throw UsageError(arguments[i] + " needs a value");
        return arguments[++i];
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--type") {
            const std::string& type = value(i);
            if (type.size() != 1 || type[0] < '1' || type[0] > '4')
                throw UsageError("--type takes 1, 2, 3 or 4, not '" + type + "'");
            options.anType = static_cast<std::int16_t>(type[0] - '0');
        } else if (argument == "--format") {
            const std::string& format = value(i);
            if (format == "table") options.format = ReportFormat::Table;
            else if (format == "csv") options.format = ReportFormat::Csv;
            else if (format == "json") options.format = ReportFormat::Json;
            else throw UsageError("--format takes table, csv or json, not '" + format + "'");
        } else if (argument == "--output") {
            options.output = value(i);
        } else if (argument == "--plot") {
            const std::string& plot = value(i);
            if (plot.size() <= 4 || !PlotFormatFromFileName(plot))
                throw UsageError("--plot takes a file name ending in .svg or .png");
            options.plot = plot;
        } else if (argument == "--columns") {
            try {
                options.readOptions.columns = ParseColumnSpec(value(i));
            } catch (const std::invalid_argument& error) {
                throw UsageError(std::string("--columns: ") + error.what());
            }
        } else if (argument == "--check") {
            options.check = true;
        } else if (argument == "--list-types") {
            options.listTypes = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument.size() > 1 && argument[0] == '-') {
            throw UsageError("unknown option '" + argument + "'");
        } else if (!options.input.empty()) {
            throw UsageError("one measurement file at a time");
        } else {
            options.input = argument;
        }
    }
    if (options.input.empty() && !options.help && !options.listTypes)
        throw UsageError("no measurement file given");
    return options;
}

}  // namespace quillet::sweep
