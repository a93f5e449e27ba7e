// Steps and labels of a linear value axis, shared by every plot so their
// ticks read alike.
#pragma once

#include <string>

namespace quillet::plot {

// A step of 1, 2 or 5 times a power of ten giving about six steps.
double NiceStep(double span);

// A tick's value to the step's last digit: 0.6, never 0.6000000000000001.
std::string TickText(double value, double step);

}  // namespace quillet::plot
