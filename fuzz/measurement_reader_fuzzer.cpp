// libFuzzer target for the measurement readers: any bytes, under any of the
// file endings, must end in a measurement or a ReadError, never a crash; a
// measurement read must have rising frequencies and finite impedances, and
// must evaluate.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "evaluation.h"
#include "read_measurement.h"

using namespace quillet::sweep;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const char* const kNames[] = {"sweep.s1p", "sweep.ts", "sweep.csv", "sweep.dat", "sweep.s2p"};
    const std::string name = kNames[data[0] % std::size(kNames)];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        Measurement m = ReadMeasurement(text, name);
        if (m.points.empty())
            __builtin_trap();
        for (std::size_t i = 0; i < m.points.size(); ++i) {
            const MeasuredPoint& p = m.points[i];
            if (!std::isfinite(p.frequencyMHz) || p.frequencyMHz < 0 || !std::isfinite(p.impedance.real()) ||
                !std::isfinite(p.impedance.imag()))
                __builtin_trap();
            if (i > 0 && !(p.frequencyMHz > m.points[i - 1].frequencyMHz))
                __builtin_trap();
        }
        if (m.points.size() > 4)
            m.points.resize(4);  // the evaluation is the calculator's; a few points suffice
        for (std::int16_t type = 1; type <= 4; ++type)
            Evaluate(m, type);
    } catch (const ReadError&) {
    }
    return 0;
}
