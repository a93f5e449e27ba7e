#include "sweepui/sweep_window.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>

#include "engine/an_types.h"
#include "files/atomic_file.h"
#include "files/file_identity.h"
#include "files/sha256.h"
#include "measurement/read_measurement.h"
#include "plotqt/png_file.h"
#include "sweep/rows_text.h"
#include "sweepcore/export_name.h"
#include "sweepui/plot_view.h"
#include "sweepui/point_table_model.h"
#include "sweepui/settings.h"

namespace quillet::sweepui {
namespace {

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The file a dialog's answer names: its own ending where that is one of the
// offered formats, else the chosen filter's ending added.
template <class Format>
struct Choice {
    const char* filter;
    const char* suffix;
    Format format;
};

template <class Format, std::size_t N>
std::pair<QString, Format> Chosen(const QString& file, const QString& filter, const Choice<Format> (&choices)[N]) {
    std::string_view endings[N];
    std::size_t chosen = 0;
    for (std::size_t i = 0; i < N; ++i) {
        endings[i] = choices[i].suffix;
        if (filter == QLatin1String(choices[i].filter))
            chosen = i;
    }
    const sweepcore::ExportName name = sweepcore::CompletedExportName(file.toStdString(), endings, chosen);
    return {QString::fromStdString(name.file), choices[name.format].format};
}

// The file the answer names is checked before anything is asked: never the
// measurement itself, under any name; a file that exists is replaced only
// when the user says so, asked by the name that will be written.
bool MayWrite(QWidget* parent, const QString& measurement, const QString& typed, const QString& target) {
    for (const QString& name : {typed, target}) {
        if (files::SameFile(LocalPath(name), LocalPath(measurement))) {
            QMessageBox::warning(parent, QStringLiteral("Quillet"),
                                 QStringLiteral("%1 is the measurement file itself; choose another file.")
                                     .arg(QFileInfo(name).fileName()));
            return false;
        }
    }
    if (!QFileInfo::exists(target))
        return true;
    return QMessageBox::question(
               parent, QStringLiteral("Quillet"),
               QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(target).fileName())) ==
           QMessageBox::Yes;
}

constexpr Choice<sweep::ReportFormat> kReportChoices[] = {
    {"CSV (*.csv)", "csv", sweep::ReportFormat::Csv},
    {"JSON (*.json)", "json", sweep::ReportFormat::Json},
    {"Text table (*.txt)", "txt", sweep::ReportFormat::Table},
};

constexpr Choice<sweep::PlotFormat> kPlotChoices[] = {
    {"PNG image (*.png)", "png", sweep::PlotFormat::Png},
    {"SVG drawing (*.svg)", "svg", sweep::PlotFormat::Svg},
};

template <class Format, std::size_t N>
QString Filters(const Choice<Format> (&choices)[N]) {
    QStringList filters;
    for (const auto& choice : choices)
        filters << QLatin1String(choice.filter);
    return filters.join(QStringLiteral(";;"));
}

// As tall as what it shows and a horizontal scroll bar, where the window
// has the room; the table below takes the rest.
class FittingScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override {
        QSize hint = QScrollArea::sizeHint();
        if (widget() != nullptr)
            hint.setHeight(widget()->sizeHint().height() + horizontalScrollBar()->sizeHint().height() +
                           2 * frameWidth());
        return hint;
    }
};

}  // namespace

SweepWindow::SweepWindow(const QString& path, std::int16_t anType, measurement::ReadOptions options, QWidget* parent)
    : QWidget(parent, Qt::Window), path_(path), options_(std::move(options)) {
    columnFitter_ = new QTimer(this);
    columnFitter_->setInterval(0);
    connect(columnFitter_, &QTimer::timeout, this, &SweepWindow::FitNextColumn);
    setAttribute(Qt::WA_DeleteOnClose);
    const std::string source = measurement::SourceName(LocalPath(path));
    setWindowTitle(QStringLiteral("%1 – Quillet").arg(QFileInfo(QString::fromStdString(source)).fileName()));
    CreateControls();
    AnTypeBox->setCurrentIndex(anType - 1);
    connect(AnTypeBox, &QComboBox::currentIndexChanged, this, [this] { Evaluate(!result_); });
    Evaluate(true);
}

SweepWindow::~SweepWindow() { StopWorker(); }

void SweepWindow::CreateControls() {
    AnTypeBox = new QComboBox(this);
    for (const AnTypeInfo& type : kAnTypes)
        AnTypeBox->addItem(FromUtf8(type.caption));
    AnTypeBox->setAccessibleName(QStringLiteral("AN type"));
    auto* typeLabel = new QLabel(QStringLiteral("AN &type:"), this);
    typeLabel->setBuddy(AnTypeBox);
    ReloadButton = new QPushButton(QStringLiteral("&Reload"), this);
    ReloadButton->setToolTip(QStringLiteral("Read the file again and evaluate it (F5)"));
    ResetZoomButton = new QPushButton(QStringLiteral("Reset &zoom"), this);
    ResetZoomButton->setToolTip(
        QStringLiteral("Zoom the frequency axis with the wheel, by dragging a range or with + and -; a double "
                       "click, Home or 0 shows the whole sweep again"));
    ResetZoomButton->setEnabled(false);

    Plot = new PlotView(this);
    Plot->setAccessibleName(QStringLiteral("Deviation plot"));
    Impedance = new ImpedanceView(this);
    Impedance->setAccessibleName(QStringLiteral("Impedance plot"));
    // The plots take turns in one place; the tabs that choose between them
    // sit in the row above, so the plot keeps all the height it had.
    PlotTabs = new QStackedWidget(this);
    PlotTabs->addWidget(Plot);
    PlotTabs->addWidget(Impedance);
    PlotSwitch = new QTabBar(this);
    PlotSwitch->addTab(QStringLiteral("&Deviation"));
    PlotSwitch->addTab(QStringLiteral("&Impedance"));
    PlotSwitch->setDocumentMode(true);
    PlotSwitch->setDrawBase(false);
    PlotSwitch->setExpanding(false);
    // Out of the Tab chain, which goes from the buttons straight to the
    // plot on show; its access keys choose a tab.
    PlotSwitch->setFocusPolicy(Qt::NoFocus);
    connect(PlotSwitch, &QTabBar::currentChanged, PlotTabs, &QStackedWidget::setCurrentIndex);
    Summary = new QLabel(this);
    Summary->setAccessibleName(QStringLiteral("Summary"));
    Summary->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Summary->setFocusPolicy(Qt::StrongFocus);
    Summary->setWordWrap(true);
    Budget = new QWidget;
    Budget->setAccessibleName(QStringLiteral("Budget lines"));
    // The grid needs more room than a window beside the calculator or on a
    // small screen has: it scrolls there rather than make the window larger.
    BudgetArea = new FittingScrollArea(this);
    BudgetArea->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    BudgetArea->setWidget(Budget);
    BudgetArea->setWidgetResizable(true);
    BudgetArea->setFrameShape(QFrame::NoFrame);
    BudgetArea->setAccessibleName(QStringLiteral("Budget lines"));

    Points = new PointTableModel(this);
    Table = new QTableView(this);
    Table->setModel(Points);
    Table->setAccessibleName(QStringLiteral("Points"));
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setTabKeyNavigation(false);  // Tab leaves the table; the arrows move in it
    Table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    Table->setSortingEnabled(true);
    Table->verticalHeader()->hide();
    Table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 6);
    Table->setToolTip(QStringLiteral("Double-click a row or press Enter on it to calculate it in the calculator"));

    Progress = new QProgressBar(this);
    Progress->setAccessibleName(QStringLiteral("Evaluation progress"));
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    Status = new QLabel(this);

    auto* top = new QHBoxLayout;
    top->addWidget(typeLabel);
    top->addWidget(AnTypeBox);
    top->addSpacing(12);
    top->addWidget(PlotSwitch);
    top->addStretch();
    for (QPushButton* button : {ReloadButton, ResetZoomButton})
        top->addWidget(button);
    auto* lower = new QWidget(this);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(Summary);
    lowerLayout->addWidget(BudgetArea);
    lowerLayout->addWidget(Table, 1);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(PlotTabs);
    splitter->addWidget(lower);
    splitter->setChildrenCollapsible(false);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Status, 1);
    bottom->addWidget(Progress, 2);
    bottom->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    CreateMenus();
    layout->setMenuBar(MenuBar);
    layout->addLayout(top);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);

    const QWidget* order[] = {AnTypeBox, ReloadButton, ResetZoomButton, Plot,        Impedance,
                              Summary,   BudgetArea,   Table,           CancelButton};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));

    connect(ReloadButton, &QPushButton::clicked, ReloadAction, &QAction::trigger);
    connect(ResetZoomButton, &QPushButton::clicked, ResetZoomAction, &QAction::trigger);
    connect(Plot, &PlotView::ZoomChanged, ResetZoomButton, &QWidget::setEnabled);
    connect(Plot, &PlotView::ZoomChanged, ResetZoomAction, &QAction::setEnabled);
    connect(CancelButton, &QPushButton::clicked, this, &SweepWindow::Cancel);
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, &SweepWindow::Cancel);
    connect(AnTypeBox, &QComboBox::activated, this,
            [](int index) { SetLastAnType(static_cast<std::int16_t>(index + 1)); });
    connect(Table, &QTableView::activated, this, [this](const QModelIndex& index) {
        const sweep::EvaluatedPoint p = Points->PointAt(index.row());
        emit PointActivated(QString::fromStdString(p.frequencyText), QString::fromStdString(p.magnitudeText),
                            QString::fromStdString(p.phaseText), result_->evaluation->anType);
    });
    // Whoever places the window keeps it within the screen.
    resize(SweepWindowSize().value_or(QSize(900, 900)));
}

void SweepWindow::Evaluate(bool reread) {
    StopWorker();
    const auto type = static_cast<std::int16_t>(AnTypeBox->currentIndex() + 1);
    std::shared_ptr<const measurement::Measurement> measured;
    if (!reread && result_)
        measured = result_->measured;
    const int generation = ++generation_;
    cancelled_ = std::make_shared<std::atomic<bool>>(false);
    SetBusy(true);
    Status->setText(measured ? QStringLiteral("Evaluating…") : QStringLiteral("Reading…"));
    worker_ = std::thread([this, path = LocalPath(path_), type, measured, cancelled = cancelled_, generation,
                           options = options_, previousSha256 = evaluatedSha256_] {
        const auto progress = [this, generation](std::size_t done, std::size_t total) {
            QMetaObject::invokeMethod(
                this, [this, generation, done, total] { Progressed(generation, done, total); }, Qt::QueuedConnection);
        };
        try {
            // The file is fingerprinted before and after it is read: when
            // both agree, the sweep shown is of those very bytes, and a
            // verification recorded later can be held against them.
            std::optional<std::string> sha256 = measured ? previousSha256 : files::Sha256OfFile(path);
            auto result = sweepcore::EvaluateSweep(path, type, measured, *cancelled, progress, options);
            if (!measured && sha256 != files::Sha256OfFile(path))
                sha256.reset();
            QMetaObject::invokeMethod(
                this,
                [this, generation, result = std::move(result), sha256 = std::move(sha256)]() mutable {
                    Finish(generation, std::move(result), std::move(sha256));
                },
                Qt::QueuedConnection);
        } catch (const std::exception& error) {
            QMetaObject::invokeMethod(
                this, [this, generation, message = QString::fromStdString(error.what())] { Fail(generation, message); },
                Qt::QueuedConnection);
        }
    });
}

void SweepWindow::Cancel() {
    if (cancelled_)
        cancelled_->store(true);
}

// The worker stops between two points, so this waits at most for one.
void SweepWindow::StopWorker() {
    Cancel();
    if (worker_.joinable())
        worker_.join();
}

void SweepWindow::SetBusy(bool busy) {
    Progress->setVisible(busy);
    CancelButton->setVisible(busy);
    Progress->setRange(0, 0);  // busy until the first count arrives
    const bool shown = result_.has_value() && !busy;
    ExportReportAction->setEnabled(shown);
    ExportPlotAction->setEnabled(shown);
    ExportImpedancePlotAction->setEnabled(shown);
    RecordVerificationAction->setEnabled(shown);
    if (!busy)
        Status->clear();
}

void SweepWindow::Progressed(int generation, std::size_t done, std::size_t total) {
    if (generation != generation_)
        return;
    if (total == 0) {
        Status->setText(QStringLiteral("Reading… %1 points").arg(done));
        return;
    }
    Status->setText(QStringLiteral("Evaluating… %1 of %2 points").arg(done).arg(total));
    // A bar counts in int; per mille is fine enough for any sweep.
    Progress->setRange(0, 1000);
    Progress->setValue(static_cast<int>(done * 1000 / total));
}

void SweepWindow::ShowTypeOfResult() {
    if (!result_)
        return;
    const QSignalBlocker quiet(AnTypeBox);
    AnTypeBox->setCurrentIndex(result_->evaluation->anType - 1);
}

void SweepWindow::Finish(int generation, std::optional<SweepResult> result, std::optional<std::string> sha256) {
    if (generation != generation_)
        return;
    if (worker_.joinable())
        worker_.join();
    if (!result) {
        ShowTypeOfResult();  // what is on show stays, with its type
        SetBusy(false);
        Status->setText(result_ ? QStringLiteral("Cancelled; the evaluation shown is unchanged.")
                                : QStringLiteral("Cancelled. Reload (F5) or choose a type to evaluate the file."));
        emit Cancelled();
        return;
    }
    result_ = std::move(result);
    evaluatedSha256_ = std::move(sha256);
    ShowEvaluation();
    Plot->SetSweep(result_->plot, result_->evaluation, result_->source);
    Impedance->SetPlot(result_->impedancePlot);
    QStringList lines;
    for (const std::string& line : sweep::SummaryLines(result_->evaluation->summary))
        lines << QString::fromStdString(line);
    for (const std::string& note : result_->measured->notes)
        lines << QStringLiteral("Note: %1").arg(QString::fromStdString(note));
    Summary->setText(lines.join('\n'));
    Plot->setAccessibleDescription(Summary->text());
    Impedance->setAccessibleDescription(Summary->text());
    ShowBudget();
    SetBusy(false);
    emit Evaluated();
}

// The new evaluation in the table with the order and the selection the user
// had: the same column sorted the same way, the same points selected and
// the current one in view, so Enter acts on the row that is highlighted.
void SweepWindow::ShowEvaluation() {
    const QHeaderView* header = Table->horizontalHeader();
    const int sortColumn = header->sortIndicatorSection();
    const Qt::SortOrder sortOrder = header->sortIndicatorOrder();
    const bool firstTime = Points->rowCount() == 0;
    std::vector<std::size_t> selected;
    for (const QModelIndex& row : Table->selectionModel()->selectedRows())
        selected.push_back(Points->PointIndex(row.row()));
    const QModelIndex current = Table->currentIndex();
    const std::size_t currentPoint = current.isValid() ? Points->PointIndex(current.row()) : SIZE_MAX;

    Points->SetEvaluation(result_->evaluation);
    const std::size_t points = result_->evaluation->points.size();
    if (firstTime || sortColumn < 0 || sortColumn >= Points->columnCount())
        Table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    else
        Table->sortByColumn(sortColumn, sortOrder);
    QItemSelection selection;
    for (std::size_t point : selected) {
        if (point < points) {
            const int row = Points->RowOf(point);
            selection.select(Points->index(row, 0), Points->index(row, Points->columnCount() - 1));
        }
    }
    Table->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (currentPoint < points) {
        const QModelIndex at = Points->index(Points->RowOf(currentPoint), std::max(current.column(), 0));
        Table->selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
        Table->scrollTo(at);
    }
    if (firstTime) {
        // Fitting a column to its widest cells takes milliseconds; a column
        // at a time, with paints and input handled in between, keeps a long
        // sweep's window answering. The rows show once all are fitted.
        Table->viewport()->hide();
        columnToFit_ = 0;
        columnFitter_->start();
    }
}

void SweepWindow::FitNextColumn() {
    if (columnToFit_ < Points->columnCount()) {
        Table->resizeColumnToContents(columnToFit_++);
        return;
    }
    columnFitter_->stop();
    Table->viewport()->show();
}

void SweepWindow::CreateMenus() {
    MenuBar = new QMenuBar(this);
    QMenu* file = MenuBar->addMenu(QStringLiteral("&File"));
    OpenAction = file->addAction(QStringLiteral("&Open…"), this, &SweepWindow::OpenRequested);
    OpenAction->setShortcut(QKeySequence::Open);
    RecentMenu = file->addMenu(QStringLiteral("Open &recent"));
    connect(RecentMenu, &QMenu::aboutToShow, this, &SweepWindow::FillRecentMenu);
    ReloadAction = file->addAction(QStringLiteral("Re&load"), this, [this] { Evaluate(true); });
    ReloadAction->setShortcut(QKeySequence::Refresh);
    ReloadAction->setToolTip(QStringLiteral("Read the file again and evaluate it (F5)"));
    file->addSeparator();
    ExportReportAction = file->addAction(QStringLiteral("Export r&eport…"), this, &SweepWindow::ExportReportWithDialog);
    ExportPlotAction = file->addAction(QStringLiteral("Export &plot…"), this, &SweepWindow::ExportPlotWithDialog);
    ExportImpedancePlotAction =
        file->addAction(QStringLiteral("Export &impedance plot…"), this, &SweepWindow::ExportImpedancePlotWithDialog);
    file->addSeparator();
    RecordVerificationAction =
        file->addAction(QStringLiteral("Record &verification…"), this, &SweepWindow::RecordVerificationRequested);
    RegisterAction = file->addAction(QStringLiteral("Verification re&gister…"), this, &SweepWindow::RegisterRequested);
    file->addSeparator();
    CloseAction = file->addAction(QStringLiteral("&Close"), this, &QWidget::close);
    CloseAction->setShortcut(QKeySequence::Close);

    QMenu* edit = MenuBar->addMenu(QStringLiteral("&Edit"));
    CopyAction = edit->addAction(QStringLiteral("&Copy"), this, &SweepWindow::Copy);
    CopyAction->setShortcut(QKeySequence::Copy);
    SelectAllAction = edit->addAction(QStringLiteral("Select &all"), this, [this] {
        Table->setFocus(Qt::ShortcutFocusReason);
        Table->selectAll();
    });
    SelectAllAction->setShortcut(QKeySequence::SelectAll);

    QMenu* view = MenuBar->addMenu(QStringLiteral("&View"));
    ResetZoomAction = view->addAction(QStringLiteral("Reset &zoom"), Plot, &PlotView::ResetZoom);
    ResetZoomAction->setEnabled(false);
}

void SweepWindow::FillRecentMenu() {
    RecentMenu->clear();
    const QStringList files = RecentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString& path = files[i];
        QAction* entry = RecentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()),
                                               this, [this, path] { emit OpenFileRequested(path); });
        entry->setToolTip(path);
        entry->setStatusTip(path);
    }
    if (files.isEmpty())
        RecentMenu->addAction(QStringLiteral("(none yet)"))->setEnabled(false);
}

// The summary's selected text where the summary has the focus; else the
// table's selected rows.
void SweepWindow::Copy() {
    if (Summary->hasFocus() && Summary->hasSelectedText()) {
        QGuiApplication::clipboard()->setText(Summary->selectedText());
        return;
    }
    if (result_)
        QGuiApplication::clipboard()->setText(SelectedRowsText());
}

QString SweepWindow::SelectedRowsText() const {
    if (!result_)
        return FromUtf8(sweep::TabSeparatedRows({}, {}));  // the header alone
    std::vector<int> rows;
    for (const QModelIndex& row : Table->selectionModel()->selectedRows())
        rows.push_back(row.row());
    if (rows.empty()) {
        for (int row = 0; row < Points->rowCount(); ++row)
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    std::vector<std::size_t> points;
    points.reserve(rows.size());
    for (int row : rows)
        points.push_back(Points->PointIndex(row));
    return FromUtf8(sweep::TabSeparatedRows(result_->evaluation->points, points));
}

void SweepWindow::ShowBudget() {
    const std::vector<sweep::BudgetLine>& lines = result_->budget;
    const std::vector<std::string> text = sweep::BudgetText(lines);
    QStringList description;
    for (const std::string& line : text)
        description << FromUtf8(line);
    Budget->setAccessibleDescription(description.join('\n'));
    for (QWidget* cell : Budget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        delete cell;
    delete Budget->layout();
    BudgetArea->setVisible(!lines.empty());
    if (lines.empty())
        return;

    auto* grid = new QGridLayout(Budget);
    grid->setContentsMargins(0, 4, 0, 4);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(2);
    const auto add = [&](const QString& shown, int row, int column, int rowSpan = 1, int columnSpan = 1) {
        auto* cell = new QLabel(shown, Budget);
        cell->setTextFormat(Qt::PlainText);
        cell->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(cell, row, column, rowSpan, columnSpan, Qt::AlignLeft | Qt::AlignTop);
        return cell;
    };
    const auto& figures = sweep::BudgetFigures();
    QFont bold = Budget->font();
    bold.setBold(true);
    // The report's heading is long; here its explanations go into tips.
    QLabel* corner = add(QStringLiteral("Budget lines"), 0, 0);
    corner->setFont(bold);
    corner->setToolTip(description.first());
    for (std::size_t f = 0; f < figures.size(); ++f) {
        QLabel* name = add(QString::fromUtf8(figures[f].name), 2 + static_cast<int>(f), 0);
        if (figures[f].figure == &WorstFigures::largestRms)
            name->setToolTip(QStringLiteral("The largest rms deviation over the EUT phase"));
    }
    const QString toleranceTip = QStringLiteral("The worst AN within %1, over the band's measured frequencies")
                                     .arg(FromUtf8(sweep::ToleranceText()));
    for (std::size_t b = 0; b < lines.size(); ++b) {
        const sweep::BudgetLine& line = lines[b];
        const int column = 1 + 2 * static_cast<int>(b);
        const QString band = FromUtf8(sweep::BandText(line));
        add(band, 0, column, 1, 2)->setFont(bold);
        const std::pair<const char*, const WorstFigures*> sides[] = {{"measured", &line.measured},
                                                                     {"tolerance limit", &line.toleranceLimit}};
        for (int side = 0; side < 2; ++side) {
            const auto& [title, worst] = sides[side];
            QLabel* head = add(QString::fromUtf8(title), 1, column + side);
            if (side == 1)
                head->setToolTip(toleranceTip);
            const QString context = QStringLiteral("%1, %2").arg(band, QString::fromUtf8(title));
            if (worst->unboundedAtMHz) {
                const QString shown = FromUtf8(sweep::UnboundedText(*worst->unboundedAtMHz));
                add(shown, 2, column + side, static_cast<int>(figures.size()))
                    ->setAccessibleName(QStringLiteral("%1: %2").arg(context, shown));
                continue;
            }
            for (std::size_t f = 0; f < figures.size(); ++f) {
                const std::optional<WorstFigure>& figure = (*worst).*figures[f].figure;
                const QString shown = figure ? FromUtf8(sweep::FigureText(*figure)) : QString();
                add(shown, 2 + static_cast<int>(f), column + side)
                    ->setAccessibleName(QStringLiteral("%1 %2: %3").arg(context, figures[f].name, shown));
            }
        }
    }
    grid->setColumnStretch(1 + 2 * static_cast<int>(lines.size()), 1);  // the grid keeps to the left
    // Every row stays in view, however the window's parts were shared out
    // before, and only the width scrolls; on a screen too small for that,
    // the rows scroll too rather than push the window off the screen.
    grid->activate();
    // A short screen keeps more of its height for the windows' cascade.
    const int available = screen() != nullptr ? screen()->availableGeometry().height() : 0;
    const int roomy = available / (available >= 900 ? 6 : 8);
    BudgetArea->setMinimumHeight(std::min(BudgetArea->sizeHint().height(), roomy));
    BudgetArea->updateGeometry();
}

void SweepWindow::Fail(int generation, const QString& message) {
    if (generation != generation_)
        return;
    if (worker_.joinable())
        worker_.join();
    ShowTypeOfResult();
    SetBusy(false);
    // With nothing on show yet the opener reports it, and this window goes.
    if (result_)
        QMessageBox::warning(this, QStringLiteral("Quillet"), message);
    emit Failed(message);
}

// Where an export goes, never over the measurement.
std::string SweepWindow::ExportTarget(const QString& file) const {
    if (!result_)
        throw std::runtime_error("nothing evaluated to export");
    std::string target = LocalPath(file);
    if (files::SameFile(target, LocalPath(path_)))
        throw std::runtime_error(target + " is the measurement file itself; choose another file");
    return target;
}

void SweepWindow::ExportReport(const QString& file, sweep::ReportFormat format) const {
    const std::string target = ExportTarget(file);
    files::WriteFileAtomically(target,
                               sweep::WriteReport(*result_->evaluation, result_->budget, format, result_->source));
}

void SweepWindow::ExportPlot(const QString& file, sweep::PlotFormat format) const {
    const std::string target = ExportTarget(file);
    files::WriteFileAtomically(target,
                               format == sweep::PlotFormat::Svg ? result_->plot->Svg() : plotqt::PngOf(*result_->plot));
}

void SweepWindow::ExportImpedancePlot(const QString& file, sweep::PlotFormat format) const {
    const std::string target = ExportTarget(file);
    const plot::ImpedancePlot& plot = *result_->impedancePlot;
    files::WriteFileAtomically(target, format == sweep::PlotFormat::Svg ? plot.Svg() : plotqt::PngOf(plot));
}

namespace {

// A name of its own beside the measurement (a .csv measurement would
// otherwise be proposed as its own report), asked for, then written.
template <class Format, std::size_t N, class Write>
void ExportWithDialog(QWidget* window, const QString& measurement, const QString& title, const QString& proposedEnding,
                      const Choice<Format> (&choices)[N], Write write) {
    QString filter;
    const QString base = QFileInfo(measurement).absoluteDir().filePath(QFileInfo(measurement).completeBaseName());
    // The dialog does not ask about replacing: the name it returns may get
    // an ending, and the measurement is checked first.
    const QString file = QFileDialog::getSaveFileName(window, title, base + proposedEnding, Filters(choices), &filter,
                                                      QFileDialog::DontConfirmOverwrite);
    if (file.isEmpty())
        return;
    const auto [target, format] = Chosen(file, filter, choices);
    if (!MayWrite(window, measurement, file, target))
        return;
    SetLastFolder(target);
    try {
        write(target, format);
    } catch (const std::exception& error) {
        QMessageBox::warning(window, QStringLiteral("Quillet"), QString::fromStdString(error.what()));
    }
}

}  // namespace

void SweepWindow::ExportReportWithDialog() {
    ExportWithDialog(this, path_, QStringLiteral("Export the report"), QStringLiteral("-report.csv"), kReportChoices,
                     [this](const QString& file, sweep::ReportFormat format) { ExportReport(file, format); });
}

void SweepWindow::ExportPlotWithDialog() {
    ExportWithDialog(this, path_, QStringLiteral("Export the plot"), QStringLiteral("-deviation.png"), kPlotChoices,
                     [this](const QString& file, sweep::PlotFormat format) { ExportPlot(file, format); });
}

void SweepWindow::ExportImpedancePlotWithDialog() {
    ExportWithDialog(this, path_, QStringLiteral("Export the impedance plot"), QStringLiteral("-impedance.png"),
                     kPlotChoices,
                     [this](const QString& file, sweep::PlotFormat format) { ExportImpedancePlot(file, format); });
}

void SweepWindow::closeEvent(QCloseEvent* event) {
    StopWorker();
    SetSweepWindowSize(size());
    QWidget::closeEvent(event);
}

}  // namespace quillet::sweepui
