#include "ui/input_box_binder.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include <optional>

namespace quillet::ui {

// Focus moves are taken from QApplication::focusChanged rather than from the
// boxes' own focus events: focus that leaves with the whole window (another
// application, a menu or message box) and comes back to the same box is no
// move between controls, and emptying the box then would lose what the user
// was typing.
InputBoxBinder::InputBoxBinder(QWidget* window, quillet::WindowModel& model)
    : QObject(window), window_(window), model_(model) {
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && now->window() == window_)
            FocusIsOn(now);
    });
}

void InputBoxBinder::Bind(QLineEdit* widget, quillet::TextBox box) {
    boxes_[widget] = box;
    widget->installEventFilter(this);
}

void InputBoxBinder::FocusIsOn(QWidget* control) {
    const auto found = boxes_.find(control);
    model_.FocusMovedTo(found != boxes_.end() ? std::optional(found->second) : std::nullopt);
}

bool InputBoxBinder::eventFilter(QObject* watched, QEvent* event) {
    const auto found = boxes_.find(watched);
    if (found == boxes_.end())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // Qt has moved the focus here already; got-focus comes first.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            model_.BoxClicked(found->second);
        break;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Tab moves the focus; it is no character typed into the box.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            break;
        const QString text = key->text();
        if (!text.isEmpty())
            model_.KeyTyped(found->second, text.at(0).unicode());
        break;
    }
    default: break;
    }
    return false;  // the box still gets every event
}

}  // namespace quillet::ui
