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

#include <algorithm>
#include <charconv>
#include <exception>

#include "files/sha256.h"
#include "records/dates.h"
#include "records/entry_checks.h"
#include "records/results.h"
#include "registerui/network_dialog.h"
#include "registerui/pdf_files.h"
#include "registerui/text.h"

namespace quillet::registerui {
namespace {

QString NetworkCaption(const records::Network& network) {
    return QStringLiteral("%1 – %2 %3 (type %4)")
        .arg(Q(network.serial), Q(network.maker), Q(network.model))
        .arg(network.anType);
}

}  // namespace

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
    Date->setText(Q(records::TodayUtc()));
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
        Problems->setText(QStringLiteral("The register is read-only: nothing can be recorded in it."));
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
        if (network && network->anType != shownAnType_)
            TypeNote->setText(QStringLiteral("The sweep on show is evaluated for AN type %1; the record will be "
                                             "evaluated for this network's type, %2.")
                                  .arg(shownAnType_)
                                  .arg(network->anType));
    } catch (const records::RegisterError& error) {
        Problems->setText(QString::fromUtf8(error.what()));
    }
}

void RecordDialog::FillNetworks(const std::string& select) {
    Network->clear();
    try {
        for (const records::Network& network : register_.Networks()) {
            Network->addItem(NetworkCaption(network), Q(network.serial));
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

// The verification this one corrects: of the same network, and in force.
std::optional<std::int64_t> RecordDialog::CorrectedId(const std::string& serial, std::vector<std::string>& problems) {
    const std::string text = U(Corrects->text().trimmed());
    if (text.empty())
        return std::nullopt;
    std::int64_t id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (error != std::errc() || end != text.data() + text.size() || id <= 0) {
        problems.push_back("The verification corrected must be given by its number.");
        return std::nullopt;
    }
    const auto verifications = register_.Verifications(serial);
    const auto found = std::find_if(verifications.begin(), verifications.end(),
                                    [id](const records::Verification& v) { return v.id == id; });
    if (found == verifications.end())
        problems.push_back("Verification " + text + " is not one of this network's.");
    else if (found->supersededBy)
        problems.push_back("Verification " + text + " is corrected already, by " +
                           std::to_string(*found->supersededBy) + ".");
    return id;
}

void RecordDialog::accept() {
    records::NewVerification v;
    v.serial = U(Network->currentData().toString());
    v.date = U(Date->text().trimmed());
    v.operatorName = U(Operator->text().trimmed());
    v.instrument = U(Instrument->text().trimmed());
    v.instrumentCalibrationDue = U(CalibrationDue->text().trimmed());
    v.line = U(Line->text().trimmed());
    v.terminals = U(Terminals->text().trimmed());
    v.fixture = U(Fixture->text().trimmed());
    std::vector<std::string> problems = records::VerificationProblems(v);
    v.uncertainty = records::UncertaintyOf(U(UncertaintyMagnitude->text()), U(UncertaintyPhase->text()),
                                           U(CoverageFactor->text()), problems);
    try {
        const auto network = v.serial.empty() ? std::nullopt : register_.NetworkBySerial(v.serial);
        if (!v.serial.empty() && !network)
            problems.push_back("Network " + v.serial + " is no longer in the register.");
        v.supersedes = CorrectedId(v.serial, problems);
        if (!problems.empty()) {
            Problems->setText(ProblemText(problems));
            return;
        }
        // The bytes recorded are read now, once; they are the bytes the
        // sweep on show was evaluated from only if their fingerprints agree.
        QFile file(measurement_);
        if (!file.open(QIODevice::ReadOnly)) {
            Problems->setText(QStringLiteral("Cannot read %1: %2. Nothing was recorded.")
                                  .arg(QDir::toNativeSeparators(measurement_), file.errorString()));
            return;
        }
        const QByteArray bytes = file.readAll();
        v.fileBytes.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        if (!evaluatedSha256_ || files::Sha256Hex(v.fileBytes) != *evaluatedSha256_) {
            Problems->setText(QStringLiteral("%1 has changed on disk since the sweep on show was evaluated. Reload it "
                                             "(F5), check the sweep, then record it. Nothing was recorded.")
                                  .arg(QFileInfo(measurement_).fileName()));
            return;
        }
        v.fileName = U(QFileInfo(measurement_).fileName());
        v.results = records::EvaluateMeasurement(v.fileBytes, v.fileName, network->anType, v.uncertainty);
        v.decisionRule = v.results.decisionVerdict.rule;
        recorded_ = register_.Record(v);
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
