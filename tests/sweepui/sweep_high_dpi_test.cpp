// The sweep window on a screen with twice the pixel density: the plot is
// drawn at the screen's resolution, whole, where the window shows it.
#include <QtTest>

#include <cmath>

#include "sweepui/plot_view.h"
#include "sweepui/sweep_window.h"

namespace {

// The mean difference per channel, 0 to 255.
double MeanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            sum += std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) + std::abs(p.blue() - q.blue());
        }
    return sum / (3.0 * a.width() * a.height());
}

}  // namespace

class SweepHighDpiTest : public QObject {
    Q_OBJECT

private slots:
    void plotIsSharpAndWhole() {
        quillet::sweepui::SweepWindow window(QStringLiteral(QUILLET_SAMPLE), 1);
        window.show();
        QVERIFY(QTest::qWaitFor([&] { return !window.Busy(); }, 60000));
        QWidget* plot = window.Plot;
        QCOMPARE(plot->devicePixelRatio(), 2.0);

        const QImage sharp = plot->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(sharp.size(), plot->size() * 2);
        QImage single(plot->size(), QImage::Format_RGB32);
        single.setDevicePixelRatio(1);
        plot->render(&single);

        // The same picture in the same place: a plot drawn into a quarter of
        // the widget, or cut off, would differ a lot.
        const QImage halved = sharp.scaled(plot->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QVERIFY2(MeanDifference(halved, single) < 2, "the picture at 2x does not match the one at 1x");
        // Drawn at the finer resolution rather than enlarged from 1x.
        const QImage enlarged = single.scaled(sharp.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        QVERIFY2(MeanDifference(sharp, enlarged) > 1, "the picture at 2x is an enlargement of 1x");
    }
};

int main(int argc, char* argv[]) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    SweepHighDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "sweep_high_dpi_test.moc"
