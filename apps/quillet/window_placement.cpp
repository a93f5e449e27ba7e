#include "apps/quillet/window_placement.h"

#include <QEvent>
#include <QObject>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace quillet::app {
namespace {

// A title bar and thin borders, as most window managers draw them.
constexpr QMargins kUsualFrame(4, 28, 4, 4);
// Window managers frame a window shortly after it is mapped.
constexpr int kFramedAfterMs = 150;

bool Framed(const QWidget& window) { return window.isVisible() && window.frameGeometry() != window.geometry(); }

QMargins MarginsOf(const QWidget& window) {
    const QRect frame = window.frameGeometry(), client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

class ShownWatcher : public QObject {
public:
    explicit ShownWatcher(QWidget& window) : QObject(&window), window_(window) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            QTimer::singleShot(kFramedAfterMs, this, [this] {
                if (window_.isVisible() && window_.screen() != nullptr)
                    KeepOnScreen(window_, window_.screen()->availableGeometry(), FrameMargins(window_));
            });
        }
        return false;
    }

private:
    QWidget& window_;
};

}  // namespace

QMargins FrameMargins(const QWidget& window, const QWidget* framed) {
    if (Framed(window))
        return MarginsOf(window);
    if (framed != nullptr && Framed(*framed))
        return MarginsOf(*framed);
    return kUsualFrame;
}

void KeepOnScreen(QWidget& window, const QRect& available, QMargins frame) {
    const QSize room = available.size().shrunkBy(frame);
    QSize size = window.size();
    if (size.width() > room.width() || size.height() > room.height()) {
        size = size.boundedTo(room).expandedTo(window.minimumSize());
        window.resize(size);
    }
    // move() places the frame's corner; the frame spans the client and
    // its margins.
    const QSize outer = size.grownBy(frame);
    const QPoint at = window.isVisible() ? window.frameGeometry().topLeft() : window.pos();
    const int left =
        std::clamp(at.x(), available.left(), std::max(available.left(), available.right() + 1 - outer.width()));
    const int top =
        std::clamp(at.y(), available.top(), std::max(available.top(), available.bottom() + 1 - outer.height()));
    if (QPoint(left, top) != at)
        window.move(left, top);
}

void KeepOnScreenWhenShown(QWidget& window) { new ShownWatcher(window); }

}  // namespace quillet::app
