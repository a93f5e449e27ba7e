// Printed records as PDF files the user names, written whole or not at all.
#pragma once

#include <QString>

#include <vector>

#include "records/records.h"

class QWidget;

namespace quillet::registerui {

// Asks where to save, offering suggestedName in the last folder used; the
// name ends in .pdf. Empty when the user cancels.
QString AskPdfFile(QWidget* parent, const QString& title, const QString& suggestedName);

// verification must hold the file's bytes. Never written over any of the
// files in `keep` (the register, the measurement on show), whatever name
// reaches them. Throws std::runtime_error (a file that cannot be written,
// or one to keep) or measurement::ReadError.
void WriteRecordPdf(const QString& file, const std::vector<QString>& keep, const records::Network& network,
                    const records::Verification& verification);
void WriteHistoryPdf(const QString& file, const std::vector<QString>& keep, const records::Network& network,
                     const std::vector<records::Verification>& verifications);

}  // namespace quillet::registerui
