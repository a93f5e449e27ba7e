// The baseline of the start-up benchmark: a Qt Widgets window of the
// calculator's size with nothing in it, which closes once it has been drawn,
// as the calculator does under QUILLET_EXIT_AFTER_FIRST_PAINT.
#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {

class BareWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent* event) override {
        QWidget::paintEvent(event);
        if (!painted_)
            QTimer::singleShot(0, this, &QWidget::close);
        painted_ = true;
    }

private:
    bool painted_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    BareWindow window;
    window.setFixedSize(428, 444);
    window.show();
    return QApplication::exec();
}
