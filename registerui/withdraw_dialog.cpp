#include "registerui/withdraw_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "registerui/text.h"

namespace quillet::registerui {

WithdrawDialog::WithdrawDialog(records::VerificationRegister& register_, std::int64_t verification, QWidget* parent)
    : QDialog(parent), register_(register_), verification_(verification) {
    setWindowTitle(QStringLiteral("Withdraw verification %1").arg(verification));
    Reason = new QLineEdit(this);
    By = new QLineEdit(this);
    Problems = new QLabel(this);
    Problems->setStyleSheet(QStringLiteral("color: #b00020"));
    Problems->setWordWrap(true);
    auto* note = new QLabel(
        QStringLiteral("The verification stays in the register, marked as withdrawn; it cannot be undone."), this);
    note->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Reason:"), Reason);
    form->addRow(QStringLiteral("&By:"), By);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->addButton(QStringLiteral("&Withdraw"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &WithdrawDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &WithdrawDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(form);
    layout->addWidget(Problems);
    layout->addWidget(buttons);
}

void WithdrawDialog::accept() {
    std::vector<std::string> problems;
    if (Reason->text().trimmed().isEmpty())
        problems.push_back("Say why the verification is withdrawn.");
    if (By->text().trimmed().isEmpty())
        problems.push_back("Say who withdraws it.");
    if (!problems.empty()) {
        Problems->setText(ProblemText(problems));
        return;
    }
    try {
        register_.Withdraw({verification_, U(Reason->text().trimmed()), U(By->text().trimmed())});
    } catch (const records::RegisterError& error) {
        Problems->setText(QString::fromUtf8(error.what()));
        return;
    }
    QDialog::accept();
}

}  // namespace quillet::registerui
