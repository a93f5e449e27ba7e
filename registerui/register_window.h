// The lab's register in a window: its networks, when each is next due,
// the history of the one selected, and what can be done with a record.
#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>

#include "records/register_rows.h"
#include "records/verification_register.h"

class QAction;
class QLabel;
class QMenuBar;
class QSplitter;
class QTableWidget;

namespace quillet::registerui {

class TrendView;

class RegisterWindow : public QWidget {
    Q_OBJECT

public:
    explicit RegisterWindow(QWidget* parent = nullptr);
    ~RegisterWindow() override;
    RegisterWindow(const RegisterWindow&) = delete;
    RegisterWindow& operator=(const RegisterWindow&) = delete;

    // Shows the register in the file, remembered for the next time; the
    // register's message when it refuses the file, which then stays as it
    // was, as does the register on show.
    QString OpenRegister(const QString& path, records::OpenFor openFor);
    // The register on show; none before one has been opened.
    records::VerificationRegister* Register() { return register_.get(); }
    // Reads the networks and the selected one's history again.
    void Refresh();

    // The stored measurement written to the user's cache under its SHA-256
    // and recorded name (once), for the sweep window to read. Throws
    // std::runtime_error naming the file.
    QString CacheMeasurement(std::int64_t verification);

    std::optional<std::string> SelectedSerial() const;
    std::optional<std::int64_t> SelectedVerification() const;

    QAction* NewRegisterAction;
    QAction* OpenRegisterAction;
    QAction* BackupAction;
    QAction* CloseAction;
    QAction* AddNetworkAction;
    QAction* PrintHistoryAction;
    QAction* OpenMeasurementAction;
    QAction* PrintRecordAction;
    QAction* WithdrawAction;

    QMenuBar* MenuBar;
    QTableWidget* Networks;
    QTableWidget* History;
    // The selected network's worst margin and band figures over time.
    TrendView* Trend;
    QSplitter* Splitter;
    QLabel* Status;

    // The columns of the two tables.
    enum NetworkColumn {
        kMaker = records::kMakerColumn,
        kModel = records::kModelColumn,
        kSerial = records::kSerialColumn,
        kAnType = records::kAnTypeColumn,
        kLastVerdict = records::kLastVerdictColumn,
        kLastDate = records::kLastDateColumn,
        kNextDue = records::kNextDueColumn,
        kNetworkColumns = records::kNetworkColumns
    };
    enum HistoryColumn {
        kNumber = records::kNumberColumn,
        kDate = records::kDateColumn,
        kOperator = records::kOperatorColumn,
        kVerdict = records::kVerdictColumn,
        kWorstMargin = records::kWorstMarginColumn,
        kStatus = records::kStatusColumn,
        kHistoryColumns = records::kHistoryColumns
    };

signals:
    // A stored measurement to open in a sweep window, as a dropped file.
    void OpenMeasurementRequested(const QString& path);

private:
    void CreateActions();
    void CreateControls();
    void ShowHistory();
    void UpdateActions();
    void Fail(const QString& message);
    // The actions' dialogs.
    void OpenWithDialog(records::OpenFor openFor);
    void BackUpWithDialog();
    void AddNetworkWithDialog();
    void OpenMeasurement();
    void PrintRecordWithDialog();
    void PrintHistoryWithDialog();
    void WithdrawWithDialog();

    std::unique_ptr<records::VerificationRegister> register_;
};

}  // namespace quillet::registerui
