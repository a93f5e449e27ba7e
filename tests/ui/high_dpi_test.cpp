// The window on a screen with twice the pixel density: Qt scales the fixed
// layout as a whole, so every control keeps its place in logical pixels.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "tests/ui/ui_test_support.h"

class HighDpiTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetUpAppearance(); }

    void layoutScalesProportionally() {
        auto form = OpenWindow();
        QCOMPARE(form->devicePixelRatio(), 2.0);
        QCOMPARE(form->size(), QSize(428, 444));
        QCOMPARE(form->TxtFrequency->geometry(), QRect(216, 32, 121, 19));
        QCOMPARE(form->ChkLink[2]->geometry(), QRect(208, 80, 185, 17));
        QCOMPARE(form->PbExit->geometry(), QRect(328, 392, 89, 33));
        const QImage picture = form->grab().toImage();
        QCOMPARE(picture.size(), QSize(856, 888));
        // Text keeps fitting: the same point sizes in the same logical boxes.
        for (QWidget* w : form->findChildren<QWidget*>()) {
            if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w))
                QVERIFY2(w->sizeHint().width() <= w->width(), qPrintable(w->objectName()));
        }
        // The background really is drawn at the doubled density.
        QCOMPARE(picture.pixelColor(2, 2), QColor(0xC0, 0xC0, 0xC0));
        QTest::mouseClick(form->PbCapture, Qt::LeftButton);
        QCOMPARE(form->TxtMaxUncertainty->text(), QString(" 3.61"));
    }
};

int main(int argc, char* argv[]) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    HighDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "high_dpi_test.moc"

using namespace quillet::ui;
