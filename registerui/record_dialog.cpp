#include "registerui/record_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

#include "records/entry_checks.h"
#include "records/verification_entry.h"
#include "registerui/network_dialog.h"
#include "registerui/pdf_files.h"
#include "registerui/text.h"

namespace quillet::registerui {

RecordDialog::RecordDialog(records::VerificationRegister& register_, const QString& measurement,
                           std::optional<std::string> evaluatedSha256, std::int16_t shownAnType, QWidget* parent)
    : QDialog(parent),
      register_(register_),
      measurement_(measurement),
      evaluatedSha256_(std::move(evaluatedSha256)),
      shownAnType_(shownAnType) {
    setWindowTitle(QStringLiteral("Record verification"));
    Network = new QComboBox(this);
    AddNetworkButton = new QPushButton(QStringLiteral("Add &network…"), this);
    const auto edit = [this](const QString& placeholder = {}) {
        auto* field = new QLineEdit(this);
        field->setPlaceholderText(placeholder);
        return field;
    };
    Date = edit(QStringLiteral("YYYY-MM-DD"));
    Date->setText(Q(records::DefaultVerificationDate()));
    Operator = edit();
    Instrument = edit();
    CalibrationDue = edit(QStringLiteral("YYYY-MM-DD"));
    Line = edit(QStringLiteral("L1"));
    Terminals = edit();
    Fixture = edit();
    UncertaintyMagnitude = edit(QStringLiteral("%"));
    UncertaintyPhase = edit(QStringLiteral("°"));
    CoverageFactor = edit(QStringLiteral("k"));
    Corrects = edit(QStringLiteral("verification number"));
    TypeNote = new QLabel(this);
    TypeNote->setWordWrap(true);
    Problems = new QLabel(this);
    Problems->setStyleSheet(QStringLiteral("color: #b00020"));
    Problems->setWordWrap(true);

    auto* networkRow = new QHBoxLayout;
    networkRow->addWidget(Network, 1);
    networkRow->addWidget(AddNetworkButton);
    auto* uncertaintyRow = new QHBoxLayout;
    for (QLineEdit* field : {UncertaintyMagnitude, UncertaintyPhase, CoverageFactor})
        uncertaintyRow->addWidget(field);
    auto* form = new QFormLayout;
    // A long name (a cached measurement's has its SHA-256) shortened in the
    // middle, whole in the tool tip.
    auto* file = new QLabel(fontMetrics().elidedText(QFileInfo(measurement).fileName(), Qt::ElideMiddle, 360), this);
    file->setToolTip(measurement);
    form->addRow(QStringLiteral("Measurement:"), file);
    form->addRow(QStringLiteral("Register:"), new QLabel(QFileInfo(Q(register_.path())).fileName(), this));
    // Rows of more than one field: the label leads to the first.
    const auto labelFor = [this](const QString& text, QWidget* first) {
        auto* label = new QLabel(text, this);
        label->setBuddy(first);
        return label;
    };
    form->addRow(labelFor(QStringLiteral("Net&work:"), Network), networkRow);
    form->addRow(QStringLiteral("&Date:"), Date);
    form->addRow(QStringLiteral("&Operator:"), Operator);
    form->addRow(QStringLiteral("&Instrument:"), Instrument);
    form->addRow(QStringLiteral("Instrument &calibration due:"), CalibrationDue);
    form->addRow(QStringLiteral("&Line:"), Line);
    form->addRow(QStringLiteral("Other &terminals:"), Terminals);
    form->addRow(QStringLiteral("Adapter or &fixture:"), Fixture);
    form->addRow(labelFor(QStringLiteral("Expanded &uncertainty (%, °, k):"), UncertaintyMagnitude), uncertaintyRow);
    form->addRow(QStringLiteral("Corr&ects verification:"), Corrects);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->addButton(QStringLiteral("&Record"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &RecordDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &RecordDialog::reject);
    connect(AddNetworkButton, &QPushButton::clicked, this, &RecordDialog::AddNetwork);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(TypeNote);
    layout->addWidget(Problems);
    layout->addWidget(buttons);
    if (register_.readOnly()) {
        Problems->setText(QString::fromUtf8(records::kReadOnlyRegisterText));
        buttons->buttons().constFirst()->setEnabled(false);
        AddNetworkButton->setEnabled(false);
    }
    // No network is taken for granted: recorded against the wrong one, a
    // verification could only be withdrawn.
    FillNetworks({});
    Network->setCurrentIndex(-1);
    connect(Network, &QComboBox::currentIndexChanged, this, &RecordDialog::NoteType);
}

// The record is evaluated for the network's own type, which the sweep on
// show may not be.
void RecordDialog::NoteType() {
    TypeNote->clear();
    try {
        const auto network = register_.NetworkBySerial(U(Network->currentData().toString()));
        if (network)
            TypeNote->setText(Q(records::TypeNoteText(shownAnType_, *network)));
    } catch (const records::RegisterError& error) {
        Problems->setText(QString::fromUtf8(error.what()));
    }
}

void RecordDialog::FillNetworks(const std::string& select) {
    Network->clear();
    try {
        for (const records::Network& network : register_.Networks()) {
            Network->addItem(Q(records::NetworkCaption(network)), Q(network.serial));
            if (network.serial == select)
                Network->setCurrentIndex(Network->count() - 1);
        }
    } catch (const records::RegisterError& error) {
        Problems->setText(QString::fromUtf8(error.what()));
    }
}

void RecordDialog::AddNetwork() {
    NetworkDialog dialog(register_, this);
    if (dialog.exec() == QDialog::Accepted && dialog.AddedSerial())
        FillNetworks(*dialog.AddedSerial());
}

void RecordDialog::accept() {
    records::TypedVerification typed;
    typed.serial = U(Network->currentData().toString());
    typed.date = U(Date->text().trimmed());
    typed.operatorName = U(Operator->text().trimmed());
    typed.instrument = U(Instrument->text().trimmed());
    typed.calibrationDue = U(CalibrationDue->text().trimmed());
    typed.line = U(Line->text().trimmed());
    typed.terminals = U(Terminals->text().trimmed());
    typed.fixture = U(Fixture->text().trimmed());
    typed.uncertaintyMagnitude = U(UncertaintyMagnitude->text());
    typed.uncertaintyPhase = U(UncertaintyPhase->text());
    typed.coverageFactor = U(CoverageFactor->text());
    typed.corrects = U(Corrects->text().trimmed());
    try {
        records::CheckedVerification checked = records::CheckTypedVerification(typed, register_);
        if (!checked.problems.empty()) {
            Problems->setText(ProblemText(checked.problems));
            return;
        }
        // The bytes recorded are read now, once; they are the bytes the
        // sweep on show was evaluated from only if their fingerprints agree.
        QFile file(measurement_);
        if (!file.open(QIODevice::ReadOnly)) {
            Problems->setText(Q(
                records::CannotReadMeasurementText(U(QDir::toNativeSeparators(measurement_)), U(file.errorString()))));
            return;
        }
        const QByteArray bytes = file.readAll();
        if (const auto refused =
                records::AttachMeasurement(checked.verification, *checked.network,
                                           std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                                           U(QFileInfo(measurement_).fileName()), evaluatedSha256_)) {
            Problems->setText(Q(*refused));
            return;
        }
        recorded_ = register_.Record(checked.verification);
    } catch (const std::exception& error) {
        Problems->setText(QString::fromUtf8(error.what()));
        return;
    }
    QDialog::accept();
}

std::optional<std::int64_t> RecordVerification(QWidget* parent, records::VerificationRegister& register_,
                                               const QString& measurement,
                                               const std::optional<std::string>& evaluatedSha256,
                                               std::int16_t shownAnType) {
    RecordDialog dialog(register_, measurement, evaluatedSha256, shownAnType, parent);
    if (dialog.exec() != QDialog::Accepted || !dialog.RecordedId())
        return std::nullopt;
    const std::int64_t id = *dialog.RecordedId();
    try {
        const records::Verification verification = register_.Get(id);
        const records::Network network = *register_.NetworkBySerial(verification.serial);
        const QString file =
            AskPdfFile(parent, QStringLiteral("Verification %1 recorded: save its record as PDF").arg(id),
                       Q(records::RecordPdfName(verification.serial, verification.date, id)));
        if (!file.isEmpty())
            WriteRecordPdf(file, {Q(register_.path()), measurement}, network, verification);
    } catch (const std::exception& error) {
        QMessageBox::warning(
            parent, QStringLiteral("Quillet"),
            QStringLiteral("Verification %1 is recorded, but its record could not be saved as PDF:\n%2")
                .arg(id)
                .arg(QString::fromUtf8(error.what())));
    }
    return id;
}

}  // namespace quillet::registerui
