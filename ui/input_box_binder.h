// Reports the events of the three input boxes to the window model: a click,
// the focus moving between controls of the window, and every character key
// before the box applies it. Which handler runs is the model's business.
#pragma once

#include <QObject>

#include <map>

#include "window/window_interface.h"
#include "window/window_model.h"

class QLineEdit;
class QWidget;

namespace quillet::ui {

class InputBoxBinder : public QObject {
public:
    InputBoxBinder(QWidget* window, quillet::WindowModel& model);

    void Bind(QLineEdit* widget, quillet::TextBox box);

    // The focus is now on this control of the window. Buttons call this as
    // they are pressed, so a click that arrives before the window's
    // activation still takes over the box's value before the button's
    // handler runs.
    void FocusIsOn(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    quillet::WindowModel& model_;
    std::map<QObject*, quillet::TextBox> boxes_;
};

}  // namespace quillet::ui
