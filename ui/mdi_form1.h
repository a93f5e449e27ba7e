// The calculator's only window: its 26 controls at fixed places, and the
// window interface of the window logic implemented on them.
#pragma once

#include <QStringList>
#include <QWidget>

#include <array>
#include <cstdint>
#include <string_view>

#include "window/window_interface.h"
#include "window/window_model.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quillet::ui {

class InputBoxBinder;

class MDIForm1 : public QWidget, public quillet::WindowInterface {
    Q_OBJECT

public:
    explicit MDIForm1(QWidget* parent = nullptr);
    ~MDIForm1() override;

    // Runs the load handler while the window is still hidden, so it opens
    // at the place and with the texts the handler gives it.
    void Load();

    quillet::WindowModel& Model() { return model_; }

    // A point put into the three boxes and calculated as the user would:
    // the focus goes to "Calculate" first, so a box being typed in takes
    // over its keys as it does when "Calculate" is pressed, then the texts
    // are entered, the AN type (1..4) chosen and "Calculate" pressed.
    void CalculatePoint(std::string_view frequency, std::string_view magnitude, std::string_view phase,
                        std::int16_t anType);

    // quillet::WindowInterface
    std::string Text(quillet::TextBox box) const override;
    void SetText(quillet::TextBox box, std::string_view text) override;
    bool Option(int index) const override;
    void SetOption(int index, bool selected) override;
    double OuterWidth() const override;
    double OuterHeight() const override;
    void SetLeft(float twips) override;
    void SetTop(float twips) override;
    double ScreenWidth() const override;
    double ScreenHeight() const override;
    void SetMousePointer(quillet::MousePointer pointer) override;
    void ShowMessage(std::string_view text, std::string_view title) override;
    void Unload() override;

    // The controls, from top to bottom, with what the user sees of each.
    QLabel* Label1;                        // the heading
    QGroupBox* Frame2;                     // "Artificial Network (AN)"
    std::array<QRadioButton*, 4> ChkLink;  // the AN type options; ChkLink[2] sits on the window
    QGroupBox* FrCapPar;                   // "Input Values (AN Impedance)"
    QLabel* Label13;                       // "Frequency"
    QLineEdit* TxtFrequency;               // the frequency box
    QLabel* Label14;                       // "MHz"
    QLabel* Label2;                        // "Magnitude"
    QLineEdit* TxtMagnitude;               // the magnitude box
    QLabel* Label4;                        // "Ω"
    QLabel* Label3;                        // "Phase"
    QLineEdit* TxtPhase;                   // the phase box
    QLabel* Label5;                        // "deg"
    QGroupBox* Frame1;                     // "Results"
    QLabel* LabTriggLev;                   // "Maximum Deviation"
    QLineEdit* TxtMaxUncertainty;          // the deviation result
    QLabel* LabTriggLevUn;                 // "dB"
    QLabel* LabTriggOffs;                  // "Phase of EUT reflection coefficient"
    QLineEdit* TxtUncPhase;                // the EUT phase result
    QLabel* LabTriggOffsUn;                // "deg"
    QPushButton* PbCapture;                // "Calculate"
    QPushButton* PbInfo;                   // "About"
    QPushButton* PbExit;                   // "Exit"

signals:
    // Files dropped anywhere on the window, and Ctrl+O: the window itself
    // opens nothing.
    void FilesDropped(const QStringList& paths);
    void OpenRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateControls();
    void SetTabOrder();
    void BindEvents();
    QLineEdit* Box(quillet::TextBox box) const;
    static void MakeTabStop(QRadioButton* selected);
    // The control of the layout with that name.
    template <class Widget>
    Widget* Named(std::string_view name) const {
        return findChild<Widget*>(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }

    InputBoxBinder* binder_ = nullptr;
    QButtonGroup* frameOptions_ = nullptr;   // ChkLink(0), (1), (3) in Frame2
    QButtonGroup* windowOptions_ = nullptr;  // ChkLink(2) on the window
    quillet::WindowModel model_{*this};
    bool busy_ = false;
    bool painted_ = false;
};

}  // namespace quillet::ui
