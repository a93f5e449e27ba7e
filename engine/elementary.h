// Sine, cosine and natural logarithm, correctly rounded to the nearest
// double, from additions, multiplications and divisions alone (and, for the
// logarithm, reading the exponent's bits). The C
// libraries of different platforms round some results of these functions
// the other way, which can move a shown digit or pick the other of two
// equal peaks; these give the same bits wherever IEEE double arithmetic
// does.
#pragma once

namespace quillet::elementary {

double Sin(double x);
double Cos(double x);
double Log(double x);  // -inf for 0, NaN below 0

// Not proven correctly rounded, but from IEEE operations alone, so the same
// bits everywhere: 10^(db/20) and e^x within about one unit in the last place;
// sqrt(x^2 + y^2) without overflow; the angle of (x, y) in (-pi, pi]
// within a few units in the last place.
double DecibelsToAmplitude(double db);
double Exp(double x);
double Hypot(double x, double y);
double Atan2(double y, double x);

// The accurate paths alone: what Sin, Cos and Log fall back on for about one
// argument in 300 (sine, cosine) or 2500 (logarithm), and what they were
// before they had a quick path. For the tests and the benchmarks.
namespace accurate {
double Sin(double x);
double Cos(double x);
double Log(double x);
}  // namespace accurate

}  // namespace quillet::elementary
