// A random user on the real widgets: thousands of clicks, keys and focus
// moves with a fixed seed. Nothing may crash, and after every action the
// window keeps its rules.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <random>

#include "engine/number_text.h"
#include "tests/ui/ui_test_support.h"
#include "window/entry_field.h"

class MonkeyTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MDIForm1> form;
    QTimer dismisser;  // answers every modal box that comes up

    struct Field {
        QLineEdit* box;
        const quillet::EntryState* entry;
        double lower, upper;
        QString startText;
    };

    QList<Field> Fields() const {
        const quillet::Module34& m = form->Model().Module();
        using quillet::kFrequencyField, quillet::kMagnitudeField, quillet::kPhaseField;
        return {{form->TxtFrequency, &m.FrequencyEntry, kFrequencyField.lower, kFrequencyField.upper, "0.15"},
                {form->TxtMagnitude, &m.MagnitudeEntry, kMagnitudeField.lower, kMagnitudeField.upper, " 39.26"},
                {form->TxtPhase, &m.PhaseEntry, kPhaseField.lower, kPhaseField.upper, " 54.85"}};
    }

    void CheckRules(int step) {
        const QString where = QString("step %1").arg(step);
        for (const Field& field : Fields()) {
            if (form->focusWidget() == field.box)
                continue;
            QVERIFY2(field.entry->EntryBuffer.empty() && !field.entry->PointTyped && !field.entry->MinusTyped,
                     qPrintable(where));
            const std::string text = field.box->text().toStdString();
            const double value = quillet::ParseNumber(text);
            QVERIFY2(value >= field.lower && value <= field.upper, qPrintable(where));
            QVERIFY2(text == quillet::NumberText(value) || field.box->text() == field.startText,
                     qPrintable(where + " box text " + field.box->text()));
        }
        int selected = -1, count = 0;
        for (int i = 0; i < 4; ++i) {
            if (form->ChkLink[static_cast<std::size_t>(i)]->isChecked()) {
                selected = i;
                ++count;
            }
        }
        QVERIFY2(count == 1, qPrintable(where));
        QCOMPARE(form->Model().Module().AnType, selected + 1);
        QVERIFY2(QApplication::overrideCursor() == nullptr, qPrintable(where));
    }

    // Keys go to the active window; a closed message box may have left ours
    // inactive until the user comes back to it.
    QWidget* KeyTarget() {
        if (!form->isActiveWindow()) {
            form->activateWindow();
            if (!QTest::qWaitForWindowActive(form.get()))
                qWarning("the window did not become active again");
        }
        return form->focusWidget() != nullptr ? form->focusWidget() : form.get();
    }

    // After "Calculate" both results are numbers, or both "not valid".
    void CheckResults(int step) {
        const std::string deviation = form->TxtMaxUncertainty->text().toStdString();
        const std::string phase = form->TxtUncPhase->text().toStdString();
        const bool numbers = deviation == quillet::NumberText(quillet::ParseNumber(deviation)) &&
                             phase == quillet::NumberText(quillet::ParseNumber(phase));
        const bool notValid = deviation == "not valid" && phase == "not valid";
        QVERIFY2(numbers || notValid,
                 qPrintable(QString("step %1: %2 %3").arg(step).arg(deviation.c_str(), phase.c_str())));
    }

private slots:
    void initTestCase() {
        SetUpAppearance();
        dismisser.setInterval(0);
        connect(&dismisser, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        dismisser.start();
    }

    void randomSessionsKeepTheRules() {
        form = OpenWindow();
        std::mt19937 random(4242);
        auto pick = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
        auto clickable = [this]() -> QList<QWidget*> {
            return {form->TxtFrequency, form->TxtMagnitude, form->TxtPhase,   form->TxtMaxUncertainty,
                    form->TxtUncPhase,  form->ChkLink[0],   form->ChkLink[1], form->ChkLink[2],
                    form->ChkLink[3],   form->PbCapture,    form->PbInfo};
        };
        const QString characters = "0123456789.,-eE+ aX";
        const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Enter,  Qt::Key_Backspace, Qt::Key_Tab,  Qt::Key_Backtab,
                                Qt::Key_Left,   Qt::Key_Right,  Qt::Key_Up,        Qt::Key_Down, Qt::Key_Delete,
                                Qt::Key_Space,  Qt::Key_Escape, Qt::Key_Home};
        QWidget elsewhere;
        int sessions = 1;
        for (int step = 0; step < 4000; ++step) {
            switch (pick(10)) {
            case 0:
            case 1:
            case 2: {
                const QList<QWidget*> targets = clickable();
                QWidget* target = targets[pick(static_cast<int>(targets.size()))];
                QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(3 + pick(10), 3 + pick(10)));
                if (target == form->PbCapture)
                    CheckResults(step);
                break;
            }
            case 3:
            case 4:
            case 5:
            case 6:
                // A character key, or Tab and Shift+Tab to move on.
                QTest::keyClick(KeyTarget(), characters.at(pick(static_cast<int>(characters.size()))).toLatin1());
                break;
            case 7:
            case 8: QTest::keyClick(KeyTarget(), keys[pick(static_cast<int>(std::size(keys)))]); break;
            default:
                // Another application takes the focus for a while.
                elsewhere.show();
                elsewhere.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
                form->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(form.get()));
                break;
            }
            if (!form->isVisible()) {
                // Tab and Space reached "Exit": the next session starts.
                ++sessions;
                form = OpenWindow();
                continue;
            }
            CheckRules(step);
            if (QTest::currentTestFailed())
                return;
        }
        qInfo("%d sessions", sessions);
    }
};

QTEST_MAIN(MonkeyTest)
#include "monkey_test.moc"

using namespace quillet::ui;
