// For delimited text whose columns could not be recognised: the file's
// first lines, a choice of what each column holds and in which unit, and
// the reading previewed before it is accepted. The choice is remembered
// for files with the same first line.
#pragma once

#include <QDialog>
#include <QString>

#include <optional>
#include <vector>

#include "measurement/read_measurement.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace quillet::sweepui {

class ColumnDialog : public QDialog {
    Q_OBJECT

public:
    // why: the message the reader gave.
    ColumnDialog(const QString& path, const QString& why, QWidget* parent = nullptr);

    // What the columns hold, as an-sweep's --columns takes it; the reading
    // of the file with it, once the preview succeeded.
    QString ColumnList() const;
    const std::optional<measurement::ReadOptions>& Options() const { return options_; }

    std::vector<QComboBox*> Columns;  // one per field of the file's lines
    QLineEdit* Reference;             // the reference of S11, in ohm
    QLabel* Preview;
    QDialogButtonBox* Buttons;

private:
    void UpdatePreview();

    QString path_;
    std::optional<measurement::ReadOptions> options_;
};

// The columns the user stated for files with this file's first line.
std::optional<QString> RememberedColumns(const QString& path);
void RememberColumns(const QString& path, const QString& columns);

// Whether a file is read as delimited text (not Touchstone).
bool IsDelimitedText(const QString& path);

}  // namespace quillet::sweepui
