// Withdrawing a verification: why, and by whom. The record stays in the
// register, marked; nothing is deleted.
#pragma once

#include <QDialog>

#include <cstdint>

#include "records/verification_register.h"

class QLabel;
class QLineEdit;

namespace quillet::registerui {

class WithdrawDialog : public QDialog {
    Q_OBJECT

public:
    WithdrawDialog(records::VerificationRegister& register_, std::int64_t verification, QWidget* parent = nullptr);

    // Withdraws when both are given; otherwise, or when the register
    // refuses, says why and stays open.
    void accept() override;

    QLineEdit* Reason;
    QLineEdit* By;
    QLabel* Problems;

private:
    records::VerificationRegister& register_;
    std::int64_t verification_;
};

}  // namespace quillet::registerui
