#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>

#include "tests/ui/ui_test_support.h"
#include "window/about_exit.h"
#include "window/calculate_deviation.h"

class MDIForm1Test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MDIForm1> form;

    QString Shown(QLineEdit* box) const { return box->text(); }
    void ExpectResults(const char* deviation, const char* phase) {
        QCOMPARE(form->TxtMaxUncertainty->text(), QString(deviation));
        QCOMPARE(form->TxtUncPhase->text(), QString(phase));
    }

private slots:
    void initTestCase() { SetUpAppearance(); }
    void init() { form = OpenWindow(); }
    void cleanup() { form.reset(); }

    void opensWithTheStartUpState() {
        QCOMPARE(form->windowTitle(), QString("Torvane - AN Impedance Uncertainty Contribution"));
        QCOMPARE(form->size(), QSize(428, 444));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QVERIFY(!(form->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(form->windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(form->palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(form->TxtFrequency->text(), QString("0.15"));
        QCOMPARE(form->TxtMagnitude->text(), QString(" 39.26"));
        QCOMPARE(form->TxtPhase->text(), QString(" 54.85"));
        ExpectResults("not valid", "not valid");
        QVERIFY(form->ChkLink[0]->isChecked());
        QVERIFY(!form->ChkLink[1]->isChecked() && !form->ChkLink[2]->isChecked() && !form->ChkLink[3]->isChecked());
        QCOMPARE(form->Model().Module().AnType, 1);
        QCOMPARE(Focused(), form->PbCapture);
        // Above the middle of the screen, from the outer size 434 x 469 px.
        const QSize screen = form->screen()->geometry().size();
        QCOMPARE(form->pos(),
                 QPoint(qRound(screen.width() / 2.0 - 434 / 2.0), qRound(screen.height() / 2.3 - 469 / 2.0)));
        QVERIFY(!form->windowIcon().isNull());
        QCOMPARE(form->windowIcon().availableSizes().size(), 3);
    }

    void placesEveryControl_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("caption");
        auto row = [](const char* name, const char* container, QRect place, const char* caption) {
            QTest::newRow(name) << QString(name) << QString(container) << place << QString::fromUtf8(caption);
        };
        row("Label1", "MDIForm1", {16, 16, 393, 33}, "AN Impedance Uncertainty Contribution");
        row("Frame2", "MDIForm1", {16, 56, 393, 81}, "Artificial Network (AN)");
        row("ChkLink(0)", "Frame2", {24, 24, 145, 17}, "50 Ω // 50 µH + 5 Ω");
        row("ChkLink(2)", "MDIForm1", {208, 80, 185, 17}, "50 Ω // 5 µH + 1 Ω");
        row("ChkLink(1)", "Frame2", {24, 48, 145, 17}, "50 Ω // 50 µH");
        row("ChkLink(3)", "Frame2", {192, 48, 65, 17}, "150 Ω");
        row("FrCapPar", "MDIForm1", {16, 144, 393, 129}, "Input Values (AN Impedance)");
        row("Label13", "FrCapPar", {40, 32, 153, 17}, "Frequency");
        row("TxtFrequency", "FrCapPar", {216, 32, 121, 19}, "");
        row("Label14", "FrCapPar", {352, 32, 25, 17}, "MHz");
        row("Label2", "FrCapPar", {32, 64, 161, 17}, "Magnitude");
        row("TxtMagnitude", "FrCapPar", {216, 64, 121, 19}, "");
        row("Label4", "FrCapPar", {352, 64, 33, 17}, "Ω");
        row("Label3", "FrCapPar", {32, 96, 161, 17}, "Phase");
        row("TxtPhase", "FrCapPar", {216, 96, 121, 19}, "");
        row("Label5", "FrCapPar", {352, 96, 33, 17}, "deg");
        row("Frame1", "MDIForm1", {16, 280, 393, 89}, "Results");
        row("LabTriggLev", "Frame1", {32, 24, 161, 17}, "Maximum Deviation");
        row("TxtMaxUncertainty", "Frame1", {216, 24, 121, 19}, "");
        row("LabTriggLevUn", "Frame1", {352, 24, 25, 17}, "dB");
        row("LabTriggOffs", "Frame1", {16, 56, 177, 17}, "Phase of EUT reflection coefficient");
        row("TxtUncPhase", "Frame1", {216, 56, 121, 19}, "");
        row("LabTriggOffsUn", "Frame1", {352, 56, 25, 17}, "deg");
        row("PbCapture", "MDIForm1", {16, 392, 177, 33}, "Calculate");
        row("PbInfo", "MDIForm1", {224, 392, 89, 33}, "About");
        row("PbExit", "MDIForm1", {328, 392, 89, 33}, "Exit");
    }

    void placesEveryControl() {
        QFETCH(QString, name);
        QFETCH(QString, container);
        QFETCH(QRect, place);
        QFETCH(QString, caption);
        auto* control = form->findChild<QWidget*>(name);
        QVERIFY(control != nullptr);
        QCOMPARE(control->parentWidget()->objectName(), container);
        QCOMPARE(control->geometry(), place);
        QVERIFY(control->isVisible());
        QVERIFY(control->isEnabled());
        QString shown;
        if (auto* label = qobject_cast<QLabel*>(control))
            shown = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(control))
            shown = button->text();
        else if (auto* frame = qobject_cast<QGroupBox*>(control))
            shown = frame->title();
        if (caption.isEmpty())
            return;
        QCOMPARE(shown, caption);
        // Nothing is clipped at the fixed sizes, and every sign has a glyph.
        const QFontMetrics metrics(control->font());
        if (!qobject_cast<QGroupBox*>(control)) {
            QVERIFY2(control->sizeHint().width() <= place.width(),
                     qPrintable(QString("needs %1 px, has %2").arg(control->sizeHint().width()).arg(place.width())));
            QVERIFY(metrics.height() <= place.height());
        } else {
            QVERIFY(metrics.horizontalAdvance(caption) < place.width() - 16);
        }
        for (QChar c : caption)
            QVERIFY2(metrics.inFont(c), qPrintable(QString("no glyph for %1").arg(c)));
    }

    void usesTheFontsOfTheLayout() {
        QCOMPARE(form->Label1->font().pointSizeF(), 13.5);
        QCOMPARE(form->Label1->font().weight(), QFont::Bold);
        for (QWidget* w : {static_cast<QWidget*>(form->ChkLink[0]), static_cast<QWidget*>(form->ChkLink[2]),
                           static_cast<QWidget*>(form->Label4)}) {
            QCOMPARE(w->font().pointSizeF(), 9.75);
            QCOMPARE(w->font().weight(), QFont::Normal);
        }
        for (QWidget* w : {static_cast<QWidget*>(form->Label13), static_cast<QWidget*>(form->TxtFrequency),
                           static_cast<QWidget*>(form->PbCapture), static_cast<QWidget*>(form->Frame1)})
            QCOMPARE(w->font().pointSizeF(), 8.25);
        // The AN option over the frame is drawn above it.
        const QWidgetList children = form->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(children.indexOf(form->ChkLink[2]) > children.indexOf(form->Frame2));
        QCOMPARE(form->childAt(form->ChkLink[2]->geometry().center()), form->ChkLink[2]);
    }

    void calculateShowsTheResults() {
        QTest::mouseClick(form->PbCapture, Qt::LeftButton);
        ExpectResults(" 3.61", " 268.14");
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void leavingABoxComesBeforeCalculate() {
        QTest::mouseClick(form->TxtMagnitude, Qt::LeftButton);
        QCOMPARE(Focused(), form->TxtMagnitude);
        QCOMPARE(form->TxtMagnitude->text(), QString());
        Type("600");
        QCOMPARE(form->TxtMagnitude->text(), QString("600"));
        QTest::mouseClick(form->PbCapture, Qt::LeftButton);
        QCOMPARE(form->TxtMagnitude->text(), QString(" 500"));  // clamped before the calculation read it
        QVERIFY(form->TxtMaxUncertainty->text() != "not valid");
        QCOMPARE(form->Model().Module().Magnitude, 500.0);
    }

    void tabFollowsTheOrderOfTheLayout() {
        QCOMPARE(Focused(), form->PbCapture);
        const QWidget* forward[] = {form->PbExit,       form->PbInfo,   form->ChkLink[0],        form->TxtFrequency,
                                    form->TxtMagnitude, form->TxtPhase, form->TxtMaxUncertainty, form->TxtUncPhase,
                                    form->ChkLink[2],   form->PbCapture};
        for (const QWidget* expected : forward) {
            PressKey(Qt::Key_Tab);
            QCOMPARE(Focused(), expected);
            if (expected == form->TxtFrequency)
                QCOMPARE(form->TxtFrequency->text(), QString());  // emptied on entering
        }
        // Leaving the boxes by Tab wrote them back: Tab through gives 0.
        QCOMPARE(form->TxtFrequency->text(), QString(" 0"));
        QCOMPARE(form->TxtPhase->text(), QString(" 0"));
        PressKey(Qt::Key_Backtab);
        QCOMPARE(Focused(), form->ChkLink[2]);
        PressKey(Qt::Key_Backtab);
        QCOMPARE(Focused(), form->TxtUncPhase);
    }

    void tabReachesTheSelectedOptionOfEachGroup() {
        // A group of options is one stop, at the place of its selected option.
        QTest::mouseClick(form->ChkLink[3], Qt::LeftButton);
        form->PbCapture->setFocus(Qt::OtherFocusReason);
        const QWidget* forward[] = {form->PbExit,       form->PbInfo,     form->TxtFrequency,
                                    form->TxtMagnitude, form->TxtPhase,   form->TxtMaxUncertainty,
                                    form->TxtUncPhase,  form->ChkLink[2], form->ChkLink[3],
                                    form->PbCapture};
        for (const QWidget* expected : forward) {
            PressKey(Qt::Key_Tab);
            QCOMPARE(Focused(), expected);
        }
    }

    void arrowKeysMoveWithinAGroupOfOptions() {
        form->ChkLink[0]->setFocus(Qt::TabFocusReason);
        PressKey(Qt::Key_Down);
        QCOMPARE(Focused(), form->ChkLink[1]);
        QVERIFY(form->ChkLink[1]->isChecked());
        QCOMPARE(form->Model().Module().AnType, 2);
        QVERIFY(!form->ChkLink[0]->isChecked());
        PressKey(Qt::Key_Right);
        QCOMPARE(Focused(), form->ChkLink[3]);
        QCOMPARE(form->Model().Module().AnType, 4);
        // ChkLink(2) is a group of its own: arrows do not leave it.
        QTest::mouseClick(form->ChkLink[2], Qt::LeftButton);
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Left, Qt::Key_Up, Qt::Key_Right}) {
            PressKey(key);
            QVERIFY(form->ChkLink[2]->isChecked());
            QCOMPARE(form->Model().Module().AnType, 3);
        }
    }

    void enterInABoxPressesNoButton() {
        QTest::mouseClick(form->PbCapture, Qt::LeftButton);
        ExpectResults(" 3.61", " 268.14");
        QTest::mouseClick(form->TxtFrequency, Qt::LeftButton);
        Type("12");
        PressKey(Qt::Key_Return);
        QCOMPARE(Focused(), form->TxtFrequency);
        QCOMPARE(form->TxtFrequency->text(), QString("12"));
        ExpectResults("not valid", "not valid");  // invalidated, not recalculated
        PressKey(Qt::Key_Escape);
        ExpectResults("not valid", "not valid");
        QVERIFY(form->isVisible());
    }

    void keysReachTheHandlerBeforeTheBox() {
        QTest::mouseClick(form->TxtFrequency, Qt::LeftButton);
        Type("1,5");
        PressKey(Qt::Key_Backspace);
        PressKey(Qt::Key_Left);  // no character: nothing recorded
        QCOMPARE(QString::fromStdString(form->Model().Module().FrequencyEntry.EntryBuffer), QString(" 1. 5"));
        QCOMPARE(form->TxtFrequency->text(), QString("1,"));
        QTest::mouseClick(form->TxtMagnitude, Qt::LeftButton);
        QCOMPARE(form->TxtFrequency->text(), QString(" 1.5"));
        QVERIFY(form->Model().Module().FrequencyEntry.EntryBuffer.empty());
    }

    void droppedTextDoesNotPassTheHandlers() {
        QTest::mouseClick(form->PbCapture, Qt::LeftButton);
        QMimeData text;
        text.setText("1E300");
        const QPoint at = form->TxtMagnitude->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form->TxtMagnitude, &enter);
        QVERIFY(!enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form->TxtMagnitude, &drop);
        QCOMPARE(form->TxtMagnitude->text(), QString(" 39.26"));
        ExpectResults(" 3.61", " 268.14");
    }

    void optionsStayExclusiveAcrossTheirContainers() {
        QTest::mouseClick(form->PbCapture, Qt::LeftButton);
        QTest::mouseClick(form->ChkLink[2], Qt::LeftButton);
        QVERIFY(form->ChkLink[2]->isChecked());
        QVERIFY(!form->ChkLink[0]->isChecked());
        QCOMPARE(form->Model().Module().AnType, 3);
        ExpectResults("not valid", "not valid");
        QTest::mouseClick(form->ChkLink[3], Qt::LeftButton);
        for (int i = 0; i < 3; ++i)
            QVERIFY(!form->ChkLink[static_cast<std::size_t>(i)]->isChecked());
        QVERIFY(form->ChkLink[3]->isChecked());
        QCOMPARE(form->Model().Module().AnType, 4);
        // Re-clicking the selected option leaves a result on screen.
        QTest::mouseClick(form->PbCapture, Qt::LeftButton);
        const QString result = form->TxtMaxUncertainty->text();
        QTest::mouseClick(form->ChkLink[3], Qt::LeftButton);
        QCOMPARE(form->TxtMaxUncertainty->text(), result);
    }

    void aboutShowsTheExplanation() {
        SeenMessage seen;
        DismissNextMessageBox(&seen);
        QTest::mouseClick(form->PbInfo, Qt::LeftButton);
        QVERIFY(seen.shown);
        QCOMPARE(seen.title, QString("Quillet"));
        QString expected = QString::fromUtf8(quillet::kAboutMessage.data(), quillet::kAboutMessage.size());
        expected.replace("\r\n", "\n");
        QCOMPARE(seen.text, expected);
        QVERIFY(seen.text.contains("the phase is shown as the second result.\n\n\nQuillet"));
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QVERIFY(seen.onlyOk);
        QCOMPARE(seen.buttonCount, 1);
        ExpectResults("not valid", "not valid");
        QCOMPARE(form->TxtFrequency->text(), QString("0.15"));
    }

    void valuesThatCannotBeEvaluatedGiveAMessage() {
        form->TxtPhase->setText(" 0");
        QTest::mouseClick(form->TxtMagnitude, Qt::LeftButton);
        Type(".000000000000001");
        SeenMessage seen;
        DismissNextMessageBox(&seen);
        QTest::mouseClick(form->PbCapture, Qt::LeftButton);
        QVERIFY(seen.shown);
        QCOMPARE(seen.title, QString("Quillet"));
        QVERIFY(seen.text.contains("cannot be evaluated"));
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        ExpectResults("not valid", "not valid");
        QCOMPARE(form->TxtMagnitude->text(), QString(" 1E-15"));
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(form->isVisible());
    }

    void switchingApplicationsKeepsWhatWasTyped() {
        QTest::mouseClick(form->TxtFrequency, Qt::LeftButton);
        Type("12");
        QWidget other;
        other.setWindowTitle("another application");
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(!form->isActiveWindow());
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QCOMPARE(Focused(), form->TxtFrequency);
        QCOMPARE(form->TxtFrequency->text(), QString("12"));
        QCOMPARE(QString::fromStdString(form->Model().Module().FrequencyEntry.EntryBuffer), QString(" 1 2"));
        ExpectResults("not valid", "not valid");
    }

    void exitAndTheCloseBoxEndTheProgram_data() {
        QTest::addColumn<bool>("byCloseBox");
        QTest::newRow("Exit") << false;
        QTest::newRow("close box") << true;
    }

    void exitAndTheCloseBoxEndTheProgram() {
        QFETCH(bool, byCloseBox);
        QTest::mouseClick(form->PbCapture, Qt::LeftButton);
        QTimer::singleShot(0, form.get(), [this, byCloseBox] {
            if (byCloseBox)
                form->windowHandle()->close();  // what the window manager's close box asks for
            else
                QTest::mouseClick(form->PbExit, Qt::LeftButton);
        });
        bool timedOut = false;
        QTimer::singleShot(5000, qApp, [&timedOut] {
            timedOut = true;
            QApplication::quit();
        });
        QApplication::exec();  // returns once the last window is gone
        QVERIFY(!timedOut);
        QVERIFY(!form->isVisible());
    }

    void screenReadersGetEveryCaption() {
        const std::pair<QWidget*, const char*> named[] = {
            {form->TxtFrequency, "Frequency"},
            {form->TxtMagnitude, "Magnitude"},
            {form->TxtPhase, "Phase"},
            {form->TxtMaxUncertainty, "Maximum Deviation"},
            {form->TxtUncPhase, "Phase of EUT reflection coefficient"},
            {form->ChkLink[0], "50 Ω // 50 µH + 5 Ω"},
            {form->ChkLink[1], "50 Ω // 50 µH"},
            {form->ChkLink[2], "50 Ω // 5 µH + 1 Ω"},
            {form->ChkLink[3], "150 Ω"},
            {form->PbCapture, "Calculate"},
            {form->PbInfo, "About"},
            {form->PbExit, "Exit"},
        };
        for (const auto& [widget, name] : named) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            QVERIFY(accessible != nullptr);
            QCOMPARE(accessible->text(QAccessible::Name), QString::fromUtf8(name));
        }
        QCOMPARE(form->Label13->buddy(), form->TxtFrequency);
        QCOMPARE(form->LabTriggOffs->buddy(), form->TxtUncPhase);
    }
};

QTEST_MAIN(MDIForm1Test)
#include "mdi_form1_test.moc"

using namespace quillet::ui;
