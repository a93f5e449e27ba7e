// Delivers the events of one input box to its four handlers, the way the
// window logic expects them: a click, got and lost focus between controls of
// the window, and every character key before the box applies it.
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>

class QLineEdit;

struct InputBoxHandlers {
    std::function<void()> click;
    std::function<void()> gotFocus;
    std::function<void(std::uint16_t)> keyPress;
    std::function<void()> lostFocus;
};

class InputBoxBinding : public QObject {
public:
    InputBoxBinding(QLineEdit* box, InputBoxHandlers handlers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    InputBoxHandlers handlers_;
};
