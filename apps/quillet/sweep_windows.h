// The calculator and its sweep windows together: files dropped on the
// calculator, named on the command line or chosen with Ctrl+O open sweep
// windows, and a sweep window's row goes into the calculator.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static measurement::ReadOptions RememberedOptions(const QString& path);
    void Place(sweepui::SweepWindow* window);
    void Report(sweepui::SweepWindow* window, const QString& message);

    ui::MDIForm1& calculator_;
    QList<QPointer<sweepui::SweepWindow>> windows_;
    int placed_ = 0;
};

}  // namespace quillet::app
