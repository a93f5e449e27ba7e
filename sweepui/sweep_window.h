// A window for one measured sweep: the AN type, the deviation and impedance plots, the
// table of points and the summary, exports written as an-sweep writes
// them, and each row one step away from the calculator.
#pragma once

#include <QString>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "sweep/plot_format.h"
#include "sweep/report.h"
#include "sweepcore/sweep_job.h"

class QAction;
class QComboBox;
class QMenu;
class QMenuBar;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QTabBar;
class QTableView;
class QTimer;

namespace quillet::sweepui {

using sweepcore::SweepResult;

class ImpedanceView;
class PlotView;
class PointTableModel;

class SweepWindow : public QWidget {
    Q_OBJECT

public:
    // Starts evaluating the file at once, for AN type 1..4; options say
    // what the columns of delimited text hold, where the user said so.
    SweepWindow(const QString& path, std::int16_t anType, measurement::ReadOptions options = {},
                QWidget* parent = nullptr);
    ~SweepWindow() override;  // cancels the evaluation and waits for it
    SweepWindow(const SweepWindow&) = delete;
    SweepWindow& operator=(const SweepWindow&) = delete;

    QString Path() const { return path_; }
    bool Busy() const { return worker_.joinable(); }
    // The evaluation on show; nothing before the first has finished.
    const std::optional<SweepResult>& Result() const { return result_; }
    // The SHA-256 of the file's bytes the evaluation on show was read from;
    // none when the file changed while it was being read.
    const std::optional<std::string>& EvaluatedSha256() const { return evaluatedSha256_; }

    // The report or the plot into a file, the bytes an-sweep writes for the
    // same file and type. Throws std::runtime_error naming the file.
    void ExportReport(const QString& file, sweep::ReportFormat format) const;
    void ExportPlot(const QString& file, sweep::PlotFormat format) const;
    void ExportImpedancePlot(const QString& file, sweep::PlotFormat format) const;

    // Evaluates again for the type in the type box; rereading the file
    // takes in any change made to it since.
    void Evaluate(bool reread);
    void Cancel();

    // The selected rows as tab-separated text with the header, for a
    // spreadsheet; every row when none is selected.
    QString SelectedRowsText() const;

    // The menus' commands.
    QAction* OpenAction;
    QAction* ReloadAction;
    QAction* ExportReportAction;
    QAction* ExportPlotAction;
    QAction* ExportImpedancePlotAction;
    QAction* RecordVerificationAction;
    QAction* RegisterAction;
    QAction* CloseAction;
    QAction* CopyAction;
    QAction* SelectAllAction;
    QAction* ResetZoomAction;
    QMenu* RecentMenu;

    // The controls, from top to bottom.
    QMenuBar* MenuBar;
    QComboBox* AnTypeBox;
    QPushButton* ReloadButton;
    QPushButton* ResetZoomButton;
    // The deviation and the impedance plot, one on show at a time; the tabs
    // are chosen with Alt+D and Alt+I, or Ctrl+Tab within.
    QStackedWidget* PlotTabs;  // the deviation and the impedance plot
    QTabBar* PlotSwitch;       // which of them shows
    PlotView* Plot;
    ImpedanceView* Impedance;
    QLabel* Summary;
    // The budget lines as a grid: a heading across the top, then per band
    // two columns, measured and at the tolerance limit, under the band's
    // name, with a row per figure named in the first column. It scrolls in
    // BudgetArea where the window is too small for it.
    QWidget* Budget;
    QScrollArea* BudgetArea;
    QTableView* Table;
    PointTableModel* Points;
    QProgressBar* Progress;
    QPushButton* CancelButton;
    QLabel* Status;

signals:
    // Open… and a recent file chosen in the File menu.
    void OpenRequested();
    void OpenFileRequested(const QString& path);
    // File > Record verification… and File > Verification register….
    void RecordVerificationRequested();
    void RegisterRequested();
    // A row chosen with a double click or Enter: its typed texts and type.
    void PointActivated(const QString& frequency, const QString& magnitude, const QString& phase, int anType);
    // An evaluation has finished and is on show, was cancelled, or failed
    // (the message names the file and line, as an-sweep's does).
    void Evaluated();
    void Cancelled();
    void Failed(const QString& message);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    std::string ExportTarget(const QString& file) const;
    void ExportReportWithDialog();
    void ExportPlotWithDialog();
    void ExportImpedancePlotWithDialog();
    void Finish(int generation, std::optional<SweepResult> result, std::optional<std::string> sha256);
    void Fail(int generation, const QString& message);
    void Progressed(int generation, std::size_t done, std::size_t total);
    void StopWorker();
    void SetBusy(bool busy);
    void ShowTypeOfResult();
    void ShowBudget();
    void CreateMenus();
    void Copy();
    void FillRecentMenu();
    void ShowEvaluation();
    void FitNextColumn();

    QString path_;
    measurement::ReadOptions options_;
    std::optional<SweepResult> result_;
    std::optional<std::string> evaluatedSha256_;
    std::thread worker_;
    std::shared_ptr<std::atomic<bool>> cancelled_;
    int generation_ = 0;    // results of an evaluation since replaced are dropped
    QTimer* columnFitter_;  // fits the columns of the first evaluation shown
    int columnToFit_ = 0;
};

}  // namespace quillet::sweepui
