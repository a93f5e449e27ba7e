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

#include "ui/appearance.h"
#include "ui/input_box_binder.h"
#include "window/layout.h"

using quillet::TextBox;

// The icons live in the resources of this static library, which the linker
// would otherwise leave out.
static void LoadIconResources() { Q_INIT_RESOURCE(quillet); }

namespace quillet::ui {

namespace {

constexpr int kTwipsPerPixel = quillet::layout::kTwipsPerPixel;
constexpr QSize kClientSize(quillet::layout::kClientWidth, quillet::layout::kClientHeight);
// Qt learns the frame only once the window is shown, and the window is
// placed before that: these are the frame of a usual title bar and border.
constexpr QMargins kUsualFrame(3, 22, 3, 3);

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString FromLatin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

Qt::Alignment Alignment(quillet::layout::Align align) {
    switch (align) {
    case quillet::layout::Align::Centre: return Qt::AlignHCenter;
    case quillet::layout::Align::Right: return Qt::AlignRight;
    default: return Qt::AlignLeft;
    }
}

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

// One control of the layout table, made in its container at its place.
QWidget* MakeControl(const quillet::layout::Control& control, QWidget* container) {
    using quillet::layout::Kind;
    const QString caption = FromUtf8(control.caption);
    QWidget* made = nullptr;
    switch (control.kind) {
    case Kind::Label: {
        auto* label = new QLabel(caption, container);
        label->setAlignment(Alignment(control.align) | Qt::AlignVCenter);
        label->setAutoFillBackground(true);  // labels are opaque
        made = label;
        break;
    }
    case Kind::Frame:
        made = new QGroupBox(caption, container);
        made->setAutoFillBackground(true);  // frames are opaque like the labels and options on them
        break;
    case Kind::Option: made = new QRadioButton(caption, container); break;
    case Kind::TextBox: made = new QLineEdit(container); break;
    case Kind::Button: {
        auto* button = new QPushButton(caption, container);
        // Enter typed in a box must reach only that box.
        button->setAutoDefault(false);
        button->setDefault(false);
        made = button;
        break;
    }
    }
    made->setObjectName(FromLatin1(control.name));
    const quillet::layout::Rect& place = control.place;
    made->setGeometry(place.left, place.top, place.width, place.height);
    if (control.font == quillet::layout::Font::Heading)
        made->setFont(HeadingFont());
    else if (control.font == quillet::layout::Font::Symbol)
        made->setFont(SymbolCaptionFont());
    return made;
}

}  // namespace

MDIForm1::MDIForm1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(FromUtf8(quillet::layout::kTitle));
    LoadIconResources();
    QIcon icon;
    for (int size : {48, 32, 16})
        icon.addFile(QStringLiteral(":/icons/quillet-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
    setFixedSize(kClientSize);
    setFont(StandardFont());

    QPalette background = palette();
    background.setColor(QPalette::Window, QColor::fromRgb(quillet::layout::kBackgroundRgb));
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
    // Only the window's own background is set: what lies directly on it
    // keeps the standard face colour of its kind, and the frames pass that
    // on to what they hold.
    const QColor standardFace = QApplication::palette().color(QPalette::Window);
    for (const quillet::layout::Control& control : quillet::layout::kControls) {
        QWidget* container = control.container.empty() ? this : Named<QWidget>(control.container);
        QWidget* made = MakeControl(control, container);
        if (container == this) {
            QPalette p = made->palette();
            p.setColor(QPalette::Window, standardFace);
            made->setPalette(p);
        }
    }

    Label1 = Named<QLabel>("Label1");
    Frame2 = Named<QGroupBox>("Frame2");
    for (std::size_t i = 0; i < ChkLink.size(); ++i)
        ChkLink[i] = Named<QRadioButton>("ChkLink(" + std::to_string(i) + ")");
    FrCapPar = Named<QGroupBox>("FrCapPar");
    Label13 = Named<QLabel>("Label13");
    TxtFrequency = Named<QLineEdit>("TxtFrequency");
    Label14 = Named<QLabel>("Label14");
    Label2 = Named<QLabel>("Label2");
    TxtMagnitude = Named<QLineEdit>("TxtMagnitude");
    Label4 = Named<QLabel>("Label4");
    Label3 = Named<QLabel>("Label3");
    TxtPhase = Named<QLineEdit>("TxtPhase");
    Label5 = Named<QLabel>("Label5");
    Frame1 = Named<QGroupBox>("Frame1");
    LabTriggLev = Named<QLabel>("LabTriggLev");
    TxtMaxUncertainty = Named<QLineEdit>("TxtMaxUncertainty");
    LabTriggLevUn = Named<QLabel>("LabTriggLevUn");
    LabTriggOffs = Named<QLabel>("LabTriggOffs");
    TxtUncPhase = Named<QLineEdit>("TxtUncPhase");
    LabTriggOffsUn = Named<QLabel>("LabTriggOffsUn");
    PbCapture = Named<QPushButton>("PbCapture");
    PbInfo = Named<QPushButton>("PbInfo");
    PbExit = Named<QPushButton>("PbExit");

    // Qt would otherwise count every option below the window as one group
    // for ChkLink(2), because it looks for buttons among all descendants.
    // Explicit groups give each container its own arrow keys and tab stop.
    frameOptions_ = new QButtonGroup(this);
    windowOptions_ = new QButtonGroup(this);
    for (std::size_t i = 0; i < ChkLink.size(); ++i)
        (ChkLink[i]->parentWidget() == this ? windowOptions_ : frameOptions_)
            ->addButton(ChkLink[i], static_cast<int>(i));

    // Each box is named after its caption label, for screen readers.
    const std::pair<QLabel*, QLineEdit*> buddies[] = {
        {Label13, TxtFrequency},          {Label2, TxtMagnitude},      {Label3, TxtPhase},
        {LabTriggLev, TxtMaxUncertainty}, {LabTriggOffs, TxtUncPhase},
    };
    for (const auto& [label, box] : buddies) {
        label->setBuddy(box);
        box->setAccessibleName(label->text());
    }
    // A dropped text would change an input box without focus, click or key:
    // no handler would clamp it or mark the results stale.
    for (QLineEdit* box : {TxtFrequency, TxtMagnitude, TxtPhase})
        box->setAcceptDrops(false);
}

void MDIForm1::SetTabOrder() {
    const std::vector<const quillet::layout::Control*> order = quillet::layout::TabOrder();
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(Named<QWidget>(order[i]->name), Named<QWidget>(order[i + 1]->name));
}

void MDIForm1::BindEvents() {
    auto* binder = binder_ = new InputBoxBinder(this, model_);
    binder->Bind(TxtFrequency, quillet::TextBox::TxtFrequency);
    binder->Bind(TxtMagnitude, quillet::TextBox::TxtMagnitude);
    binder->Bind(TxtPhase, quillet::TextBox::TxtPhase);

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
    // Focus on "Calculate" before a message box can take it away, so it
    // comes back there, not to a box that would be emptied.
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

}  // namespace quillet::ui
