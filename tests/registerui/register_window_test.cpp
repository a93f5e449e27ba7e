// The register window and its dialogs driven through their widgets, on a
// real register file in a temporary folder.
#include "registerui/register_window.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

#include <functional>
#include <sqlite3.h>

#include "files/sha256.h"
#include "records/dates.h"
#include "records/verification_register.h"
#include "registerui/network_dialog.h"
#include "registerui/record_dialog.h"
#include "registerui/withdraw_dialog.h"
#include "sweepui/sweep_window.h"

using quillet::registerui::RegisterWindow;
namespace records = quillet::records;

namespace {

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::string Local(const QString& path) { return QFile::encodeName(path).toStdString(); }

// A verification of the network on the day, its results as given.
records::NewVerification Verified(const std::string& serial, const std::string& date, const std::string& outcome) {
    records::NewVerification v;
    v.serial = serial;
    v.date = date;
    v.operatorName = "A. Operator";
    v.instrument = "VNA 1";
    v.instrumentCalibrationDue = "2030-01-01";
    v.line = "L1";
    v.fileName = "sweep.s1p";
    v.fileBytes = "! no points\n";
    v.results.decisionVerdict.outcome = outcome;
    v.results.worstMargin = 0.25;
    return v;
}

// Fills the next modal dialog of the type once it is up; a dialog the
// filler leaves open is cancelled, so no test waits for ever.
template <class Dialog>
void WhenShown(std::function<void(Dialog*)> fill) {
    QTimer::singleShot(0, qApp, [fill] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        fill(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

QString Cell(QTableWidget* table, int row, int column) { return table->item(row, column)->text(); }

int RowOf(QTableWidget* table, int column, const QString& text) {
    for (int row = 0; row < table->rowCount(); ++row) {
        if (Cell(table, row, column) == text)
            return row;
    }
    return -1;
}

}  // namespace

class RegisterWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString file_;
    std::unique_ptr<RegisterWindow> window_;

    RegisterWindow* Open() {
        window_ = std::make_unique<RegisterWindow>();
        window_->setAttribute(Qt::WA_DeleteOnClose, false);
        const QString message = window_->OpenRegister(file_, records::OpenFor::Reading);
        if (!message.isEmpty())
            qWarning() << message;
        window_->show();
        return window_.get();
    }

    void Select(QTableWidget* table, int column, const QString& text) {
        const int row = RowOf(table, column, text);
        QVERIFY(row >= 0);
        table->selectRow(row);
    }

private slots:
    void init() {
        file_ = dir_.filePath(QStringLiteral("register-%1.sqlite").arg(QTest::currentTestFunction()));
        QFile::remove(file_);
        records::VerificationRegister reg(Local(file_), records::OpenFor::Writing);
        reg.AddNetwork({"Maker", "AN-1", "SN-FRESH", 1, "L1,N", 365, ""});
    }
    void cleanup() {
        window_.reset();
        ::chmod(Local(file_).c_str(), 0644);
    }

    // Next due is the last verification in force plus the interval; a
    // network past it, or without a pass in force, is shaded and says so.
    void listsNetworksDueAndOverdue_data() {
        QTest::addColumn<int>("daysAgo");  // negative: never verified
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<int>("interval");
        QTest::addColumn<bool>("overdue");
        QTest::newRow("verified lately") << 10 << "pass" << 365 << false;
        QTest::newRow("due today") << 365 << "pass" << 365 << false;
        QTest::newRow("due yesterday") << 366 << "pass" << 365 << true;
        QTest::newRow("failed lately") << 10 << "fail" << 365 << true;
        QTest::newRow("never verified") << -1 << "" << 365 << true;
    }
    void listsNetworksDueAndOverdue() {
        QFETCH(int, daysAgo);
        QFETCH(QString, outcome);
        QFETCH(int, interval);
        QFETCH(bool, overdue);
        const std::string day = records::AddDays(records::TodayUtc(), -daysAgo);
        {
            records::VerificationRegister reg(Local(file_), records::OpenFor::Writing);
            reg.AddNetwork({"Maker", "AN-2", "SN-X", 2, "L1", interval, ""});
            if (daysAgo >= 0)
                reg.Record(Verified("SN-X", day, outcome.toStdString()));
        }
        RegisterWindow* window = Open();
        QVERIFY(window->windowTitle().startsWith(QFileInfo(file_).fileName()));
        QCOMPARE(window->Networks->rowCount(), 2);
        const int row = RowOf(window->Networks, RegisterWindow::kSerial, QStringLiteral("SN-X"));
        QVERIFY(row >= 0);
        const QString due = Cell(window->Networks, row, RegisterWindow::kNextDue);
        if (daysAgo >= 0 && outcome == "pass")
            QVERIFY2(due.startsWith(QString::fromStdString(records::AddDays(day, interval))), qPrintable(due));
        QCOMPARE(due.contains(QStringLiteral("overdue")), overdue);
        QCOMPARE(window->Networks->item(row, RegisterWindow::kMaker)->background().style() != Qt::NoBrush, overdue);
        if (daysAgo >= 0)
            QCOMPARE(Cell(window->Networks, row, RegisterWindow::kLastDate), QString::fromStdString(day));
    }

    // The dialog refuses a serial already there, and adds a new one with
    // every field as typed.
    void addsANetworkThroughTheDialog() {
        RegisterWindow* window = Open();
        QString refusal;
        WhenShown<quillet::registerui::NetworkDialog>([&](quillet::registerui::NetworkDialog* dialog) {
            dialog->Maker->setText(QStringLiteral("Maker"));
            dialog->Model->setText(QStringLiteral("AN-4"));
            dialog->Serial->setText(QStringLiteral("SN-FRESH"));
            dialog->AnType->setCurrentIndex(3);
            dialog->IntervalDays->setValue(180);
            dialog->accept();
            refusal = dialog->Problems->text();
            dialog->Serial->setText(QStringLiteral("SN-NEW"));
            dialog->accept();
        });
        window->AddNetworkAction->trigger();
        QVERIFY2(refusal.contains(QStringLiteral("already")), qPrintable(refusal));
        QCOMPARE(window->Networks->rowCount(), 2);
        QCOMPARE(window->SelectedSerial(), std::optional<std::string>("SN-NEW"));
        const auto added = window->Register()->NetworkBySerial("SN-NEW");
        QVERIFY(added);
        QCOMPARE(added->anType, 4);
        QCOMPARE(added->intervalDays, 180);
        QCOMPARE(added->model, std::string("AN-4"));
    }

    // The sweep on show is recorded with the very bytes of its file, once
    // every field is right and only while the file is as evaluated.
    void recordsTheSweepShownWithItsBytes() {
        const QString sweep = dir_.filePath(QStringLiteral("sweep.s1p"));
        QFile::remove(sweep);
        QVERIFY(QFile::copy(QStringLiteral(QUILLET_SAMPLE), sweep));
        const QByteArray bytes = Contents(sweep);
        auto* shown = new quillet::sweepui::SweepWindow(sweep, 1);
        QSignalSpy evaluated(shown, &quillet::sweepui::SweepWindow::Evaluated);
        QVERIFY(!shown->RecordVerificationAction->isEnabled());
        QVERIFY(evaluated.wait(60000));
        QVERIFY(shown->RecordVerificationAction->isEnabled());
        QCOMPARE(shown->EvaluatedSha256(), std::optional(quillet::files::Sha256Hex(bytes.toStdString())));

        records::VerificationRegister reg(Local(file_), records::OpenFor::Writing);
        reg.AddNetwork({"Maker", "AN-2", "SN-TYPE2", 2, "L1", 365, ""});
        quillet::registerui::RecordDialog dialog(reg, sweep, shown->EvaluatedSha256(), 1);
        QCOMPARE(dialog.Date->text(), QString::fromStdString(records::TodayUtc()));
        QCOMPARE(dialog.Network->currentIndex(), -1);
        dialog.Operator->setText(QStringLiteral("A. Operator"));
        dialog.Instrument->setText(QStringLiteral("VNA 1"));
        dialog.CalibrationDue->setText(QStringLiteral("2099-02-30"));
        dialog.Line->setText(QStringLiteral("L1"));
        dialog.UncertaintyMagnitude->setText(QStringLiteral("2.5"));
        dialog.accept();
        QVERIFY(dialog.Problems->text().contains(QStringLiteral("calibration due")));
        QVERIFY(dialog.Problems->text().contains(QStringLiteral("all three")));
        QVERIFY(dialog.Problems->text().contains(QStringLiteral("network")));
        QVERIFY(reg.Verifications().empty());

        dialog.Network->setCurrentIndex(dialog.Network->findData(QStringLiteral("SN-TYPE2")));
        QVERIFY(dialog.TypeNote->text().contains(QStringLiteral("type, 2")));
        dialog.Network->setCurrentIndex(dialog.Network->findData(QStringLiteral("SN-FRESH")));
        QVERIFY(dialog.TypeNote->text().isEmpty());
        dialog.CalibrationDue->setText(QStringLiteral("2099-02-28"));
        dialog.UncertaintyPhase->setText(QStringLiteral("0.8"));
        dialog.CoverageFactor->setText(QStringLiteral("2"));
        QFile changed(sweep);
        QVERIFY(changed.open(QIODevice::Append));
        changed.write("! changed\n");
        changed.close();
        dialog.accept();
        QVERIFY2(dialog.Problems->text().contains(QStringLiteral("changed on disk")),
                 qPrintable(dialog.Problems->text()));
        QVERIFY(reg.Verifications().empty());

        QFile restored(sweep);
        QVERIFY(restored.open(QIODevice::WriteOnly | QIODevice::Truncate));
        restored.write(bytes);
        restored.close();
        dialog.accept();
        QVERIFY2(dialog.result() == QDialog::Accepted, qPrintable(dialog.Problems->text()));
        QCOMPARE(reg.Verifications().size(), std::size_t{1});
        const records::Verification v = reg.Get(*dialog.RecordedId());
        QVERIFY(v.fileBytes == bytes.toStdString());
        QCOMPARE(v.fileSha256, quillet::files::Sha256Hex(bytes.toStdString()));
        QCOMPARE(v.fileName, std::string("sweep.s1p"));
        QVERIFY(v.uncertainty && v.uncertainty->magnitudePercent == 2.5);
        QVERIFY(!v.results.pointsJson.empty());
        delete shown;
    }

    // Withdrawing marks the verification and keeps its row.
    void withdrawKeepsTheRowMarked() {
        std::int64_t first = 0;
        {
            records::VerificationRegister reg(Local(file_), records::OpenFor::Writing);
            first = reg.Record(Verified("SN-FRESH", "2026-01-05", "pass"));
            reg.Record(Verified("SN-FRESH", "2026-02-05", "pass"));
        }
        RegisterWindow* window = Open();
        Select(window->Networks, RegisterWindow::kSerial, QStringLiteral("SN-FRESH"));
        QCOMPARE(window->History->rowCount(), 2);
        Select(window->History, RegisterWindow::kNumber, QString::number(first));
        WhenShown<quillet::registerui::WithdrawDialog>([](quillet::registerui::WithdrawDialog* dialog) {
            dialog->Reason->setText(QStringLiteral("wrong fixture"));
            dialog->By->setText(QStringLiteral("B. Checker"));
            dialog->accept();
        });
        window->WithdrawAction->trigger();
        QCOMPARE(window->History->rowCount(), 2);
        const int row = RowOf(window->History, RegisterWindow::kNumber, QString::number(first));
        QCOMPARE(Cell(window->History, row, RegisterWindow::kStatus), QStringLiteral("withdrawn"));
        QCOMPARE(window->History->item(row, RegisterWindow::kDate)->foreground().color(),
                 window->palette().color(QPalette::Disabled, QPalette::Text));
        QCOMPARE(window->Register()->Get(first).withdrawalReason, std::optional<std::string>("wrong fixture"));
        // Withdrawn for good: only the other may be withdrawn.
        window->History->selectRow(row);
        QVERIFY(!window->WithdrawAction->isEnabled());
        window->History->selectRow(1 - row);
        QVERIFY(window->WithdrawAction->isEnabled());
    }

    // Everything that writes is off; what reads stays on.
    void readOnlyRegisterDisablesWriting() {
        {
            records::VerificationRegister reg(Local(file_), records::OpenFor::Writing);
            reg.Record(Verified("SN-FRESH", "2026-01-05", "pass"));
        }
        QCOMPARE(::chmod(Local(file_).c_str(), 0444), 0);
        RegisterWindow* window = Open();
        QVERIFY(window->Register() && window->Register()->readOnly());
        QVERIFY(window->windowTitle().contains(QStringLiteral("read-only")));
        Select(window->Networks, RegisterWindow::kSerial, QStringLiteral("SN-FRESH"));
        window->History->selectRow(0);
        QVERIFY(!window->AddNetworkAction->isEnabled());
        QVERIFY(!window->WithdrawAction->isEnabled());
        QVERIFY(window->PrintRecordAction->isEnabled());
        QVERIFY(window->OpenMeasurementAction->isEnabled());
        QVERIFY(window->BackupAction->isEnabled());
    }

    // A file that is no register is refused with the register's words and
    // left byte for byte as it was; the register on show stays.
    void refusesAForeignFileUntouched_data() {
        QTest::addColumn<QByteArray>("sql");  // empty: plain text instead
        QTest::addColumn<QString>("why");
        QTest::newRow("text") << QByteArray() << "not an SQLite database";
        QTest::newRow("another program's database")
            << QByteArray("CREATE TABLE t(x); INSERT INTO t VALUES (1);") << "another program's tables";
    }
    void refusesAForeignFileUntouched() {
        QFETCH(QByteArray, sql);
        QFETCH(QString, why);
        const QString foreign = dir_.filePath(QStringLiteral("foreign.sqlite"));
        QFile::remove(foreign);
        if (sql.isEmpty()) {
            QFile text(foreign);
            QVERIFY(text.open(QIODevice::WriteOnly));
            text.write(QByteArray("network,date\nSN-1,2026-01-01\n").repeated(200));
        } else {
            sqlite3* db = nullptr;
            QCOMPARE(sqlite3_open(Local(foreign).c_str(), &db), SQLITE_OK);
            QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        }
        const QByteArray before = Contents(foreign);
        RegisterWindow* window = Open();
        const QString title = window->windowTitle();
        for (const records::OpenFor openFor : {records::OpenFor::Reading, records::OpenFor::Writing}) {
            const QString message = window->OpenRegister(foreign, openFor);
            QVERIFY2(message.contains(why) && message.contains(foreign), qPrintable(message));
        }
        QCOMPARE(Contents(foreign), before);
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(window->Networks->rowCount(), 1);
    }
};

QTEST_MAIN(RegisterWindowTest)
#include "register_window_test.moc"
