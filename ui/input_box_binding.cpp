#include "input_box_binding.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace {

// Focus that comes and goes with the whole window (switching applications,
// a menu or message box opening) is not a move between controls: handling
// it would empty the box the user was typing in.
bool MovesBetweenControls(const QFocusEvent* event) {
    switch (event->reason()) {
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
        return false;
    default:
        return true;
    }
}

}  // namespace

InputBoxBinding::InputBoxBinding(QLineEdit* box, InputBoxHandlers handlers)
    : QObject(box), handlers_(std::move(handlers)) {
    box->installEventFilter(this);
}

bool InputBoxBinding::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn:
        if (MovesBetweenControls(static_cast<QFocusEvent*>(event)))
            handlers_.gotFocus();
        break;
    case QEvent::FocusOut:
        if (MovesBetweenControls(static_cast<QFocusEvent*>(event)))
            handlers_.lostFocus();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // Qt has already moved the focus here, so got-focus came first.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            handlers_.click();
        break;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Tab moves the focus; it is no character typed into the box.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            break;
        const QString text = key->text();
        if (!text.isEmpty())
            handlers_.keyPress(text.at(0).unicode());
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);  // the box still gets every event
}
