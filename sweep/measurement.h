// A measured AN impedance sweep, whatever file it came from.
#pragma once

#include <complex>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillet::sweep {

struct MeasuredPoint {
    double frequencyMHz;
    std::complex<double> impedance;  // ohm
};

struct Measurement {
    std::vector<MeasuredPoint> points;  // frequencies rising
};

// A file that cannot be read as a measurement: names the file, the line
// (0 when the fault is the file as a whole) and what was expected.
class ReadError : public std::runtime_error {
public:
    ReadError(const std::string& file, int line, const std::string& message)
        : std::runtime_error(file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + message) {}
};

}  // namespace quillet::sweep
