// A measured AN impedance sweep, whatever file it came from, and the
// interfaces through which the readers hand it on point by point, so a file
// of any length is read in little memory.
#pragma once

#include <cmath>
#include <complex>
#include <numbers>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/complex_math.h"

namespace quillet::measurement {

struct MeasuredPoint {
    double frequencyMHz;
    std::complex<double> impedance;  // ohm
};

struct Measurement {
    std::vector<MeasuredPoint> points;  // frequencies rising (a segment boundary may repeat one)
    std::vector<std::string> notes;     // remarks for the user, such as a repeated frequency
};

// A file that cannot be read as a measurement: names the file, the line
// (0 when the fault is the file as a whole) and what was expected.
class ReadError : public std::runtime_error {
public:
    ReadError(const std::string& file, int line, const std::string& message)
        : std::runtime_error(file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + message) {}
};

// Where a reader puts what it reads.
class PointSink {
public:
    virtual ~PointSink() = default;
    virtual void Point(const MeasuredPoint& point) = 0;
    // A remark for the user (standard error): the file is read, but
    // something in it deserves a look. Already names the file and line.
    virtual void Note(const std::string& message) = 0;
};

// A reader is fed the file's lines in order, decoded to UTF-8 and without
// their line ends; numbers count from 1. Both throw ReadError.
class LineReader {
public:
    virtual ~LineReader() = default;
    virtual void Line(std::string_view line, int number) = 0;
    virtual void Finish() = 0;  // after the last line
};

// An angle in degrees as radians; whole turns are taken off first, so any
// finite angle gives a finite one. A measured angle: the true pi, not the
// calculator's shortened literal.
inline double WrappedRadians(double degrees) { return std::fmod(degrees, 360.0) * std::numbers::pi / 180.0; }

inline double Degrees(double radians) { return radians * 180.0 / std::numbers::pi; }

// The impedance whose reflection coefficient against a real reference is s.
inline std::complex<double> ImpedanceOfReflection(std::complex<double> s, double referenceOhm) {
    return Quotient(referenceOhm * (1.0 + s), 1.0 - s);
}

// Frequencies must rise from point to point. A segmented sweep may repeat
// the frequency where one segment ends and the next begins: both points are
// kept, in file order, and the user is told once.
class FrequencyOrder {
public:
    FrequencyOrder(const std::string& file, PointSink& sink) : file_(file), sink_(sink) {}

    // Throws ReadError for a frequency below the previous one.
    void Check(double frequencyMHz, int line) {
        if (any_ && frequencyMHz < last_)
            throw ReadError(file_, line, "frequencies must rise from line to line");
        if (any_ && frequencyMHz == last_) {
            if (repeated_)
                throw ReadError(file_, line, "a frequency given three times; frequencies must rise from line to line");
            if (!noted_)
                sink_.Note(file_ + ":" + std::to_string(line) +
                           ": frequency repeated, as where two segments of a sweep meet; both points are kept");
            noted_ = true;
            repeated_ = true;
        } else {
            repeated_ = false;
        }
        any_ = true;
        last_ = frequencyMHz;
    }

private:
    const std::string& file_;
    PointSink& sink_;
    bool any_ = false;
    bool repeated_ = false;
    bool noted_ = false;
    double last_ = 0;
};

}  // namespace quillet::measurement
