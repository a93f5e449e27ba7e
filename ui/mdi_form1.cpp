#include "ui/mdi_form1.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

#include "engine/an_types.h"
#include "ui/appearance.h"
#include "ui/input_box_binder.h"

using quillet::TextBox;

// The icons live in the resources of this static library, which the linker
// would otherwise leave out.
static void LoadIconResources() { Q_INIT_RESOURCE(quillet); }

namespace {

constexpr int kTwipsPerPixel = 15;  // at 96 dpi
constexpr QSize kClientSize(428, 444);
// Qt learns the frame only once the window is shown, and the window is
// placed before that: these are the frame of a usual title bar and border.
constexpr QMargins kUsualFrame(3, 22, 3, 3);

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A control at its place, in pixels relative to its container.
template <class Control>
Control* Place(Control* control, int left, int top, int width, int height) {
    control->setGeometry(left, top, width, height);
    return control;
}

// The caption of option ChkLink(index), the AN type index + 1.
QString OptionCaption(std::size_t index) { return FromUtf8(quillet::kAnTypes.at(index).caption); }

QLabel* Caption(QWidget* container, const QString& text, Qt::Alignment alignment, QRect place) {
    auto* label = Place(new QLabel(text, container), place.x(), place.y(), place.width(), place.height());
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setAutoFillBackground(true);  // labels are opaque
    return label;
}

QLineEdit* MakeBox(QWidget* container, const QString& accessibleName, int top) {
    auto* box = Place(new QLineEdit(container), 216, top, 121, 19);
    box->setAccessibleName(accessibleName);
    return box;
}

// A dropped text would change an input box without focus, click or key:
// no handler would clamp it or mark the results stale.
// The local files among dropped data; a text or a web address is none.
QStringList DroppedFiles(const QMimeData* data) {
    QStringList files;
    if (data == nullptr)
        return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            files << url.toLocalFile();
    }
    return files;
}

QLineEdit* MakeInputBox(QWidget* container, const QString& accessibleName, int top) {
    QLineEdit* box = MakeBox(container, accessibleName, top);
    box->setAcceptDrops(false);
    return box;
}

}  // namespace

MDIForm1::MDIForm1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(QStringLiteral("Torvane - AN Impedance Uncertainty Contribution"));
    LoadIconResources();
    QIcon icon;
    for (int size : {48, 32, 16})
        icon.addFile(QStringLiteral(":/icons/quillet-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
    setFixedSize(kClientSize);
    setFont(StandardFont());

    // Only the window's own background is set; every control keeps the
    // standard colours of its kind.
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(background);
    setAutoFillBackground(true);

    CreateControls();
    SetTabOrder();
    BindEvents();

    // Files dropped on the input boxes too reach the window, which opens
    // them; the boxes themselves still take no dropped text.
    setAcceptDrops(true);
    auto* open = new QShortcut(QKeySequence::Open, this);
    connect(open, &QShortcut::activated, this, &MDIForm1::OpenRequested);
}

MDIForm1::~MDIForm1() {
    if (busy_)
        QApplication::restoreOverrideCursor();
}

void MDIForm1::CreateControls() {
    const QColor standardFace = QApplication::palette().color(QPalette::Window);
    auto standardColours = [&](QWidget* control) {
        QPalette p = control->palette();
        p.setColor(QPalette::Window, standardFace);
        control->setPalette(p);
    };

    Label1 =
        Caption(this, QStringLiteral("AN Impedance Uncertainty Contribution"), Qt::AlignHCenter, {16, 16, 393, 33});
    Label1->setFont(HeadingFont());

    Frame2 = Place(new QGroupBox(QStringLiteral("Artificial Network (AN)"), this), 16, 56, 393, 81);
    ChkLink[0] = Place(new QRadioButton(OptionCaption(0), Frame2), 24, 24, 145, 17);
    ChkLink[1] = Place(new QRadioButton(OptionCaption(1), Frame2), 24, 48, 145, 17);
    ChkLink[3] = Place(new QRadioButton(OptionCaption(3), Frame2), 192, 48, 65, 17);
    // ChkLink(2) lies on the window over the frame's right-hand column, so
    // the options form two groups; the AN type handler keeps all four
    // exclusive.
    ChkLink[2] = Place(new QRadioButton(OptionCaption(2), this), 208, 80, 185, 17);
    ChkLink[2]->raise();
    for (QRadioButton* option : ChkLink)
        option->setFont(SymbolCaptionFont());
    // Qt would otherwise count every option below the window as one group
    // for ChkLink(2), because it looks for buttons among all descendants.
    // Explicit groups give each container its own arrow keys and tab stop.
    frameOptions_ = new QButtonGroup(this);
    for (int index : {0, 1, 3})
        frameOptions_->addButton(ChkLink[static_cast<std::size_t>(index)], index);
    windowOptions_ = new QButtonGroup(this);
    windowOptions_->addButton(ChkLink[2], 2);

    FrCapPar = Place(new QGroupBox(QStringLiteral("Input Values (AN Impedance)"), this), 16, 144, 393, 129);
    Label13 = Caption(FrCapPar, QStringLiteral("Frequency"), Qt::AlignRight, {40, 32, 153, 17});
    TxtFrequency = MakeInputBox(FrCapPar, Label13->text(), 32);
    Label14 = Caption(FrCapPar, QStringLiteral("MHz"), Qt::AlignLeft, {352, 32, 25, 17});
    Label2 = Caption(FrCapPar, QStringLiteral("Magnitude"), Qt::AlignRight, {32, 64, 161, 17});
    TxtMagnitude = MakeInputBox(FrCapPar, Label2->text(), 64);
    Label4 = Caption(FrCapPar, QStringLiteral("Ω"), Qt::AlignLeft, {352, 64, 33, 17});
    Label4->setFont(SymbolCaptionFont());
    Label3 = Caption(FrCapPar, QStringLiteral("Phase"), Qt::AlignRight, {32, 96, 161, 17});
    TxtPhase = MakeInputBox(FrCapPar, Label3->text(), 96);
    Label5 = Caption(FrCapPar, QStringLiteral("deg"), Qt::AlignLeft, {352, 96, 33, 17});

    Frame1 = Place(new QGroupBox(QStringLiteral("Results"), this), 16, 280, 393, 89);
    LabTriggLev = Caption(Frame1, QStringLiteral("Maximum Deviation"), Qt::AlignRight, {32, 24, 161, 17});
    TxtMaxUncertainty = MakeBox(Frame1, LabTriggLev->text(), 24);
    LabTriggLevUn = Caption(Frame1, QStringLiteral("dB"), Qt::AlignLeft, {352, 24, 25, 17});
    LabTriggOffs =
        Caption(Frame1, QStringLiteral("Phase of EUT reflection coefficient"), Qt::AlignRight, {16, 56, 177, 17});
    TxtUncPhase = MakeBox(Frame1, LabTriggOffs->text(), 56);
    LabTriggOffsUn = Caption(Frame1, QStringLiteral("deg"), Qt::AlignLeft, {352, 56, 25, 17});

    PbCapture = Place(new QPushButton(QStringLiteral("Calculate"), this), 16, 392, 177, 33);
    PbInfo = Place(new QPushButton(QStringLiteral("About"), this), 224, 392, 89, 33);
    PbExit = Place(new QPushButton(QStringLiteral("Exit"), this), 328, 392, 89, 33);

    const std::pair<QLabel*, QLineEdit*> buddies[] = {
        {Label13, TxtFrequency},          {Label2, TxtMagnitude},      {Label3, TxtPhase},
        {LabTriggLev, TxtMaxUncertainty}, {LabTriggOffs, TxtUncPhase},
    };
    for (const auto& [label, box] : buddies)
        label->setBuddy(box);

    for (QWidget* control :
         {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Frame2), static_cast<QWidget*>(ChkLink[2]),
          static_cast<QWidget*>(FrCapPar), static_cast<QWidget*>(Frame1), static_cast<QWidget*>(PbCapture),
          static_cast<QWidget*>(PbInfo), static_cast<QWidget*>(PbExit)})
        standardColours(control);
    // Frames are opaque like the labels and options on them.
    for (QGroupBox* frame : {Frame2, FrCapPar, Frame1})
        frame->setAutoFillBackground(true);

    const std::pair<QWidget*, const char*> names[] = {
        {Label1, "Label1"},
        {Frame2, "Frame2"},
        {ChkLink[0], "ChkLink(0)"},
        {ChkLink[1], "ChkLink(1)"},
        {ChkLink[2], "ChkLink(2)"},
        {ChkLink[3], "ChkLink(3)"},
        {FrCapPar, "FrCapPar"},
        {Label13, "Label13"},
        {TxtFrequency, "TxtFrequency"},
        {Label14, "Label14"},
        {Label2, "Label2"},
        {TxtMagnitude, "TxtMagnitude"},
        {Label4, "Label4"},
        {Label3, "Label3"},
        {TxtPhase, "TxtPhase"},
        {Label5, "Label5"},
        {Frame1, "Frame1"},
        {LabTriggLev, "LabTriggLev"},
        {TxtMaxUncertainty, "TxtMaxUncertainty"},
        {LabTriggLevUn, "LabTriggLevUn"},
        {LabTriggOffs, "LabTriggOffs"},
        {TxtUncPhase, "TxtUncPhase"},
        {LabTriggOffsUn, "LabTriggOffsUn"},
        {PbCapture, "PbCapture"},
        {PbInfo, "PbInfo"},
        {PbExit, "PbExit"},
    };
    for (const auto& [control, name] : names)
        control->setObjectName(QString::fromLatin1(name));

    // Enter typed in a box must reach only that box.
    for (QPushButton* button : {PbCapture, PbInfo, PbExit}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

void MDIForm1::SetTabOrder() {
    const QWidget* order[] = {PbCapture,         PbExit,       PbInfo,       ChkLink[0],
                              ChkLink[1],        TxtFrequency, TxtMagnitude, TxtPhase,
                              TxtMaxUncertainty, TxtUncPhase,  ChkLink[2],   ChkLink[3]};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));
}

void MDIForm1::BindEvents() {
    using quillet::WindowModel;
    auto* binder = binder_ = new InputBoxBinder(this);
    auto bind = [this, binder](QLineEdit* box, void (WindowModel::*click)(), void (WindowModel::*gotFocus)(),
                               void (WindowModel::*keyPress)(std::uint16_t), void (WindowModel::*lostFocus)()) {
        binder->Bind(box, {[this, click] { (model_.*click)(); }, [this, gotFocus] { (model_.*gotFocus)(); },
                           [this, keyPress](std::uint16_t code) { (model_.*keyPress)(code); },
                           [this, lostFocus] { (model_.*lostFocus)(); }});
    };
    bind(TxtFrequency, &WindowModel::TxtFrequency_Click, &WindowModel::TxtFrequency_GotFocus,
         &WindowModel::TxtFrequency_KeyPress, &WindowModel::TxtFrequency_LostFocus);
    bind(TxtMagnitude, &WindowModel::TxtMagnitude_Click, &WindowModel::TxtMagnitude_GotFocus,
         &WindowModel::TxtMagnitude_KeyPress, &WindowModel::TxtMagnitude_LostFocus);
    bind(TxtPhase, &WindowModel::TxtPhase_Click, &WindowModel::TxtPhase_GotFocus, &WindowModel::TxtPhase_KeyPress,
         &WindowModel::TxtPhase_LostFocus);

    // A button or option pressed takes the focus from the box first.
    for (QAbstractButton* button :
         {static_cast<QAbstractButton*>(PbCapture), static_cast<QAbstractButton*>(PbInfo),
          static_cast<QAbstractButton*>(PbExit), static_cast<QAbstractButton*>(ChkLink[0]),
          static_cast<QAbstractButton*>(ChkLink[1]), static_cast<QAbstractButton*>(ChkLink[2]),
          static_cast<QAbstractButton*>(ChkLink[3])})
        connect(button, &QAbstractButton::pressed, binder, [binder, button] { binder->FocusIsOn(button); });

    for (std::size_t i = 0; i < ChkLink.size(); ++i) {
        // Raised when an option turns on, by a click or from code; never when
        // it keeps its value.
        connect(ChkLink[i], &QRadioButton::toggled, this, [this, i](bool selected) {
            if (!selected)
                return;
            MakeTabStop(ChkLink[i]);
            model_.ChkLink_Click(static_cast<std::int16_t>(i));
        });
    }
    connect(PbCapture, &QPushButton::clicked, this, [this] { model_.PbCapture_Click(); });
    connect(PbInfo, &QPushButton::clicked, this, [this] { model_.PbInfo_Click(); });
    connect(PbExit, &QPushButton::clicked, this, [this] { model_.PbExit_Click(); });
}

void MDIForm1::Load() {
    model_.Form_Load();
    PbCapture->setFocus(Qt::OtherFocusReason);
}

void MDIForm1::CalculatePoint(std::string_view frequency, std::string_view magnitude, std::string_view phase,
                              std::int16_t anType) {
    binder_->FocusIsOn(PbCapture);
    PbCapture->setFocus(Qt::OtherFocusReason);
    model_.EnterPointAndCalculate(frequency, magnitude, phase, anType);
}

void MDIForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MDIForm1::dropEvent(QDropEvent* event) {
    const QStringList files = DroppedFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    emit FilesDropped(files);
}

void MDIForm1::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    // For start-up measurements: close once the window has been drawn.
    if (!painted_ && qEnvironmentVariableIsSet("QUILLET_EXIT_AFTER_FIRST_PAINT"))
        QTimer::singleShot(0, this, &QWidget::close);
    painted_ = true;
}

QLineEdit* MDIForm1::Box(TextBox box) const {
    switch (box) {
    case TextBox::TxtFrequency: return TxtFrequency;
    case TextBox::TxtMagnitude: return TxtMagnitude;
    case TextBox::TxtPhase: return TxtPhase;
    case TextBox::TxtMaxUncertainty: return TxtMaxUncertainty;
    case TextBox::TxtUncPhase: return TxtUncPhase;
    }
    return TxtFrequency;
}

std::string MDIForm1::Text(TextBox box) const { return Box(box)->text().toStdString(); }

void MDIForm1::SetText(TextBox box, std::string_view text) { Box(box)->setText(FromUtf8(text)); }

bool MDIForm1::Option(int index) const { return ChkLink.at(static_cast<std::size_t>(index))->isChecked(); }

void MDIForm1::SetOption(int index, bool selected) {
    QRadioButton* option = ChkLink.at(static_cast<std::size_t>(index));
    if (selected) {
        option->setChecked(true);  // toggled(true) raises the click, nested here
        return;
    }
    // Qt refuses to clear the checked button of an exclusive group; the
    // handlers clear it themselves.
    QButtonGroup* group = option->group();
    group->setExclusive(false);
    option->setChecked(false);
    group->setExclusive(true);
}

void MDIForm1::MakeTabStop(QRadioButton* selected) {
    // Tab enters a group of options at its selected option.
    for (QAbstractButton* option : selected->group()->buttons()) {
        const Qt::FocusPolicy policy = option->focusPolicy();
        option->setFocusPolicy(option == selected ? Qt::FocusPolicy(policy | Qt::TabFocus)
                                                  : Qt::FocusPolicy(policy & ~Qt::TabFocus));
    }
}

double MDIForm1::OuterWidth() const {
    return (width() + kUsualFrame.left() + kUsualFrame.right()) * static_cast<double>(kTwipsPerPixel);
}

double MDIForm1::OuterHeight() const {
    return (height() + kUsualFrame.top() + kUsualFrame.bottom()) * static_cast<double>(kTwipsPerPixel);
}

void MDIForm1::SetLeft(float twips) { move(qRound(twips / kTwipsPerPixel), pos().y()); }

void MDIForm1::SetTop(float twips) { move(pos().x(), qRound(twips / kTwipsPerPixel)); }

double MDIForm1::ScreenWidth() const { return screen()->geometry().width() * static_cast<double>(kTwipsPerPixel); }

double MDIForm1::ScreenHeight() const { return screen()->geometry().height() * static_cast<double>(kTwipsPerPixel); }

void MDIForm1::SetMousePointer(quillet::MousePointer pointer) {
    const bool busy = pointer == quillet::MousePointer::Busy;
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void MDIForm1::ShowMessage(std::string_view text, std::string_view title) {
    // CR LF is the message's line break; Qt breaks lines at LF.
    QString shown = FromUtf8(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::NoIcon, FromUtf8(title), shown, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void MDIForm1::Unload() { close(); }
