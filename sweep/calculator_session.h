// The calculator without its window: the same handlers behind a window
// interface that only keeps texts, so a value is evaluated exactly as the
// window shows it when the value is typed into its box.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quillet::sweep {

struct CalculatorResult {
    std::string deviation;  // as the result boxes show it: " 3.61", or "not valid"
    std::string eutPhase;
    bool inputsClamped;  // a box's limits changed a value as it was left
};

class CalculatorSession {
public:
    explicit CalculatorSession(std::int16_t anType);
    ~CalculatorSession();
    CalculatorSession(const CalculatorSession&) = delete;
    CalculatorSession& operator=(const CalculatorSession&) = delete;

    // Types the three texts into their boxes, leaves each box and presses
    // "Calculate".
    CalculatorResult Calculate(std::string_view frequency, std::string_view magnitude, std::string_view phase);

private:
    struct Window;
    std::int16_t anType_;
    std::unique_ptr<Window> window_;
};

}  // namespace quillet::sweep
