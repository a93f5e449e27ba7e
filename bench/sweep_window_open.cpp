// Times the sweep window on a measurement file: from the window's creation
// to its table and plot painted with the whole sweep, and the longest the
// window's thread went without handling events meanwhile (a timer asks
// every millisecond; a late tick is a window that could not answer).
// Prints "seconds longest_stall_ms"; bench/compare.py runs it under Xvfb.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <cstdio>

#include "sweep/parallel_evaluation.h"
#include "sweepui/plot_view.h"
#include "sweepui/sweep_window.h"

namespace {

// Notes the first paint of a widget after the sweep was put on show.
class PaintWatch : public QObject {
public:
    bool Painted() const { return painted_; }
    void Arm() { armed_ = true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (armed_ && event->type() == QEvent::Paint)
            painted_ = true;
        return QObject::eventFilter(watched, event);
    }

private:
    bool armed_ = false;
    bool painted_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    quillet::sweep::KeepFreedMemoryForReuse();  // as the calculator does
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: sweep_window_open MEASUREMENT\n");
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    // The window deletes itself when closed.
    auto& window = *new quillet::sweepui::SweepWindow(QString::fromLocal8Bit(argv[1]), 1);
    PaintWatch tablePainted, plotPainted;
    window.Table->viewport()->installEventFilter(&tablePainted);
    window.Plot->installEventFilter(&plotPainted);
    int status = 0;
    QObject::connect(&window, &quillet::sweepui::SweepWindow::Evaluated, [&] {
        tablePainted.Arm();
        plotPainted.Arm();
    });
    QObject::connect(&window, &quillet::sweepui::SweepWindow::Failed, [&](const QString& message) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        status = 1;
        QApplication::exit(1);
    });
    window.show();

    qint64 last = clock.elapsed(), longestStall = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longestStall = std::max(longestStall, now - last);
        last = now;
        if (tablePainted.Painted() && plotPainted.Painted()) {
            std::printf("%.3f %lld\n", static_cast<double>(now) / 1e3, static_cast<long long>(longestStall));
            QApplication::quit();
        }
    });
    ticker.start(1);
    const int code = QApplication::exec();
    return status != 0 ? status : code;
}
