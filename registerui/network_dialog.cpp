#include "registerui/network_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "engine/an_types.h"
#include "records/entry_checks.h"
#include "registerui/text.h"

namespace quillet::registerui {

NetworkDialog::NetworkDialog(records::VerificationRegister& register_, QWidget* parent)
    : QDialog(parent), register_(register_) {
    setWindowTitle(QStringLiteral("Add network"));
    Maker = new QLineEdit(this);
    Model = new QLineEdit(this);
    Serial = new QLineEdit(this);
    AnType = new QComboBox(this);
    for (const AnTypeInfo& type : kAnTypes)
        AnType->addItem(QString::fromUtf8(type.caption.data(), static_cast<qsizetype>(type.caption.size())));
    Lines = new QLineEdit(this);
    Lines->setPlaceholderText(QStringLiteral("L1,N"));
    IntervalDays = new QSpinBox(this);
    IntervalDays->setRange(1, static_cast<int>(records::kLongestIntervalDays));
    IntervalDays->setValue(365);
    IntervalDays->setSuffix(QStringLiteral(" days"));
    Notes = new QLineEdit(this);
    Problems = new QLabel(this);
    Problems->setStyleSheet(QStringLiteral("color: #b00020"));
    Problems->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Maker:"), Maker);
    form->addRow(QStringLiteral("M&odel:"), Model);
    form->addRow(QStringLiteral("&Serial number:"), Serial);
    form->addRow(QStringLiteral("AN &type:"), AnType);
    form->addRow(QStringLiteral("&Lines:"), Lines);
    form->addRow(QStringLiteral("Verification &interval:"), IntervalDays);
    form->addRow(QStringLiteral("&Notes:"), Notes);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &NetworkDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &NetworkDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Problems);
    layout->addWidget(buttons);
}

void NetworkDialog::accept() {
    records::NewNetwork network;
    network.maker = U(Maker->text().trimmed());
    network.model = U(Model->text().trimmed());
    network.serial = U(Serial->text().trimmed());
    network.anType = static_cast<std::int16_t>(AnType->currentIndex() + 1);
    network.lines = U(Lines->text().trimmed());
    network.intervalDays = IntervalDays->value();
    network.notes = U(Notes->text().trimmed());
    try {
        const auto problems = records::NetworkProblems(network, register_.Networks());
        if (!problems.empty()) {
            Problems->setText(ProblemText(problems));
            return;
        }
        register_.AddNetwork(network);
    } catch (const records::RegisterError& error) {
        Problems->setText(QString::fromUtf8(error.what()));
        return;
    }
    added_ = network.serial;
    QDialog::accept();
}

}  // namespace quillet::registerui
