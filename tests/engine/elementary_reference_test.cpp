// Sine, cosine and logarithm against MPFR's correctly rounded results, over
// the arguments the calculator meets, the edges of the quick paths' tables
// and arguments known to be hard to round. Linux only: MPFR is a test
// dependency of the native build, never part of the product.
#include <gtest/gtest.h>

#include <gmp.h>
#include <mpfr.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/elementary.h"

namespace quillet::elementary {
namespace {

using Mpfr = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

// The double nearest to f(x): MPFR rounds correctly to the 53 bits asked.
double Reference(Mpfr f, double x) {
    mpfr_t m;
    mpfr_init2(m, 53);
    mpfr_set_d(m, x, MPFR_RNDN);
    f(m, m, MPFR_RNDN);
    const double y = mpfr_get_d(m, MPFR_RNDN);
    mpfr_clear(m);
    return y;
}

struct Rng {
    std::uint64_t state;
    double Unit() {  // [0, 1)
        state = state * 6364136223846793005u + 1442695040888963407u;
        return static_cast<double>(state >> 11) * 0x1p-53;
    }
    int Below(int n) { return static_cast<int>(Unit() * n); }
};

struct Family {
    const char* name;
    std::function<std::vector<double>()> arguments;
};

std::vector<double> Draw(int count, const std::function<double(Rng&)>& draw) {
    Rng rng{static_cast<std::uint64_t>(count) * 2654435761u + 17};
    std::vector<double> xs;
    for (int i = 0; i < count; ++i)
        xs.push_back(draw(rng));
    return xs;
}

// Each argument with its neighbours a few units in the last place away.
std::vector<double> WithNeighbours(const std::vector<double>& centres) {
    std::vector<double> xs;
    for (double c : centres) {
        double below = c, above = c;
        xs.push_back(c);
        for (int i = 0; i < 2; ++i) {
            below = std::nextafter(below, -HUGE_VAL);
            above = std::nextafter(above, HUGE_VAL);
            xs.push_back(below);
            xs.push_back(above);
        }
    }
    return xs;
}

// The function and its accurate path alone, which the quick path leaves
// the rare hard arguments to.
void ExpectCorrectlyRounded(const char* function, double (*ours)(double), double (*accurate)(double), Mpfr reference,
                            const std::vector<Family>& families) {
    for (const Family& family : families) {
        int wrong = 0;
        for (double x : family.arguments()) {
            const double expected = Reference(reference, x);
            for (const auto& [path, f] : {std::pair{"", ours}, {" (accurate path)", accurate}}) {
                const double got = f(x);
                if (std::bit_cast<std::uint64_t>(got) != std::bit_cast<std::uint64_t>(expected) && ++wrong <= 5)
                    ADD_FAILURE() << function << path << " of " << std::hexfloat << x << " (" << family.name
                                  << "): " << got << ", correctly rounded " << expected;
            }
        }
        EXPECT_EQ(wrong, 0) << function << ", " << family.name;
    }
}

// Published hard-to-round arguments: the exact result agrees with a halfway
// point between two doubles to 46 bits or more beyond the last.
constexpr double kHardSines[] = {
    0x1.005023d32fee5p+1, 0x1.0192deafac33fp+0, 0x1.034c2318b3f2dp+0, 0x1.04394261cffa6p-1, 0x1.043e268ba402ap+1,
    0x1.05149eefb774ap-1, 0x1.0518fffe634f2p-2, 0x1.057e5c72ad274p+0, 0x1.07d5978b896fcp+0, 0x1.0e9f8bb095163p+1,
    0x1.1fa6b462b1c81p+1, 0x1.0102947e7003bp-3, 0x1.0438976472dfcp-4, 0x1.00f620e3203b4p-7, 0x1.184a0aa58191ep-24,
};
constexpr double kHardCosines[] = {
    0x1.00147eec5cfa5p+0, 0x1.00786b0bf421p-2,  0x1.0203b71ba100fp-1, 0x1.062a2f8ff7e5p+0,  0x1.065be6e6ee03cp-1,
    0x1.06beb681df3acp-3, 0x1.0813eb8986375p-1, 0x1.0bfbedfb16285p+0, 0x1.0c86069092edcp+0, 0x1.0d726986bc5f6p-1,
    0x1.0f16c6f632009p+0, 0x1.11a08114c99bcp+0, 0x1.146de9a66c2e3p+0, 0x1.0066bbcf2cf68p-7, 0x1.0009effd4bedap-12,
};
constexpr double kHardLogs[] = {
    0x1.a6ae5142326b5p+0, 0x1.a6ba95b1520f9p+0, 0x1.a702b2ce91b3p+0,   0x1.c877cba59d0acp+0,  0x1.bbfff9457d5c3p+0,
    0x1.1e852e6951306p+1, 0x1.000976581ce4ep+1, 0x1.009ea32637a95p+1,  0x1.ffcd1f1e0c16fp+1,  0x1.006057e9892f7p+2,
    0x1.0af4fba7063b8p+4, 0x1.a455a70c31d8p+13, 0x1.f63e8a05c6055p+14, 0x1.d505a52645a22p+19, 0x1.8992bd496d364p+25,
};

std::vector<double> Listed(const double* begin, const double* end) {
    std::vector<double> xs;
    for (const double* x = begin; x != end; ++x) {
        xs.push_back(*x);
        xs.push_back(-*x);
    }
    return xs;
}

std::vector<Family> TrigonometricFamilies(const double* hardBegin, const double* hardEnd) {
    constexpr double kPi = 0x1.921fb54442d18p+1;
    return {
        {"phases within two turns", [] { return Draw(200000, [](Rng& r) { return (r.Unit() - 0.5) * 8 * kPi; }); }},
        {"degrees to thousandths, as typed",
         [] {
             return Draw(100000, [](Rng& r) { return std::round((r.Unit() - 0.5) * 720000.0) / 1000.0 * kPi / 180.0; });
         }},
        {"every magnitude up to the quick path's limit and past it",
         [] {
             return Draw(100000, [](Rng& r) {
                 return std::ldexp(1.0 + r.Unit(), r.Below(48) - 30) * (r.Unit() < 0.5 ? -1.0 : 1.0);
             });
         }},
        {"beside the table's steps and their midpoints",
         [] {
             std::vector<double> centres;
             for (int j = -2048; j <= 2048; ++j)
                 centres.push_back(j * kPi / 256);
             return WithNeighbours(centres);
         }},
        {"beside multiples of pi/2",
         [] {
             std::vector<double> centres;
             for (int j = -40; j <= 40; ++j)
                 centres.push_back(j * (kPi / 2));
             return WithNeighbours(centres);
         }},
        {"hard to round", [hardBegin, hardEnd] { return Listed(hardBegin, hardEnd); }},
    };
}

TEST(ElementaryReference, SineIsCorrectlyRounded) {
    ExpectCorrectlyRounded("sin", Sin, accurate::Sin, mpfr_sin,
                           TrigonometricFamilies(std::begin(kHardSines), std::end(kHardSines)));
}

TEST(ElementaryReference, CosineIsCorrectlyRounded) {
    ExpectCorrectlyRounded("cos", Cos, accurate::Cos, mpfr_cos,
                           TrigonometricFamilies(std::begin(kHardCosines), std::end(kHardCosines)));
}

TEST(ElementaryReference, LogarithmIsCorrectlyRounded) {
    ExpectCorrectlyRounded(
        "log", Log, accurate::Log, mpfr_log,
        {
            {"ratios near one", [] { return Draw(200000, [](Rng& r) { return 0.25 + 3.75 * r.Unit(); }); }},
            {"within 2^-20 of one",
             [] { return Draw(50000, [](Rng& r) { return 1.0 + (r.Unit() - 0.5) * 0x1p-19; }); }},
            {"every exponent, subnormals too",
             [] { return Draw(200000, [](Rng& r) { return std::ldexp(1.0 + r.Unit(), r.Below(2098) - 1074); }); }},
            {"beside the table's interval edges and powers of two",
             [] {
                 std::vector<double> centres;
                 for (std::uint64_t i = 0; i <= 256; ++i)
                     centres.push_back(std::bit_cast<double>(0x3FE6'0000'0000'0000u + (i << 44)));
                 for (int e = -1070; e <= 1023; e += 7)
                     centres.push_back(std::ldexp(1.0, e));
                 return WithNeighbours(centres);
             }},
            {"hard to round", [] { return std::vector<double>(std::begin(kHardLogs), std::end(kHardLogs)); }},
        });
}

}  // namespace
}  // namespace quillet::elementary
