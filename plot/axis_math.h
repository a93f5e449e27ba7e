// Logarithms and powers of ten for the plot's axes, from the engine's own
// functions and IEEE arithmetic, so every build places each line and tick
// at the same coordinates and writes the same SVG.
#pragma once

namespace quillet::plot {

double Log10(double x);
// Whole powers a double can hold are the nearest doubles to them; others
// within about an ulp of 10^y.
double Pow10(double y);
// The whole number n with 10^n <= x < 10^(n+1), exactly, for x > 0.
int DecadeOf(double x);

}  // namespace quillet::plot
