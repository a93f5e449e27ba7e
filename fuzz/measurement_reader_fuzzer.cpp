// libFuzzer target for the measurement readers: any bytes, under any of the
// file endings and with or without a column list, must end in a measurement
// or a ReadError, never a crash; a measurement read must have finite values
// and frequencies that never fall, and must evaluate. The text decoder must
// give the same lines whatever the chunks the bytes arrive in.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "measurement/read_measurement.h"
#include "measurement/text_decoder.h"
#include "sweep/evaluation.h"

using namespace quillet::measurement;
using quillet::sweep::Evaluate;

namespace {

struct Lines : LineReader {
    std::vector<std::string> lines;
    bool finished = false;
    void Line(std::string_view line, int number) override {
        if (number != static_cast<int>(lines.size()) + 1)
            __builtin_trap();
        lines.emplace_back(line);
    }
    void Finish() override { finished = true; }
};

// The lines, or the error's text.
std::vector<std::string> Decode(std::string_view text, std::size_t chunk) {
    Lines lines;
    const std::string file = "f";
    TextDecoder decoder(file, lines);
    try {
        for (std::size_t at = 0; at < text.size(); at += chunk)
            decoder.Feed(text.substr(at, chunk));
        decoder.Finish();
    } catch (const ReadError& error) {
        return {error.what()};
    }
    if (!lines.finished)
        __builtin_trap();
    return lines.lines;
}

void CheckMeasurement(Measurement& m) {
    if (m.points.empty())
        __builtin_trap();
    for (std::size_t i = 0; i < m.points.size(); ++i) {
        const MeasuredPoint& p = m.points[i];
        if (!std::isfinite(p.frequencyMHz) || p.frequencyMHz < 0 || !std::isfinite(p.impedance.real()) ||
            !std::isfinite(p.impedance.imag()))
            __builtin_trap();
        if (i > 0 && p.frequencyMHz < m.points[i - 1].frequencyMHz)
            __builtin_trap();
    }
    if (m.points.size() > 4)
        m.points.resize(4);  // the evaluation is the calculator's; a few points suffice
    for (std::int16_t type = 1; type <= 4; ++type)
        Evaluate(m, type);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    static const char* const kNames[] = {"sweep.s1p", "sweep.ts", "sweep.csv", "sweep.dat", "sweep.s2p", "-"};
    const std::string name = kNames[data[0] % std::size(kNames)];
    const std::size_t chunk = 1 + data[1] % 7;
    std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

    // Bytes up to a first NUL after the control byte 0x01 are a column list.
    ReadOptions options;
    if (!text.empty() && text.front() == '\x01') {
        const auto end = text.find('\0');
        try {
            options.columns = ParseColumnList(text.substr(1, end == std::string_view::npos ? text.npos : end - 1));
        } catch (const std::invalid_argument&) {
        }
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }

    if (Decode(text, text.size() + 1) != Decode(text, chunk))
        __builtin_trap();
    try {
        Measurement m = ReadMeasurement(text, name, options);
        CheckMeasurement(m);
    } catch (const ReadError&) {
    }
    return 0;
}
