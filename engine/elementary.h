// Sine, cosine and natural logarithm, correctly rounded to the nearest
// double, from additions, multiplications and divisions alone. The C
// libraries of different platforms round some results of these functions
// the other way, which can move a shown digit or pick the other of two
// equal peaks; these give the same bits wherever IEEE double arithmetic
// does.
#pragma once

namespace quillet::elementary {

double Sin(double x);
double Cos(double x);
double Log(double x);  // -inf for 0, NaN below 0

}  // namespace quillet::elementary
