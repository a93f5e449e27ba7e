#include "registerui/pdf_files.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>

#include <stdexcept>

#include "files/atomic_file.h"
#include "files/file_identity.h"
#include "pdf/sheet.h"
#include "recordpdf/record_sheet.h"
#include "sweepui/settings.h"

namespace quillet::registerui {
namespace {

void WritePdf(const QString& file, const std::vector<QString>& keep, const pdf::Sheet& sheet) {
    for (const QString& kept : keep) {
        if (files::SameFile(QFile::encodeName(kept).toStdString(), QFile::encodeName(file).toStdString()))
            throw std::runtime_error(QDir::toNativeSeparators(file).toStdString() +
                                     " is the register or the measurement itself; the PDF needs a file of its own");
    }
    files::WriteFileAtomically(QFile::encodeName(file).toStdString(), pdf::PdfOf(sheet));
    sweepui::SetLastFolder(file);
}

}  // namespace

QString AskPdfFile(QWidget* parent, const QString& title, const QString& suggestedName) {
    const QString folder = sweepui::LastFolder().isEmpty() ? QDir::homePath() : sweepui::LastFolder();
    QFileDialog dialog(parent, title, QDir(folder).filePath(suggestedName), QStringLiteral("PDF (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The ending is added before the dialog asks about replacing a file,
    // so it asks by the name that will be written.
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void WriteRecordPdf(const QString& file, const std::vector<QString>& keep, const records::Network& network,
                    const records::Verification& verification) {
    WritePdf(file, keep, recordpdf::RecordSheet(network, verification));
}

void WriteHistoryPdf(const QString& file, const std::vector<QString>& keep, const records::Network& network,
                     const std::vector<records::Verification>& verifications) {
    WritePdf(file, keep, recordpdf::HistorySheet(network, verifications));
}

}  // namespace quillet::registerui
