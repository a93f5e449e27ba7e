#include "sweepui/column_dialog.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "engine/complex_math.h"
#include "measurement/csv_columns.h"
#include "measurement/csv_fields.h"
#include "sweep/evaluation.h"

namespace quillet::sweepui {
namespace {

constexpr int kShownLines = 12;
constexpr std::size_t kPreviewPoints = 3;

// What a column can hold, as a user reads it and as --columns writes it.
struct Quantity {
    const char* shown;
    const char* item;
};
constexpr Quantity kQuantities[] = {
    {"(ignore)", "-"},
    {"Frequency, Hz", "f:Hz"},
    {"Frequency, kHz", "f:kHz"},
    {"Frequency, MHz", "f:MHz"},
    {"Frequency, GHz", "f:GHz"},
    {"|Z|, ohm", "mag:ohm"},
    {"Phase of Z, deg", "phase:deg"},
    {"Phase of Z, rad", "phase:rad"},
    {"Re Z, ohm", "re:ohm"},
    {"Im Z, ohm", "im:ohm"},
    {"|S11|, dB", "s-mag:dB"},
    {"|S11|, linear", "s-mag:lin"},
    {"Phase of S11, deg", "s-phase:deg"},
    {"Phase of S11, rad", "s-phase:rad"},
    {"Re S11", "s-re"},
    {"Im S11", "s-im"},
};

QStringList FirstLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    while (lines.size() < kShownLines && !file.atEnd())
        lines << QString::fromUtf8(file.readLine()).trimmed();
    return lines;
}

// The fields of the last of the first lines, split as the reader splits
// them: data, where a header would not say how many columns there are.
int FieldCount(const QStringList& lines) {
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (line->isEmpty() || line->startsWith('#') || line->startsWith('!'))
            continue;
        const std::string text = line->toStdString();
        try {
            const auto fields = measurement::SplitFields(text, measurement::SeparatorOf(text)).size();
            if (fields > 1)
                return static_cast<int>(std::min<std::size_t>(fields, 12));
        } catch (const std::invalid_argument&) {
            // A quote not closed on the line: the line before may do.
        }
    }
    return 3;
}

QString SettingsKey(const QString& path) {
    const QStringList lines = FirstLines(path);
    const QByteArray first = lines.isEmpty() ? QByteArray() : lines.first().toUtf8();
    return QStringLiteral("columns/") +
           QString::fromLatin1(QCryptographicHash::hash(first, QCryptographicHash::Sha256).toHex().left(32));
}

struct EnoughPoints {};

// The first few points of the file read with the columns stated.
class PreviewSink : public measurement::PointSink {
public:
    void Point(const measurement::MeasuredPoint& point) override {
        points.push_back(point);
        if (points.size() == kPreviewPoints)
            throw EnoughPoints{};
    }
    void Note(const std::string&) override {}
    std::vector<measurement::MeasuredPoint> points;
};

}  // namespace

ColumnDialog::ColumnDialog(const QString& path, const QString& why, QWidget* parent) : QDialog(parent), path_(path) {
    setWindowTitle(QStringLiteral("Columns of %1").arg(QFileInfo(path).fileName()));
    // The reader's advice for the command line becomes the dialog's own.
    QString advice = why;
    advice.replace(QRegularExpression(QStringLiteral(",? or state the columns with --columns.*$")),
                   QStringLiteral(", or say below what each column holds."));
    auto* message = new QLabel(advice, this);
    message->setWordWrap(true);
    message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* lines = new QPlainTextEdit(FirstLines(path).join('\n'), this);
    lines->setReadOnly(true);
    lines->setLineWrapMode(QPlainTextEdit::NoWrap);
    lines->setAccessibleName(QStringLiteral("The file's first lines"));
    lines->setMaximumHeight(lines->fontMetrics().height() * (kShownLines + 2));

    auto* columns = new QHBoxLayout;
    const int fields = FieldCount(FirstLines(path));
    for (int i = 0; i < fields; ++i) {
        auto* box = new QComboBox(this);
        for (const Quantity& quantity : kQuantities)
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
    QStringList items;
    for (const QComboBox* box : Columns)
        items << box->currentData().toString();
    const bool reflection = items.join(',').contains(QStringLiteral("s-"));
    if (reflection && Reference->text().trimmed() != QStringLiteral("50"))
        items << QStringLiteral("z0=%1").arg(Reference->text().trimmed());
    return items.join(',');
}

// The file read with the columns as they stand: its first points, or why
// it cannot be read so; only a reading that works can be accepted.
void ColumnDialog::UpdatePreview() {
    options_.reset();
    QString shown;
    try {
        measurement::ReadOptions options;
        options.columns = measurement::ParseColumnList(ColumnList().toStdString());
        PreviewSink sink;
        try {
            measurement::ReadMeasurementFile(QFile::encodeName(path_).toStdString(), options, sink);
        } catch (const EnoughPoints&) {
        }
        if (sink.points.empty())
            throw std::runtime_error("no point in the file");
        QStringList points;
        for (const measurement::MeasuredPoint& p : sink.points) {
            points << QStringLiteral("%1 MHz: %2 ohm at %3 deg")
                          .arg(QString::fromStdString(sweep::SignificantText(p.frequencyMHz)),
                               QString::fromStdString(sweep::SignificantText(std::abs(p.impedance))),
                               QString::fromStdString(
                                   sweep::SignificantText(measurement::Degrees(std::arg(p.impedance)))));
        }
        shown = QStringLiteral("Read as: %1 …").arg(points.join(QStringLiteral("; ")));
        options_ = options;
    } catch (const std::exception& error) {
        shown = QStringLiteral("Not yet: %1").arg(QString::fromStdString(error.what()));
    }
    Preview->setText(shown);
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(options_.has_value());
}

std::optional<QString> RememberedColumns(const QString& path) {
    const QString columns = QSettings().value(SettingsKey(path)).toString();
    return columns.isEmpty() ? std::nullopt : std::optional(columns);
}

void RememberColumns(const QString& path, const QString& columns) { QSettings().setValue(SettingsKey(path), columns); }

bool IsDelimitedText(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix != QStringLiteral("s1p") && suffix != QStringLiteral("ts");
}

}  // namespace quillet::sweepui
