#include "registerui/pdf_files.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>

#include <string>

#include "recordpdf/pdf_files.h"
#include "sweepui/settings.h"

namespace quillet::registerui {
namespace {

std::vector<std::string> LocalPaths(const std::vector<QString>& paths) {
    std::vector<std::string> local;
    local.reserve(paths.size());
    for (const QString& path : paths)
        local.push_back(QFile::encodeName(path).toStdString());
    return local;
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
    recordpdf::WriteRecordPdf(QFile::encodeName(file).toStdString(), LocalPaths(keep), network, verification);
    sweepui::SetLastFolder(file);
}

void WriteHistoryPdf(const QString& file, const std::vector<QString>& keep, const records::Network& network,
                     const std::vector<records::Verification>& verifications) {
    recordpdf::WriteHistoryPdf(QFile::encodeName(file).toStdString(), LocalPaths(keep), network, verifications);
    sweepui::SetLastFolder(file);
}

}  // namespace quillet::registerui
