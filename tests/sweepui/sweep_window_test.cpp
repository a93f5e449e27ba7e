// The sweep windows driven through their real widgets beside the real
// calculator, and held against what an-sweep prints for the same file.
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSettings>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <limits>

#include "apps/quillet/sweep_windows.h"
#include "sweep/report.h"
#include "sweepui/column_dialog.h"
#include "sweepui/plot_view.h"
#include "sweepui/point_table_model.h"
#include "sweepui/settings.h"
#include "tests/ui/ui_test_support.h"

using quillet::sweepui::SweepWindow;
using quillet::ui::MDIForm1;
using quillet::ui::SetUpAppearance;

namespace {

const QString kSample = QStringLiteral(QUILLET_SAMPLE);

struct Run {
    QByteArray out, err;
};

Run AnSweep(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(AN_SWEEP), arguments);
    process.waitForFinished(60000);
    return {process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Records and dismisses the message box that comes up once the worker has
// finished, whenever that is.
void DismissComingMessageBox(SeenMessage* seen) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [seen, poll] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        seen->shown = true;
        seen->text = box->text();
        box->button(QMessageBox::Ok)->click();
        poll->deleteLater();
    });
    poll->start(20);
}

void MoveMouse(QWidget* widget, QPoint at, Qt::MouseButtons held) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

bool Idle(SweepWindow* window) {
    return QTest::qWaitFor([window] { return !window->Busy(); }, 120000);
}

// The rows of an-sweep's aligned table, each split into its cells.
QList<QStringList> TableRows(const QByteArray& table) {
    const QList<QByteArray> lines = table.split('\n');
    QList<QStringList> rows;
    for (qsizetype i = 3; i < lines.size() && !lines[i].isEmpty(); ++i)
        rows << QString::fromUtf8(lines[i]).split(' ', Qt::SkipEmptyParts);
    return rows;
}

QList<QStringList> ShownRows(const SweepWindow& window) {
    QList<QStringList> rows;
    const QAbstractItemModel& model = *window.Table->model();
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c)
            cells << model.index(r, c).data().toString();
        rows << cells;
    }
    return rows;
}

// an-sweep's summary lines: from the first after the table to the budget.
QString SummaryOf(const QByteArray& table) {
    const qsizetype from = table.indexOf("\n\nWorst") + 2;
    return QString::fromUtf8(table.mid(from, table.indexOf("\n\nBudget lines") - from));
}

// The budget grid holds an-sweep's budget lines: the whole text for a
// screen reader, and in each band's columns, measured and tolerance limit,
// the figure an-sweep prints after each figure's name.
void ShowsBudgetOf(const SweepWindow& window, const QByteArray& table) {
    const QString text = QString::fromUtf8(table.mid(table.indexOf("\n\nBudget lines") + 2)).trimmed();
    QCOMPARE(window.Budget->accessibleDescription(), text);
    const QStringList lines = text.split('\n');
    auto* grid = qobject_cast<QGridLayout*>(window.Budget->layout());
    QVERIFY(grid != nullptr);
    const auto cell = [grid](int row, int column) {
        QLayoutItem* item = grid->itemAtPosition(row, column);
        auto* label = item != nullptr ? qobject_cast<QLabel*>(item->widget()) : nullptr;
        return label != nullptr ? label->text() : QStringLiteral("(no cell)");
    };
    QCOMPARE(lines.size() % 3, 1);  // the heading, then three lines a band
    for (int band = 0; 1 + 3 * band < lines.size(); ++band) {
        const int column = 1 + 2 * band;
        QCOMPARE(cell(0, column), lines[1 + 3 * band]);
        for (int side = 0; side < 2; ++side) {
            const QString figures = lines[2 + 3 * band + side].section(':', 1).trimmed();
            if (figures.startsWith("unbounded")) {
                QCOMPARE(cell(2, column + side), figures);
                continue;
            }
            const QStringList named = figures.split(", ");
            QCOMPARE(named.size(), grid->rowCount() - 2);
            for (int f = 0; f < named.size(); ++f) {
                const QString name = cell(2 + f, 0);
                QVERIFY2(named[f].startsWith(name + ' '), qPrintable(named[f]));
                QCOMPARE(cell(2 + f, column + side), named[f].mid(name.size() + 1));
            }
        }
    }
}

// A Touchstone sweep of n points from 0.15 to 30 MHz around 50 ohm.
QByteArray LongSweep(int n) {
    QByteArray text = "# MHz Z MA R 50\n";
    for (int i = 0; i < n; ++i)
        text += QByteArray::number(0.15 + 29.85 * i / (n - 1), 'g', 12) + ' ' +
                QByteArray::number(40 + 20.0 * i / n, 'g', 8) + " 30\n";
    return text;
}

}  // namespace

class SweepWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MDIForm1> calculator_;
    std::unique_ptr<quillet::app::SweepWindows> sweeps_;
    QTemporaryDir dir_;

    SweepWindow* OpenSample() {
        SweepWindow* window = sweeps_->Open(kSample);
        if (!Idle(window) || !window->Result())
            qWarning("the sample was not evaluated");
        return window;
    }

private slots:
    void initTestCase() {
        SetUpAppearance();
        QSettings().clear();  // a folder of the test's own (XDG_CONFIG_HOME)
    }

    // A delimited file whose header is not understood: the user says what
    // each column holds, sees the reading before accepting it, and the file
    // opens so; the next file with that header opens so at once.
    void statesTheColumnsOfAFileItCannotRead() {
        const QString path = dir_.filePath("unknown.csv");
        Write(path, "Messpunkt;Wert A;Wert B\n1;50;10\n2;51;11\n3;52;12\n");
        bool refusedFirst = false, previewed = false;
        auto* answer = new QTimer(this);
        QObject::connect(answer, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<quillet::sweepui::ColumnDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr)
                return;
            answer->stop();
            QPushButton* ok = dialog->Buttons->button(QDialogButtonBox::Ok);
            refusedFirst = !ok->isEnabled();
            QCOMPARE(dialog->Columns.size(), std::size_t{3});
            dialog->Columns[0]->setCurrentIndex(dialog->Columns[0]->findData(QStringLiteral("f:MHz")));
            dialog->Columns[1]->setCurrentIndex(dialog->Columns[1]->findData(QStringLiteral("mag:ohm")));
            dialog->Columns[2]->setCurrentIndex(dialog->Columns[2]->findData(QStringLiteral("phase:deg")));
            previewed = ok->isEnabled() && dialog->Preview->text().startsWith(QStringLiteral("Read as: 1 MHz: 50 ohm"));
            ok->click();
        });
        answer->start(20);
        sweeps_->Open(path);
        QTRY_VERIFY(!answer->isActive());
        QVERIFY(refusedFirst);
        QVERIFY(previewed);
        QTRY_COMPARE(sweeps_->Windows().size(), 1);
        SweepWindow* window = sweeps_->Windows().first();
        QVERIFY(Idle(window));
        QCOMPARE(window->Table->model()->rowCount(), 3);

        const QString again = dir_.filePath("unknown-again.csv");
        Write(again, "Messpunkt;Wert A;Wert B\n4;53;13\n5;54;14\n");
        SweepWindow* second = sweeps_->Open(again);
        QVERIFY(Idle(second));
        QCOMPARE(second->Table->model()->rowCount(), 2);
        delete answer;
    }

    // Sort by deviation, select a row, change the type: the order and the
    // selection stay and Enter calculates the highlighted row; Ctrl+A and
    // Ctrl+C copy the rows with the header for a spreadsheet; each access
    // key once in the window; the file is among the recent ones.
    void keepsTheUsersRowsAndCopiesThem() {
        SweepWindow* window = OpenSample();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        window->Table->sortByColumn(quillet::sweep::kDeviationColumn, Qt::DescendingOrder);
        window->Table->selectRow(3);
        const QString chosen = window->Table->model()->index(3, 0).data().toString();
        window->AnTypeBox->setCurrentIndex(2);
        QVERIFY(Idle(window));
        QCOMPARE(window->Table->horizontalHeader()->sortIndicatorSection(), int(quillet::sweep::kDeviationColumn));
        const QModelIndexList rows = window->Table->selectionModel()->selectedRows();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().data().toString(), chosen);
        QCOMPARE(window->Table->currentIndex().row(), rows.first().row());
        QSignalSpy activated(window, &SweepWindow::PointActivated);
        window->Table->setFocus();
        QTest::keyClick(window->Table, Qt::Key_Return);
        QCOMPARE(activated.size(), 1);
        QCOMPARE(activated.first().at(0).toString(), chosen);

        QTest::keyClick(window->Table, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(window->Table, Qt::Key_C, Qt::ControlModifier);
        const QStringList lines = QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), window->Table->model()->rowCount() + 1);
        QCOMPARE(lines.first().split('\t').size(), window->Table->model()->columnCount());
        QVERIFY(lines.first().startsWith(QStringLiteral("f (MHz)\t")));

        QStringList keys;
        for (QWidget* control : window->findChildren<QWidget*>()) {
            const QString text = control->property("text").toString() + control->property("title").toString();
            const qsizetype amp = text.indexOf('&');
            if (amp >= 0 && amp + 1 < text.size() && control->isVisibleTo(window))
                keys << text.at(amp + 1).toLower();
        }
        for (QAction* menu : window->MenuBar->actions())
            keys << menu->text().at(menu->text().indexOf('&') + 1).toLower();
        QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
        QCOMPARE(quillet::sweepui::RecentFiles().value(0), QFileInfo(kSample).absoluteFilePath());
    }

    void init() {
        calculator_ = OpenWindow();
        sweeps_ = std::make_unique<quillet::app::SweepWindows>(*calculator_);
    }

    void cleanup() {
        sweeps_.reset();
        calculator_.reset();
    }

    // The table and summary of each AN type, reached by changing the type.
    void showsAnSweepsTableForEveryType() {
        calculator_->ChkLink[1]->click();
        SweepWindow* window = OpenSample();
        QCOMPARE(window->AnTypeBox->currentIndex(), 1);  // the calculator's type
        for (int type : {2, 3, 4, 1}) {
            window->AnTypeBox->setCurrentIndex(type - 1);
            QVERIFY(Idle(window));
            const Run expected = AnSweep({"--type", QString::number(type), kSample});
            QCOMPARE(ShownRows(*window), TableRows(expected.out));
            QCOMPARE(window->Summary->text(), SummaryOf(expected.out));
            QCOMPARE(window->Plot->accessibleDescription(), window->Summary->text());
            ShowsBudgetOf(*window, expected.out);
            if (QTest::currentTestFailed())
                return;
        }
        // Sorting orders by value and keeps each row whole, and the chosen
        // row chosen; back in file order, it is where it was.
        window->Table->selectRow(7);
        const QStringList chosen = ShownRows(*window).at(7);
        window->Table->sortByColumn(3, Qt::DescendingOrder);
        const QStringList first = ShownRows(*window).first();
        QCOMPARE(first.at(3), QString("2.93"));
        QCOMPARE(first.at(0), QString("30"));
        const QModelIndex current = window->Table->currentIndex();
        QCOMPARE(ShownRows(*window).at(current.row()), chosen);
        QVERIFY(current.row() != 7);
        window->Table->sortByColumn(-1, Qt::AscendingOrder);
        QCOMPARE(window->Table->currentIndex().row(), 7);
    }

    // A point whose worst case has no bound: its band's measured figures
    // say where, as an-sweep's do, and it sorts beyond every number in the
    // columns of the worst case and the phase statistics.
    void unboundedPointInBudgetAndSorting() {
        const QString file = dir_.filePath("unbounded.csv");
        Write(file, "0.15,39.26,54.85\n1,50,120\n10,80,-20\n20,50,5\n");
        SweepWindow* window = sweeps_->Open(file);
        QVERIFY(Idle(window));
        QVERIFY(window->AnTypeBox->currentIndex() == 0);
        const QByteArray table = AnSweep({"--type", "1", file}).out;
        QVERIFY(table.contains("unbounded from 1 MHz"));
        ShowsBudgetOf(*window, table);
        if (QTest::currentTestFailed())
            return;

        using namespace quillet::sweep;
        struct Column {
            int column;
            double unbounded;
        };
        constexpr double kInfinity = std::numeric_limits<double>::infinity();
        for (const Column c :
             {Column{kExactHighColumn, kInfinity}, Column{kExactLowColumn, -kInfinity}, Column{kMeanColumn, kInfinity},
              Column{kStandardDeviationColumn, kInfinity}, Column{kRmsColumn, kInfinity}}) {
            for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
                window->Table->sortByColumn(c.column, order);
                QList<double> shown;
                for (const QStringList& row : ShownRows(*window))
                    shown << (row.at(c.column) == "unbounded" ? c.unbounded : row.at(c.column).toDouble());
                QList<double> sorted = shown;
                std::stable_sort(sorted.begin(), sorted.end());
                if (order == Qt::DescendingOrder)
                    std::reverse(sorted.begin(), sorted.end());
                QVERIFY2(shown == sorted, TableHeader().at(c.column).c_str());
                QVERIFY(shown.contains(c.unbounded));
            }
        }
        // The columns before them sort by the unrounded values.
        for (int column : {kFrequencyColumn, kMagnitudeColumn, kPhaseColumn, kDeviationColumn, kEutPhaseColumn}) {
            window->Table->sortByColumn(column, Qt::DescendingOrder);
            QList<double> keys;
            for (int row = 0; row < window->Points->rowCount(); ++row) {
                const EvaluatedPoint p = window->Points->PointAt(row);
                const double values[] = {p.frequencyMHz, p.magnitudeOhm, p.phaseDegrees,
                                         p.deviationDb.value_or(-kInfinity), p.eutPhaseDegrees.value_or(-kInfinity)};
                keys << values[column];
            }
            QVERIFY2(std::is_sorted(keys.rbegin(), keys.rend()), TableHeader().at(column).c_str());
        }
    }

    void exportsWhatAnSweepWrites_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("format");
        for (int type : {1, 3})
            for (const char* format : {"table", "csv", "json", "png", "svg", "impedance.png", "impedance.svg"})
                QTest::addRow("type %d %s", type, format) << type << QString(format);
    }

    void exportsWhatAnSweepWrites() {
        QFETCH(int, type);
        QFETCH(QString, format);
        SweepWindow* window = OpenSample();
        window->AnTypeBox->setCurrentIndex(type - 1);
        QVERIFY(Idle(window));
        const QString target = dir_.filePath("export." + format);
        QByteArray expected;
        using quillet::sweep::PlotFormat;
        using quillet::sweep::ReportFormat;
        const QString ending = format.section('.', -1);
        const bool impedance = format.startsWith("impedance.");
        if (ending == "png" || ending == "svg") {
            const QString plot = dir_.filePath("an-sweep." + ending);
            AnSweep({"--type", QString::number(type), impedance ? "--impedance-plot" : "--plot", plot, kSample});
            expected = Contents(plot);
            const PlotFormat plotFormat = ending == "png" ? PlotFormat::Png : PlotFormat::Svg;
            if (impedance)
                window->ExportImpedancePlot(target, plotFormat);
            else
                window->ExportPlot(target, plotFormat);
        } else {
            expected = AnSweep({"--type", QString::number(type), "--format", format, kSample}).out;
            window->ExportReport(target, format == "csv"    ? ReportFormat::Csv
                                         : format == "json" ? ReportFormat::Json
                                                            : ReportFormat::Table);
        }
        QVERIFY(!expected.isEmpty());
        QCOMPARE(Contents(target), expected);
    }

    void refusesToExportOverTheMeasurement() {
        const QString copy = dir_.filePath("copy.s1p");
        QFile::remove(copy);
        QVERIFY(QFile::copy(kSample, copy));
        SweepWindow* window = sweeps_->Open(copy);
        QVERIFY(Idle(window));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, window->ExportReport(copy, quillet::sweep::ReportFormat::Csv));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 window->ExportImpedancePlot(copy, quillet::sweep::PlotFormat::Svg));
        QCOMPARE(Contents(copy), Contents(kSample));

        // Checked first, then asked, by the name to be written: the
        // measurement's own name with the CSV filter is refused (no
        // copy.s1p.csv), and a name typed without its ending does not
        // replace the file the ending completes unless the user says so.
        const QString kept = dir_.filePath("kept.csv");
        Write(kept, "precious\n");
        for (const QString& typed : {copy, dir_.filePath("kept")}) {
            QString asked;
            auto* answer = new QTimer(window);
            QObject::connect(answer, &QTimer::timeout, window, [answer, typed, &asked] {
                QWidget* modal = QApplication::activeModalWidget();
                if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                    // Typed into the name box, as a user does.
                    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                    if (name == nullptr || !dialog->isVisible())
                        return;
                    name->setText(typed);
                    QMetaObject::invokeMethod(dialog, "accept");
                } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                    asked = box->text();
                    (box->button(QMessageBox::No) != nullptr ? box->button(QMessageBox::No)
                                                             : box->button(QMessageBox::Ok))
                        ->click();
                    answer->stop();
                }
            });
            answer->start(20);
            window->ExportReportAction->trigger();
            QVERIFY(!answer->isActive());
            QVERIFY2(asked.startsWith(QFileInfo(typed == copy ? copy : kept).fileName()), qPrintable(asked));
            delete answer;
        }
        QCOMPARE(Contents(kept), QByteArray("precious\n"));
        QCOMPARE(Contents(copy), Contents(kSample));
        QVERIFY(!QFileInfo::exists(copy + ".csv"));
    }

    // Files dropped anywhere on the calculator open; dropped text does not,
    // and the box it lands on keeps its text.
    void dropOpensAFileAndNothingElse_data() {
        QTest::addColumn<bool>("file");
        QTest::addRow("file") << true;
        QTest::addRow("text") << false;
    }

    void dropOpensAFileAndNothingElse() {
        QFETCH(bool, file);
        QMimeData data;
        if (file)
            data.setUrls({QUrl::fromLocalFile(QFileInfo(kSample).absoluteFilePath())});
        else
            data.setText(QStringLiteral("123"));
        const QString before = calculator_->TxtMagnitude->text();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(calculator_->TxtMagnitude, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(calculator_->TxtMagnitude, &drop);
        QCOMPARE(sweeps_->Windows().size(), file ? 1 : 0);
        QCOMPARE(calculator_->TxtMagnitude->text(), before);
        if (file) {
            QVERIFY(Idle(sweeps_->Windows().first()));
            QTRY_VERIFY(sweeps_->Windows().first()->isVisible());
        }
    }

    // Enter on a row gives the calculator the row's result for the sweep's
    // type, also while the user is typing in a box of the calculator.
    void rowGoesIntoTheCalculator_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("typing");
        QTest::addRow("first") << 0 << false;
        QTest::addRow("last, while typing") << 200 << true;
    }

    void rowGoesIntoTheCalculator() {
        QFETCH(int, row);
        QFETCH(bool, typing);
        SweepWindow* window = OpenSample();
        window->AnTypeBox->setCurrentIndex(2);
        QVERIFY(Idle(window));
        if (typing) {
            calculator_->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(calculator_.get()));
            QTest::mouseClick(calculator_->TxtFrequency, Qt::LeftButton);
            QTest::keyClicks(calculator_->TxtFrequency, "12");
        }
        window->activateWindow();  // as a click in the table does
        QVERIFY(QTest::qWaitForWindowActive(window));
        window->Table->setCurrentIndex(window->Table->model()->index(row, 0));
        QTest::keyClick(window->Table, Qt::Key_Return);
        const auto& p = window->Points->PointAt(row);
        QCOMPARE(calculator_->TxtMagnitude->text().toDouble(), QString::fromStdString(p.magnitudeText).toDouble());
        QCOMPARE(calculator_->TxtMaxUncertainty->text().toStdString(), p.deviationText);
        QCOMPARE(calculator_->TxtUncPhase->text().toStdString(), p.eutPhaseText);
        QVERIFY(calculator_->ChkLink[2]->isChecked());
        QCOMPARE(calculator_->Model().Module().AnType, 3);
    }

    // A file that cannot be read gives an-sweep's message and nothing else:
    // no window on opening, the sweep on show kept on reloading.
    void badFileShowsItsMessage() {
        const QString bad = dir_.filePath("bad.s1p");
        Write(bad, "# MHz Z MA R 50\n0.15 40 30\n0.2 forty 30\n");
        QByteArray expected = AnSweep({bad}).err.trimmed();
        QVERIFY(expected.startsWith("an-sweep: "));
        expected.remove(0, 10);

        SeenMessage seen;
        DismissComingMessageBox(&seen);
        SweepWindow* failed = sweeps_->Open(bad);
        QTRY_VERIFY(seen.shown);
        QCOMPARE(seen.text, QString::fromUtf8(expected));
        QTRY_VERIFY(sweeps_->Windows().isEmpty() || !failed->isVisible());
        QCOMPARE(calculator_->TxtMaxUncertainty->text(), QString("not valid"));

        const QString good = dir_.filePath("good.s1p");
        QFile::remove(good);
        QVERIFY(QFile::copy(kSample, good));
        SweepWindow* window = sweeps_->Open(good);
        QVERIFY(Idle(window));
        const QList<QStringList> rows = ShownRows(*window);
        Write(good, "# MHz Z MA R 50\n0.15 40 30\n0.2 forty 30\n");
        SeenMessage again;
        DismissComingMessageBox(&again);
        window->ReloadButton->click();
        QTRY_VERIFY(again.shown);
        QCOMPARE(again.text, QString::fromUtf8(expected).replace(bad, good));
        QCOMPARE(ShownRows(*window), rows);
        QVERIFY(window->ExportReportAction->isEnabled());
    }

    // Cancelling a long file, or closing its window, stops the work at once;
    // the window stays usable and evaluates the file when asked again.
    void cancelledLongFileLeavesTheWindowUsable() {
        const QString longFile = dir_.filePath("long.s1p");
        Write(longFile, LongSweep(100'001));
        SweepWindow* window = sweeps_->Open(longFile);
        // Cancelled at once, before the worker can be done, however fast it is.
        QVERIFY(window->Busy());
        QVERIFY(window->Progress->isVisibleTo(window));
        window->CancelButton->click();
        QVERIFY(Idle(window));
        QVERIFY(!window->Result());
        QVERIFY(!window->Progress->isVisible());
        QVERIFY(window->Status->text().startsWith("Cancelled"));

        window->AnTypeBox->setCurrentIndex(3);
        QVERIFY(window->Busy());
        QVERIFY(Idle(window));
        QCOMPARE(window->Table->model()->rowCount(), 100'001);
        QCOMPARE(window->Result()->evaluation->anType, 4);

        // The same file again brings its window forward; Reload reads afresh.
        QCOMPARE(sweeps_->Open(longFile), window);
        QCOMPARE(sweeps_->Windows().size(), 1);

        const QString otherFile = dir_.filePath("long-copy.s1p");
        QVERIFY(QFile::copy(longFile, otherFile));
        SweepWindow* closing = sweeps_->Open(otherFile);
        closing->show();  // as the user sees it while it works
        QVERIFY(closing->Busy());
        QElapsedTimer timer;
        timer.start();
        closing->close();
        QVERIFY(timer.elapsed() < 1000);
        QTRY_COMPARE(sweeps_->Windows().size(), 1);
    }

    // Every control by Tab, the table by the arrows; names for a screen reader.
    void keyboardAlone() {
        SweepWindow* window = OpenSample();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        window->AnTypeBox->setFocus();
        const QList<QWidget*> order = {window->ReloadButton, window->Plot, window->Summary, window->BudgetArea,
                                       window->Table};
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        window->Table->setCurrentIndex(window->Table->model()->index(0, 0));
        QTest::keyClick(window->Table, Qt::Key_Down);
        QTest::keyClick(window->Table, Qt::Key_Down);
        QCOMPARE(window->Table->currentIndex().row(), 2);
        // Alt+I shows the impedance plot, which Tab then reaches in the
        // deviation plot's place.
        QTest::keyClick(window, Qt::Key_I, Qt::AltModifier);
        QCOMPARE(window->PlotTabs->currentWidget(), window->Impedance);
        QVERIFY(window->Impedance->Shown());
        window->ReloadButton->setFocus();
        QTest::keyClick(window->ReloadButton, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window->Impedance);
        QTest::keyClick(window, Qt::Key_D, Qt::AltModifier);
        QCOMPARE(window->PlotTabs->currentWidget(), window->Plot);
        for (QWidget* named : {static_cast<QWidget*>(window->Plot), static_cast<QWidget*>(window->Impedance),
                               static_cast<QWidget*>(window->Table), static_cast<QWidget*>(window->Summary),
                               static_cast<QWidget*>(window->BudgetArea)})
            QVERIFY(!named->accessibleName().isEmpty());
    }

    // The columns are fitted to their cells a column at a time after the
    // sweep is shown; then the rows show.
    void columnsFitTheirCells() {
        SweepWindow* window = OpenSample();
        QTRY_VERIFY(window->Table->viewport()->isVisible());
        for (int column = 0; column < window->Points->columnCount(); ++column) {
            const int fitted = window->Table->columnWidth(column);
            window->Table->resizeColumnToContents(column);
            QCOMPARE(fitted, window->Table->columnWidth(column));
        }
    }

    // The plot zooms to a dragged range and back; the pointer reads out the
    // nearest point.
    void plotZoomsAndReadsOut() {
        SweepWindow* window = OpenSample();
        quillet::sweepui::PlotView* plot = window->Plot;
        QTRY_VERIFY(plot->isVisible());
        const QRect area = plot->rect();
        QTest::mousePress(plot, Qt::LeftButton, {}, QPoint(area.width() / 2, area.height() / 2));
        MoveMouse(plot, QPoint(area.width() * 3 / 4, area.height() / 2), Qt::LeftButton);
        QTest::mouseRelease(plot, Qt::LeftButton, {}, QPoint(area.width() * 3 / 4, area.height() / 2));
        QVERIFY(plot->Zoom().has_value());
        QVERIFY(window->ResetZoomButton->isEnabled());
        MoveMouse(plot, QPoint(area.width() * 5 / 8, area.height() / 2), Qt::NoButton);
        QVERIFY(plot->HoveredPoint().has_value());
        const auto& p = window->Result()->evaluation->points.at(*plot->HoveredPoint());
        QVERIFY(p.frequencyMHz >= plot->Zoom()->fromMHz && p.frequencyMHz <= plot->Zoom()->toMHz);
        QVERIFY(plot->HoverText().startsWith(QString::fromStdString(p.frequencyText) + " MHz"));
        const auto cells = quillet::sweep::TableCells(p);
        QVERIFY(plot->HoverText().contains(QString::fromStdString("mean " + cells[quillet::sweep::kMeanColumn] +
                                                                  " dB, standard deviation " +
                                                                  cells[quillet::sweep::kStandardDeviationColumn])));
        window->ResetZoomButton->click();
        QVERIFY(!plot->Zoom().has_value());
    }
};

QTEST_MAIN(SweepWindowTest)
#include "sweep_window_test.moc"
