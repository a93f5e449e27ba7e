// A window for one measured sweep on plain Win32 controls, as the Qt sweep
// window: the AN type, the deviation plot (GDI+, hover, wheel and drag
// zoom) and the impedance plot on tabs, the summary and budget lines, every
// point in a virtual list view sortable by column, exports written as
// an-sweep writes them, reading and evaluating on a worker thread with progress and Cancel, and each row one
// step away from the calculator.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "measurement/read_measurement.h"
#include "plot/deviation_plot.h"
#include "sweep/plot_format.h"
#include "sweep/report.h"
#include "sweepcore/sweep_job.h"

namespace quillet::sweepwin {

class SweepWindow;

// What a sweep window asks of the program around it.
class SweepWindowHost {
public:
    virtual ~SweepWindowHost() = default;
    // File > Open... (Ctrl+O): the program asks for files and opens them.
    virtual void OpenRequested(HWND owner) = 0;
    // A file chosen under File > Open recent (UTF-8): the program opens it.
    virtual void OpenFileRequested(HWND owner, const std::string& path) = 0;
    // A row chosen with Enter or a double click: its texts as typed in the
    // file and the window's AN type, for the calculator.
    virtual void PointActivated(const std::string& frequency, const std::string& magnitude, const std::string& phase,
                                std::int16_t anType) = 0;
    // The window is gone (closed by the user or by Close()); the host drops
    // it. Called from the window's WM_NCDESTROY.
    virtual void Closed(SweepWindow& window) = 0;
    // File > Record verification… (only while a result is on show) and
    // File > Verification register….
    virtual void RecordVerificationRequested(SweepWindow& window) = 0;
    virtual void RegisterRequested(HWND owner) = 0;
    // The file could not be read and there is nothing to show: the window
    // is hidden and goes once this returns. By default the message is
    // shown; a program may instead ask for the columns of delimited text.
    virtual void OpenFailed(SweepWindow& window, const std::string& message);
};

class SweepWindow {
public:
    // Opens the window for the file (UTF-8) and starts evaluating it at
    // once for AN type 1..4, read with the options. The window shows itself
    // at once, or with showAfterMs once that time has passed while it is
    // still busy, or when done sooner; never for a file that cannot be read.
    SweepWindow(HINSTANCE instance, SweepWindowHost& host, std::string path, std::int16_t anType,
                measurement::ReadOptions options = {}, int showAfterMs = 0);
    ~SweepWindow();  // cancels the evaluation and waits for it; destroys the window
    SweepWindow(const SweepWindow&) = delete;
    SweepWindow& operator=(const SweepWindow&) = delete;

    HWND Handle() const;
    const std::string& Path() const;
    void Close();  // as the window's close box

    // Dialog keys (Tab, arrows, Enter, Esc) and the window's accelerators,
    // taken from the message queue. True when handled.
    bool PreTranslate(const MSG& message);

    // For tests and the program: what is on show, the controls by name
    // ("AnType", "Reload", "ResetZoom", "PlotTabs", "Plot", "Impedance",
    // "Summary", "Budget", "Table", "Progress", "Cancel", "Status"; nullptr
    // otherwise), and whether the worker is busy.
    const std::optional<sweepcore::SweepResult>& Result() const;
    // The SHA-256 of the bytes the result on show was evaluated from; none
    // when the file changed while it was read.
    const std::optional<std::string>& EvaluatedSha256() const;

    // The report or a plot into a file (UTF-8 name), the bytes an-sweep
    // writes for the same file and type; refused over the measurement
    // itself. Throws std::runtime_error naming the file. The menu's
    // commands ask for the name and then call these.
    void ExportReport(const std::string& file, sweep::ReportFormat format) const;
    void ExportPlot(const std::string& file, sweep::PlotFormat format) const;
    void ExportImpedancePlot(const std::string& file, sweep::PlotFormat format) const;
    // The selected rows as tab-separated text with the header, for a
    // spreadsheet; every row when none is selected (Edit > Copy).
    std::string SelectedRowsText() const;
    HWND Control(std::string_view name) const;
    bool Busy() const;
    // The least outer size, frame included, at the window's DPI: Windows
    // makes the window no smaller, whatever size it is given.
    SIZE LeastSize() const;
    // The frequency range the plot is zoomed to; nothing for the whole sweep.
    std::optional<plot::FrequencyRange> Zoom() const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quillet::sweepwin
