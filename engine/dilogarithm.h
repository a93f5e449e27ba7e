// The dilogarithm Li2(z) = sum of z^k / k^2 inside the unit disc, from
// + - * / and square roots and the engine's own logarithm only, so it gives
// the same bits on every platform. Accurate to a few units in the last
// place; not proven correctly rounded.
#pragma once

namespace quillet {

struct Complex {
    double re;
    double im;
};

// |z| < 1.
Complex Dilogarithm(Complex z);

}  // namespace quillet
