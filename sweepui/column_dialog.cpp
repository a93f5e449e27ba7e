#include "sweepui/column_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <utility>

#include "sweepcore/column_choice.h"

namespace quillet::sweepui {
namespace {

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QStringList FirstLines(const QString& path) {
    QStringList lines;
    for (const std::string& line : sweepcore::FirstLines(LocalPath(path)))
        lines << QString::fromStdString(line);
    return lines;
}

QString SettingsKey(const QString& path) {
    return QString::fromStdString(sweepcore::RememberedColumnsKey(LocalPath(path)));
}

}  // namespace

ColumnDialog::ColumnDialog(const QString& path, const QString& why, QWidget* parent) : QDialog(parent), path_(path) {
    setWindowTitle(QStringLiteral("Columns of %1").arg(QFileInfo(path).fileName()));
    // The reader's advice for the command line becomes the dialog's own.
    auto* message = new QLabel(QString::fromStdString(sweepcore::ColumnDialogAdvice(why.toStdString())), this);
    message->setWordWrap(true);
    message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* lines = new QPlainTextEdit(FirstLines(path).join('\n'), this);
    lines->setReadOnly(true);
    lines->setLineWrapMode(QPlainTextEdit::NoWrap);
    lines->setAccessibleName(QStringLiteral("The file's first lines"));
    lines->setMaximumHeight(lines->fontMetrics().height() * (static_cast<int>(sweepcore::kShownLines) + 2));

    auto* columns = new QHBoxLayout;
    const std::size_t fields = sweepcore::FieldCount(sweepcore::FirstLines(LocalPath(path)));
    for (std::size_t i = 0; i < fields; ++i) {
        auto* box = new QComboBox(this);
        for (const sweepcore::ColumnQuantity& quantity : sweepcore::ColumnQuantities())
            box->addItem(QString::fromUtf8(quantity.shown), QString::fromLatin1(quantity.item));
        box->setAccessibleName(QStringLiteral("Column %1").arg(i + 1));
        connect(box, &QComboBox::currentIndexChanged, this, &ColumnDialog::UpdatePreview);
        columns->addWidget(box);
        Columns.push_back(box);
    }
    Reference = new QLineEdit(QStringLiteral("50"), this);
    Reference->setAccessibleName(QStringLiteral("Reference of S11 (ohm)"));
    connect(Reference, &QLineEdit::textChanged, this, &ColumnDialog::UpdatePreview);
    Preview = new QLabel(this);
    Preview->setWordWrap(true);
    Preview->setAccessibleName(QStringLiteral("Preview"));
    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Read the file"));
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Each column holds:"), columns);
    form->addRow(QStringLiteral("S11 is measured against (ohm):"), Reference);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message);
    layout->addWidget(lines);
    layout->addLayout(form);
    layout->addWidget(Preview);
    layout->addWidget(Buttons);
    UpdatePreview();
}

QString ColumnDialog::ColumnList() const {
    std::vector<std::size_t> chosen;
    for (const QComboBox* box : Columns)
        chosen.push_back(static_cast<std::size_t>(std::max(box->currentIndex(), 0)));
    return QString::fromStdString(sweepcore::ColumnList(chosen, Reference->text().toStdString()));
}

// The file read with the columns as they stand: its first points, or why
// it cannot be read so; only a reading that works can be accepted.
void ColumnDialog::UpdatePreview() {
    sweepcore::ColumnPreview preview = sweepcore::PreviewColumns(LocalPath(path_), ColumnList().toStdString());
    options_ = std::move(preview.options);
    Preview->setText(QString::fromStdString(preview.text));
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(options_.has_value());
}

std::optional<QString> RememberedColumns(const QString& path) {
    const QString columns = QSettings().value(SettingsKey(path)).toString();
    return columns.isEmpty() ? std::nullopt : std::optional(columns);
}

void RememberColumns(const QString& path, const QString& columns) { QSettings().setValue(SettingsKey(path), columns); }

bool IsDelimitedText(const QString& path) { return sweepcore::IsDelimitedText(LocalPath(path)); }

}  // namespace quillet::sweepui
