#include "read_measurement.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "csv_reader.h"
#include "text_lines.h"
#include "touchstone_reader.h"

namespace quillet::sweep {
namespace {

std::string Ending(const std::string& file) {
    const auto slash = file.find_last_of('/');
    const auto dot = file.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return Lowercase(std::string_view(file).substr(dot + 1));
}

bool StartsLikeTouchstone(std::string_view text) {
    for (std::string_view line : SplitLines(text)) {
        line = Trim(line);
        if (line.empty())
            continue;
        return line.front() == '!' || line.front() == '#' || line.front() == '[';
    }
    return false;
}

// Every reader promises finite values; a last check keeps that promise for
// whatever a reader may have missed.
Measurement Checked(Measurement measurement, const std::string& file) {
    for (const MeasuredPoint& p : measurement.points) {
        if (!std::isfinite(p.frequencyMHz) || !std::isfinite(p.impedance.real()) || !std::isfinite(p.impedance.imag()))
            throw ReadError(file, 0, "a value out of the range of numbers");
    }
    return measurement;
}

Measurement Read(std::string_view bytes, const std::string& file) {
    // Spreadsheets start their text files with a byte-order mark.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        bytes.remove_prefix(kByteOrderMark.size());
    if (!LooksLikeText(bytes))
        throw ReadError(file, 0, "not a text file; expected a Touchstone (.s1p) or CSV file");
    if (Trim(bytes).empty())
        throw ReadError(file, 0, "the file is empty");
    const std::string ending = Ending(file);
    // Touchstone version 1 names its port count in the ending: .s2p, .s3p...
    if (ending.size() >= 3 && ending.front() == 's' && ending.back() == 'p' && ending != "s1p")
        throw ReadError(file, 0, "a ." + ending + " file holds more than one port; an-sweep reads one-port data");
    if (ending == "s1p" || ending == "ts")
        return ReadTouchstone(bytes, file);
    if (ending == "csv" || ending == "txt")
        return ReadCsv(bytes, file);
    return StartsLikeTouchstone(bytes) ? ReadTouchstone(bytes, file) : ReadCsv(bytes, file);
}

}  // namespace

Measurement ReadMeasurement(std::string_view bytes, const std::string& file) {
    return Checked(Read(bytes, file), file);
}

Measurement ReadMeasurementFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw ReadError(path, 0, "no such file");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ReadError(path, 0, "cannot open the file");
    std::ostringstream contents;
    contents << in.rdbuf();
    return ReadMeasurement(contents.str(), path);
}

}  // namespace quillet::sweep
