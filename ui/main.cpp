// Until the window exists: evaluate the start-up inputs and print the results.
#include <cstdio>

#include "deviation.h"

int main() {
    const auto result = quillet::SweepDeviation(0.15, 39.26, 54.85 * quillet::kPi / 180.0, 1);
    if (!result)
        return 1;
    std::printf("Maximum Deviation: %s dB\nPhase of EUT reflection coefficient: %s deg\n",
                quillet::ResultText(result->deviationDb).c_str(),
                quillet::ResultText(result->eutPhaseDegrees).c_str());
    return 0;
}
