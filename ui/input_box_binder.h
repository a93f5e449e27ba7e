// Delivers the events of the three input boxes to their handlers: a click,
// got and lost focus as the focus moves between controls of the window, and
// every character key before the box applies it.
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <map>

class QLineEdit;
class QWidget;

struct InputBoxHandlers {
    std::function<void()> click;
    std::function<void()> gotFocus;
    std::function<void(std::uint16_t)> keyPress;
    std::function<void()> lostFocus;
};

class InputBoxBinder : public QObject {
public:
    explicit InputBoxBinder(QWidget* window);

    void Bind(QLineEdit* box, InputBoxHandlers handlers);

    // The focus is now on this control of the window. If that is news to
    // the handlers, the box they last heard got the focus loses it and the
    // new one, if it is a box, gets it. Buttons call this as they are
    // pressed, so a click that arrives before the window's activation still
    // takes over the box's value before the button's handler runs.
    void FocusIsOn(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    std::map<QObject*, InputBoxHandlers> boxes_;
    QObject* focusedBox_ = nullptr;  // the box whose got-focus handler ran last
};
