#include "recordpdf/pdf_files.h"

#include <stdexcept>

#include "files/atomic_file.h"
#include "files/file_identity.h"
#include "pdf/sheet.h"
#include "recordpdf/record_sheet.h"

namespace quillet::recordpdf {
namespace {

void WritePdf(const std::string& file, const std::vector<std::string>& keep, const pdf::Sheet& sheet) {
    for (const std::string& kept : keep) {
        if (files::SameFile(kept, file))
            throw std::runtime_error(file +
                                     " is the register or the measurement itself; the PDF needs a file of its own");
    }
    files::WriteFileAtomically(file, pdf::PdfOf(sheet));
}

}  // namespace

void WriteRecordPdf(const std::string& file, const std::vector<std::string>& keep, const records::Network& network,
                    const records::Verification& verification) {
    WritePdf(file, keep, RecordSheet(network, verification));
}

void WriteHistoryPdf(const std::string& file, const std::vector<std::string>& keep, const records::Network& network,
                     const std::vector<records::Verification>& verifications) {
    WritePdf(file, keep, HistorySheet(network, verifications));
}

}  // namespace quillet::recordpdf
