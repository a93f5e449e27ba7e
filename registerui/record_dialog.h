// Recording a measured sweep as a verification of one network: the
// conditions asked for, every field checked before anything is written,
// and then the file's bytes, its name and their results in one write.
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>

#include "records/verification_register.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillet::registerui {

class RecordDialog : public QDialog {
    Q_OBJECT

public:
    // evaluatedSha256: the fingerprint of the bytes the sweep on show was
    // evaluated from; none when they are not known for certain. shownAnType:
    // the type the sweep is on show for, to point out a network of another.
    RecordDialog(records::VerificationRegister& register_, const QString& measurement,
                 std::optional<std::string> evaluatedSha256, std::int16_t shownAnType, QWidget* parent = nullptr);

    // Records when every field is right and the file is still the one
    // evaluated; otherwise, or when the register refuses, says why and
    // stays open with everything typed.
    void accept() override;
    const std::optional<std::int64_t>& RecordedId() const { return recorded_; }

    QComboBox* Network;
    QPushButton* AddNetworkButton;
    QLineEdit* Date;
    QLineEdit* Operator;
    QLineEdit* Instrument;
    QLineEdit* CalibrationDue;
    QLineEdit* Line;
    QLineEdit* Terminals;
    QLineEdit* Fixture;
    QLineEdit* UncertaintyMagnitude;
    QLineEdit* UncertaintyPhase;
    QLineEdit* CoverageFactor;
    QLineEdit* Corrects;
    QLabel* TypeNote;
    QLabel* Problems;

private:
    void FillNetworks(const std::string& select);
    void NoteType();
    void AddNetwork();

    records::VerificationRegister& register_;
    QString measurement_;
    std::optional<std::string> evaluatedSha256_;
    std::int16_t shownAnType_;
    std::optional<std::int64_t> recorded_;
};

// The dialog, then the offer to save the record as PDF. The number
// recorded; none when the user cancelled.
std::optional<std::int64_t> RecordVerification(QWidget* parent, records::VerificationRegister& register_,
                                               const QString& measurement,
                                               const std::optional<std::string>& evaluatedSha256,
                                               std::int16_t shownAnType);

}  // namespace quillet::registerui
