// The calculator and its sweep windows together: files dropped on the
// calculator, named on the command line or chosen with Ctrl+O open sweep
// windows, and a sweep window's row goes into the calculator. The
// verification register's window belongs with them: a sweep is recorded
// in it, and a recorded measurement opens in a sweep window.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include "registerui/register_window.h"
#include "sweepui/sweep_window.h"
#include "ui/mdi_form1.h"

namespace quillet::app {

class SweepWindows : public QObject {
    Q_OBJECT

public:
    explicit SweepWindows(ui::MDIForm1& calculator);
    ~SweepWindows() override;
    SweepWindows(const SweepWindows&) = delete;
    SweepWindows& operator=(const SweepWindows&) = delete;

    // A window per file, for the AN type the calculator shows. A window
    // appears once its file has been read well or is taking a while; a
    // file that cannot be read only gives a message.
    sweepui::SweepWindow* Open(const QString& path);
    void Open(const QStringList& paths);
    void OpenWithDialog();

    QList<sweepui::SweepWindow*> Windows() const;

    // The register's window, shown and brought forward: the register in
    // the file named (started there when there is none), else the one last
    // opened. A register that cannot be opened gives its message.
    registerui::RegisterWindow* ShowRegister(const QString& path = {});
    // Records the sweep on show in the register, through its dialog.
    void RecordVerification(sweepui::SweepWindow* window);
    registerui::RegisterWindow* Register() const { return register_.data(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static measurement::ReadOptions RememberedOptions(const QString& path);
    void Place(QWidget* window);
    void Report(sweepui::SweepWindow* window, const QString& message);

    ui::MDIForm1& calculator_;
    QList<QPointer<sweepui::SweepWindow>> windows_;
    QPointer<registerui::RegisterWindow> register_;
    int placed_ = 0;
};

}  // namespace quillet::app
