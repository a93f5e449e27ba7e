#include "ui/input_box_binder.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

// Focus moves are taken from QApplication::focusChanged rather than from the
// boxes' own focus events: focus that leaves with the whole window (another
// application, a menu or message box) and comes back to the same box is no
// move between controls, and emptying the box then would lose what the user
// was typing.
InputBoxBinder::InputBoxBinder(QWidget* window) : QObject(window), window_(window) {
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && now->window() == window_)
            FocusIsOn(now);
    });
}

void InputBoxBinder::Bind(QLineEdit* box, InputBoxHandlers handlers) {
    boxes_[box] = std::move(handlers);
    box->installEventFilter(this);
}

void InputBoxBinder::FocusIsOn(QWidget* control) {
    QObject* box = boxes_.count(control) != 0 ? control : nullptr;
    if (box == focusedBox_)
        return;
    QObject* previous = focusedBox_;
    focusedBox_ = box;
    if (previous != nullptr)
        boxes_.at(previous).lostFocus();
    if (box != nullptr)
        boxes_.at(box).gotFocus();
}

bool InputBoxBinder::eventFilter(QObject* watched, QEvent* event) {
    const auto found = boxes_.find(watched);
    if (found == boxes_.end())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // Qt has moved the focus here already; got-focus comes first.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            FocusIsOn(static_cast<QWidget*>(watched));
            found->second.click();
        }
        break;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Tab moves the focus; it is no character typed into the box.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            break;
        const QString text = key->text();
        if (!text.isEmpty()) {
            FocusIsOn(static_cast<QWidget*>(watched));
            found->second.keyPress(text.at(0).unicode());
        }
        break;
    }
    default: break;
    }
    return false;  // the box still gets every event
}
