#include "registerui/register_window.h"

#include <QAction>
#include <QBrush>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSplitter>
#include <QStandardPaths>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>
#include <exception>
#include <stdexcept>

#include "recordpdf/record_sheet.h"
#include "records/dates.h"
#include "records/due.h"
#include "records/entry_checks.h"
#include "records/measurement_cache.h"
#include "records/register_rows.h"
#include "records/results.h"
#include "registerui/network_dialog.h"
#include "registerui/pdf_files.h"
#include "registerui/settings.h"
#include "registerui/text.h"
#include "registerui/trend_view.h"
#include "registerui/withdraw_dialog.h"
#include "sweep/evaluation.h"
#include "sweepui/settings.h"

namespace quillet::registerui {
namespace {

// A history row's mark of a withdrawn verification.
constexpr int kWithdrawnRole = Qt::UserRole + 1;

// A network due before today, or without a passing verification in force.
const QColor kOverdueShade(255, 214, 170);

QTableWidget* NewTable(const QStringList& headings, QWidget* parent) {
    auto* table = new QTableWidget(0, static_cast<int>(headings.size()), parent);
    table->setHorizontalHeaderLabels(headings);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setTabKeyNavigation(false);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

QToolButton* ButtonFor(QAction* action, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

template <std::size_t columns>
QStringList Headings(const std::array<std::string, columns>& texts) {
    QStringList headings;
    for (const std::string& text : texts)
        headings << Q(text);
    return headings;
}

}  // namespace

RegisterWindow::RegisterWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Verification register – Quillet"));
    CreateActions();
    CreateControls();
    Refresh();  // says how to open a register until one is
    resize(1000, 700);
}

RegisterWindow::~RegisterWindow() = default;

void RegisterWindow::CreateActions() {
    MenuBar = new QMenuBar(this);
    QMenu* file = MenuBar->addMenu(QStringLiteral("&Register"));
    NewRegisterAction =
        file->addAction(QStringLiteral("&New register…"), this, [this] { OpenWithDialog(records::OpenFor::Writing); });
    OpenRegisterAction =
        file->addAction(QStringLiteral("&Open register…"), this, [this] { OpenWithDialog(records::OpenFor::Reading); });
    OpenRegisterAction->setShortcut(QKeySequence::Open);
    BackupAction = file->addAction(QStringLiteral("&Back up…"), this, &RegisterWindow::BackUpWithDialog);
    file->addSeparator();
    CloseAction = file->addAction(QStringLiteral("&Close"), this, &QWidget::close);
    CloseAction->setShortcut(QKeySequence::Close);

    QMenu* network = MenuBar->addMenu(QStringLiteral("&Network"));
    AddNetworkAction = network->addAction(QStringLiteral("&Add network…"), this, &RegisterWindow::AddNetworkWithDialog);
    PrintHistoryAction =
        network->addAction(QStringLiteral("Print &history…"), this, &RegisterWindow::PrintHistoryWithDialog);

    QMenu* verification = MenuBar->addMenu(QStringLiteral("&Verification"));
    OpenMeasurementAction =
        verification->addAction(QStringLiteral("Open &measurement"), this, &RegisterWindow::OpenMeasurement);
    PrintRecordAction =
        verification->addAction(QStringLiteral("&Print record…"), this, &RegisterWindow::PrintRecordWithDialog);
    PrintRecordAction->setShortcut(QKeySequence::Print);
    verification->addSeparator();
    WithdrawAction = verification->addAction(QStringLiteral("&Withdraw…"), this, &RegisterWindow::WithdrawWithDialog);
}

void RegisterWindow::CreateControls() {
    Networks = NewTable(Headings(records::NetworkHeadings()), this);
    Networks->setAccessibleName(QStringLiteral("Networks"));
    // In the due list's order, the overdue first, until a heading is clicked.
    Networks->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    Networks->setSortingEnabled(true);
    History = NewTable(Headings(records::HistoryHeadings()), this);
    History->setAccessibleName(QStringLiteral("History"));
    History->setToolTip(QStringLiteral("Double-click a verification to open its measurement"));
    Trend = new TrendView(this);
    Status = new QLabel(this);

    auto* networkButtons = new QHBoxLayout;
    for (QAction* action : {AddNetworkAction, PrintHistoryAction})
        networkButtons->addWidget(ButtonFor(action, this));
    networkButtons->addStretch();
    auto* upper = new QWidget(this);
    auto* upperLayout = new QVBoxLayout(upper);
    upperLayout->setContentsMargins(0, 0, 0, 0);
    upperLayout->addWidget(Networks, 1);
    upperLayout->addLayout(networkButtons);

    auto* verificationButtons = new QHBoxLayout;
    for (QAction* action : {OpenMeasurementAction, PrintRecordAction, WithdrawAction})
        verificationButtons->addWidget(ButtonFor(action, this));
    verificationButtons->addStretch();
    auto* historyPanel = new QWidget(this);
    auto* historyLayout = new QVBoxLayout(historyPanel);
    historyLayout->setContentsMargins(0, 0, 0, 0);
    historyLayout->addWidget(new QLabel(QStringLiteral("History of the selected network:"), this));
    historyLayout->addWidget(History, 1);
    historyLayout->addLayout(verificationButtons);
    auto* lower = new QSplitter(Qt::Horizontal, this);
    lower->addWidget(historyPanel);
    lower->addWidget(Trend);

    Splitter = new QSplitter(Qt::Vertical, this);
    Splitter->addWidget(upper);
    Splitter->addWidget(lower);
    Splitter->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(MenuBar);
    layout->addWidget(Splitter, 1);
    layout->addWidget(Status);

    connect(Networks, &QTableWidget::itemSelectionChanged, this, [this] {
        ShowHistory();
        UpdateActions();
    });
    connect(History, &QTableWidget::itemSelectionChanged, this, &RegisterWindow::UpdateActions);
    connect(History, &QTableWidget::cellDoubleClicked, this, &RegisterWindow::OpenMeasurement);
}

QString RegisterWindow::OpenRegister(const QString& path, records::OpenFor openFor) {
    try {
        register_ = std::make_unique<records::VerificationRegister>(LocalPath(path), openFor);
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    }
    SetRegisterFile(path);
    setWindowTitle(
        QStringLiteral("%1%2 – Verification register – Quillet")
            .arg(QFileInfo(path).fileName(), register_->readOnly() ? QStringLiteral(" (read-only)") : QString()));
    Refresh();
    return {};
}

void RegisterWindow::Refresh() {
    const std::optional<std::string> selected = SelectedSerial();
    const QSignalBlocker quiet(Networks);
    Networks->setSortingEnabled(false);
    Networks->setRowCount(0);
    std::vector<records::DueEntry> entries;
    if (register_) {
        try {
            entries = records::DueList(*register_, records::TodayUtc());
        } catch (const std::exception& error) {
            Fail(QString::fromUtf8(error.what()));
        }
    }
    int overdue = 0;
    Networks->setRowCount(static_cast<int>(entries.size()));
    for (int row = 0; row < static_cast<int>(entries.size()); ++row) {
        const records::DueEntry& entry = entries[static_cast<std::size_t>(row)];
        if (entry.overdue)
            ++overdue;
        const records::NetworkRow texts = records::NetworkRowTexts(entry);
        for (int column = 0; column < kNetworkColumns; ++column) {
            auto* item = new QTableWidgetItem(Q(texts[static_cast<std::size_t>(column)]));
            if (entry.overdue)
                item->setBackground(kOverdueShade);
            Networks->setItem(row, column, item);
        }
    }
    Networks->setSortingEnabled(true);
    // The network selected before stays so, wherever sorting put it; at
    // first the one at the top, so its history shows.
    for (int row = 0; row < Networks->rowCount(); ++row) {
        if (!selected || U(Networks->item(row, kSerial)->text()) == *selected) {
            Networks->selectRow(row);
            break;
        }
    }
    Networks->resizeColumnsToContents();
    Status->setText(Q(register_
                          ? records::StatusLine(entries.size(), static_cast<std::size_t>(overdue), records::TodayUtc())
                          : records::NoRegisterText()));
    ShowHistory();
    UpdateActions();
}

void RegisterWindow::ShowHistory() {
    const std::optional<std::int64_t> selected = SelectedVerification();
    const QSignalBlocker quiet(History);
    History->setRowCount(0);
    Trend->SetPlot(std::nullopt);
    const std::optional<std::string> serial = SelectedSerial();
    if (!register_ || !serial)
        return;
    std::vector<records::Verification> verifications;
    try {
        verifications = register_->Verifications(*serial);
        if (const auto network = register_->NetworkBySerial(*serial))
            Trend->SetPlot(recordpdf::HistoryTrend(*network, verifications));
    } catch (const std::exception& error) {
        Fail(QString::fromUtf8(error.what()));
        return;
    }
    const QBrush greyed = palette().brush(QPalette::Disabled, QPalette::Text);
    History->setRowCount(static_cast<int>(verifications.size()));
    for (int row = 0; row < static_cast<int>(verifications.size()); ++row) {
        const records::Verification& v = verifications[static_cast<std::size_t>(row)];
        const records::HistoryRow texts = records::HistoryRowTexts(v);
        for (int column = 0; column < kHistoryColumns; ++column) {
            auto* item = new QTableWidgetItem(Q(texts[static_cast<std::size_t>(column)]));
            if (v.withdrawnAt) {
                item->setForeground(greyed);
                item->setToolTip(Q(records::WithdrawnTip(v)));
            }
            item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(v.id));
            item->setData(kWithdrawnRole, v.withdrawnAt.has_value());
            History->setItem(row, column, item);
        }
        if (selected && *selected == v.id)
            History->selectRow(row);
    }
    History->resizeColumnsToContents();
}

std::optional<std::string> RegisterWindow::SelectedSerial() const {
    const auto rows = Networks->selectionModel()->selectedRows(kSerial);
    if (rows.isEmpty())
        return std::nullopt;
    return U(rows.constFirst().data().toString());
}

std::optional<std::int64_t> RegisterWindow::SelectedVerification() const {
    const auto rows = History->selectionModel()->selectedRows(kNumber);
    if (rows.isEmpty())
        return std::nullopt;
    return rows.constFirst().data(Qt::UserRole).toLongLong();
}

// Writing needs a register that may be written; reading needs a selection.
void RegisterWindow::UpdateActions() {
    const bool open = register_ != nullptr;
    const bool writable = open && !register_->readOnly();
    const bool network = SelectedSerial().has_value();
    const bool verification = SelectedVerification().has_value();
    // Withdrawn is withdrawn for good: the register refuses it a second time.
    const auto selectedRows = History->selectionModel()->selectedRows(kNumber);
    const bool withdrawn = !selectedRows.isEmpty() && selectedRows.constFirst().data(kWithdrawnRole).toBool();
    BackupAction->setEnabled(open);
    AddNetworkAction->setEnabled(writable);
    PrintHistoryAction->setEnabled(network);
    OpenMeasurementAction->setEnabled(verification);
    PrintRecordAction->setEnabled(verification);
    WithdrawAction->setEnabled(writable && verification && !withdrawn);
}

void RegisterWindow::Fail(const QString& message) { QMessageBox::warning(this, QStringLiteral("Quillet"), message); }

void RegisterWindow::OpenWithDialog(records::OpenFor openFor) {
    const QString folder = RegisterFile().isEmpty() ? QDir::homePath() : QFileInfo(RegisterFile()).absolutePath();
    const QString filter = QStringLiteral("Registers (*.sqlite *.db);;All files (*)");
    const QString path =
        openFor == records::OpenFor::Reading
            ? QFileDialog::getOpenFileName(this, QStringLiteral("Open a verification register"), folder, filter)
            : QFileDialog::getSaveFileName(this, QStringLiteral("Start a verification register"),
                                           QDir(folder).filePath(QStringLiteral("verifications.sqlite")), filter,
                                           nullptr, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return;
    // A new register is never made over an existing file: that file is
    // opened as a register or refused as one, untouched either way.
    const QString message = OpenRegister(path, openFor);
    if (!message.isEmpty())
        Fail(message);
}

void RegisterWindow::BackUpWithDialog() {
    if (!register_)
        return;
    const QFileInfo source(Q(register_->path()));
    const QString target =
        QFileDialog::getSaveFileName(this, QStringLiteral("Back up the register"),
                                     QDir(source.absolutePath())
                                         .filePath(source.completeBaseName() + QStringLiteral("-") +
                                                   Q(records::TodayUtc()) + QStringLiteral(".sqlite")),
                                     QStringLiteral("Registers (*.sqlite *.db);;All files (*)"));
    if (target.isEmpty())
        return;
    try {
        // The dialog has asked about replacing an existing file.
        register_->Backup(LocalPath(target), true);
        Status->setText(QStringLiteral("Backed up to %1").arg(QDir::toNativeSeparators(target)));
    } catch (const std::exception& error) {
        Fail(QString::fromUtf8(error.what()));
    }
}

void RegisterWindow::AddNetworkWithDialog() {
    if (!register_)
        return;
    NetworkDialog dialog(*register_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Refresh();
    for (int row = 0; row < Networks->rowCount(); ++row) {
        if (U(Networks->item(row, kSerial)->text()) == dialog.AddedSerial())
            Networks->selectRow(row);
    }
}

QString RegisterWindow::CacheMeasurement(std::int64_t id) {
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/measurements");
    return QFile::decodeName(records::CacheMeasurement(*register_, id, LocalPath(folder)).c_str());
}

void RegisterWindow::OpenMeasurement() {
    const auto id = SelectedVerification();
    if (!register_ || !id)
        return;
    QString path;
    try {
        path = CacheMeasurement(*id);
    } catch (const std::exception& error) {
        Fail(QString::fromUtf8(error.what()));
        return;
    }
    emit OpenMeasurementRequested(path);
}

void RegisterWindow::PrintRecordWithDialog() {
    const auto id = SelectedVerification();
    if (!register_ || !id)
        return;
    try {
        const records::Verification v = register_->Get(*id);
        const auto network = register_->NetworkBySerial(v.serial);
        const QString file = AskPdfFile(this, QStringLiteral("Print verification %1").arg(*id),
                                        Q(records::RecordPdfName(v.serial, v.date, v.id)));
        if (!file.isEmpty() && network)
            WriteRecordPdf(file, {Q(register_->path())}, *network, v);
    } catch (const std::exception& error) {
        Fail(QString::fromUtf8(error.what()));
    }
}

void RegisterWindow::PrintHistoryWithDialog() {
    const auto serial = SelectedSerial();
    if (!register_ || !serial)
        return;
    try {
        const auto network = register_->NetworkBySerial(*serial);
        const QString file = AskPdfFile(this, QStringLiteral("Print the history of %1").arg(Q(*serial)),
                                        Q(records::HistoryPdfName(*serial, records::TodayUtc())));
        if (!file.isEmpty() && network)
            WriteHistoryPdf(file, {Q(register_->path())}, *network, register_->Verifications(*serial));
    } catch (const std::exception& error) {
        Fail(QString::fromUtf8(error.what()));
    }
}

void RegisterWindow::WithdrawWithDialog() {
    const auto id = SelectedVerification();
    if (!register_ || !id)
        return;
    WithdrawDialog dialog(*register_, *id, this);
    if (dialog.exec() == QDialog::Accepted)
        Refresh();
}

}  // namespace quillet::registerui
