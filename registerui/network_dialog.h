// Adding a network to the register: every field, checked before it is
// written, the faults shown in the dialog.
#pragma once

#include <QDialog>

#include <cstdint>
#include <optional>

#include "records/verification_register.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace quillet::registerui {

class NetworkDialog : public QDialog {
    Q_OBJECT

public:
    explicit NetworkDialog(records::VerificationRegister& register_, QWidget* parent = nullptr);

    // Adds the network when every field is right; otherwise, or when the
    // register refuses it, says why and stays open.
    void accept() override;
    // The serial added, once accepted.
    const std::optional<std::string>& AddedSerial() const { return added_; }

    QLineEdit* Maker;
    QLineEdit* Model;
    QLineEdit* Serial;
    QComboBox* AnType;
    QLineEdit* Lines;
    QSpinBox* IntervalDays;
    QLineEdit* Notes;
    QLabel* Problems;

private:
    records::VerificationRegister& register_;
    std::optional<std::string> added_;
};

}  // namespace quillet::registerui
