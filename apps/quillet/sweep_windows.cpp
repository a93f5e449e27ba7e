#include "apps/quillet/sweep_windows.h"

#include <QEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <algorithm>

#include "apps/quillet/window_placement.h"
#include "files/file_identity.h"
#include "records/register_rows.h"
#include "registerui/record_dialog.h"
#include "registerui/settings.h"
#include "sweepcore/column_choice.h"
#include "sweepcore/show_delay.h"
#include "sweepcore/window_place.h"
#include "sweepui/column_dialog.h"
#include "sweepui/settings.h"

namespace quillet::app {

SweepWindows::SweepWindows(ui::MDIForm1& calculator) : QObject(&calculator), calculator_(calculator) {
    connect(&calculator_, &ui::MDIForm1::FilesDropped, this, qOverload<const QStringList&>(&SweepWindows::Open));
    connect(&calculator_, &ui::MDIForm1::OpenRequested, this, &SweepWindows::OpenWithDialog);
    calculator_.installEventFilter(this);
}

SweepWindows::~SweepWindows() {
    for (const auto& window : windows_)
        delete window.data();
    delete register_.data();
}

QList<sweepui::SweepWindow*> SweepWindows::Windows() const {
    QList<sweepui::SweepWindow*> open;
    for (const auto& window : windows_) {
        if (window)
            open << window.data();
    }
    return open;
}

void SweepWindows::Open(const QStringList& paths) {
    for (const QString& path : paths)
        Open(path);
}

sweepui::SweepWindow* SweepWindows::Open(const QString& path) {
    // A file already open is brought forward; Reload reads it afresh.
    for (sweepui::SweepWindow* open : Windows()) {
        if ((open->Busy() || open->Result()) && files::SameFile(open->Path().toStdString(), path.toStdString())) {
            open->show();
            open->raise();
            open->activateWindow();
            return open;
        }
    }
    // The AN type last chosen in a sweep window, else the calculator's.
    const std::int16_t type = sweepui::LastAnType().value_or(calculator_.Model().Module().AnType);
    auto* window = new sweepui::SweepWindow(path, type, RememberedOptions(path));
    windows_.removeAll(nullptr);
    windows_ << window;
    Place(window);
    const auto showWhenWorthIt = [window] {
        if (!window->isVisible() && (window->Busy() || window->Result()))
            window->show();
    };
    connect(window, &sweepui::SweepWindow::Evaluated, window, showWhenWorthIt);
    connect(window, &sweepui::SweepWindow::Evaluated, window, [path] {
        sweepui::AddRecentFile(path);
        sweepui::SetLastFolder(path);
    });
    connect(window, &sweepui::SweepWindow::OpenRequested, this, &SweepWindows::OpenWithDialog);
    connect(window, &sweepui::SweepWindow::OpenFileRequested, this, qOverload<const QString&>(&SweepWindows::Open));
    connect(window, &sweepui::SweepWindow::RegisterRequested, this, [this] { ShowRegister(); });
    connect(window, &sweepui::SweepWindow::RecordVerificationRequested, this,
            [this, window] { RecordVerification(window); });
    QTimer::singleShot(sweepcore::kShowAfterMs, window, showWhenWorthIt);
    connect(window, &sweepui::SweepWindow::Failed, this,
            [this, window](const QString& message) { Report(window, message); });
    connect(window, &sweepui::SweepWindow::PointActivated, this,
            [this](const QString& frequency, const QString& magnitude, const QString& phase, int anType) {
                calculator_.CalculatePoint(frequency.toStdString(), magnitude.toStdString(), phase.toStdString(),
                                           static_cast<std::int16_t>(anType));
                calculator_.raise();
            });
    return window;
}

// A file that could not be read on opening leaves nothing behind but its
// message; a window already showing a sweep has told the user itself.
void SweepWindows::Report(sweepui::SweepWindow* window, const QString& message) {
    if (window->Result())
        return;
    window->hide();
    window->deleteLater();
    // Delimited text whose columns were not understood: the user says what
    // they hold, as --columns does for an-sweep, and the file opens so.
    const QString path = window->Path();
    if (sweepcore::AsksForColumns(path.toStdString(), message.toStdString())) {
        sweepui::ColumnDialog dialog(path, message, &calculator_);
        if (dialog.exec() == QDialog::Accepted && dialog.Options()) {
            sweepui::RememberColumns(path, dialog.ColumnList());
            Open(path);
        }
        return;
    }
    QMessageBox::warning(&calculator_, QStringLiteral("Quillet"), message);
}

// The columns the user stated for files with this one's first line.
measurement::ReadOptions SweepWindows::RememberedOptions(const QString& path) {
    const std::optional<QString> columns = sweepui::RememberedColumns(path);
    return sweepcore::OptionsFor(path.toStdString(),
                                 columns ? std::optional(columns->toStdString()) : std::optional<std::string>());
}

registerui::RegisterWindow* SweepWindows::ShowRegister(const QString& path) {
    const bool fresh = !register_;
    if (fresh) {
        register_ = new registerui::RegisterWindow;
        connect(register_, &registerui::RegisterWindow::OpenMeasurementRequested, this,
                qOverload<const QString&>(&SweepWindows::Open));
        Place(register_);
    }
    register_->show();
    register_->raise();
    register_->activateWindow();
    QString message;
    if (!path.isEmpty())
        message = register_->OpenRegister(path, records::OpenFor::Writing);
    else if (fresh && !registerui::RegisterFile().isEmpty())
        message = register_->OpenRegister(registerui::RegisterFile(), records::OpenFor::Reading);
    if (!message.isEmpty())
        QMessageBox::warning(register_, QStringLiteral("Quillet"), message);
    return register_;
}

void SweepWindows::RecordVerification(sweepui::SweepWindow* window) {
    if (!window->Result())
        return;
    registerui::RegisterWindow* registerWindow = ShowRegister();
    if (registerWindow->Register() == nullptr) {
        QMessageBox::information(registerWindow, QStringLiteral("Quillet"),
                                 QString::fromStdString(records::OpenARegisterToRecordText()));
        return;
    }
    registerui::RecordVerification(window, *registerWindow->Register(), window->Path(), window->EvaluatedSha256(),
                                   window->Result()->evaluation->anType);
    registerWindow->Refresh();
}

void SweepWindows::OpenWithDialog() {
    const QStringList paths = QFileDialog::getOpenFileNames(
        &calculator_, QStringLiteral("Open a measured sweep"), sweepui::LastFolder(),
        QStringLiteral("Measured sweeps (*.s1p *.ts *.csv *.txt);;Touchstone (*.s1p *.ts);;Delimited text (*.csv "
                       "*.txt);;All files (*)"));
    Open(paths);
}

// Sweep windows and the register's: beside the calculator, on the side
// with more room, while that room is wide enough for the table; otherwise,
// where the screen has no room for both, at the screen's free edge over it. Each further window a step
// lower, so every title bar shows. The whole window, frame included, stays
// on the available area of the calculator's screen.
void SweepWindows::Place(QWidget* window) {
    const QRect screen = calculator_.screen()->availableGeometry();
    const QMargins frame = FrameMargins(*window, &calculator_);
    const QRect calculator = calculator_.geometry().marginsAdded(FrameMargins(calculator_));
    const auto box = [](const QRect& r) { return sweepcore::ScreenBox{r.left(), r.top(), r.width(), r.height()}; };
    // The layout's own least width, known before the window is shown.
    const int narrowest = std::max(window->minimumWidth(), window->minimumSizeHint().width());
    const sweepcore::WindowPlace place = sweepcore::PlaceSweepWindow(
        box(screen), box(calculator), {frame.left(), frame.top(), frame.right(), frame.bottom()}, window->width(),
        window->height(), narrowest, placed_++);
    window->resize(QSize(place.width, place.height).expandedTo(window->minimumSize()));
    window->move(place.left, place.top);
    KeepOnScreen(*window, screen, frame);
    KeepOnScreenWhenShown(*window);
}

bool SweepWindows::eventFilter(QObject* watched, QEvent* event) {
    // "Exit" and the close box end the program, sweep windows and all.
    if (watched == &calculator_ && event->type() == QEvent::Close) {
        for (sweepui::SweepWindow* window : Windows())
            window->close();
        if (register_)
            register_->close();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quillet::app
