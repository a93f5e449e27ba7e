#include "pdf/pdf_document.h"

#include <stdexcept>

namespace quillet::pdf {

// libharu reports through a callback; the first error is kept, since the
// later ones follow from it, and thrown at the next check.
struct PdfDocument::Errors {
    HPDF_STATUS first = HPDF_OK;
    HPDF_STATUS detail = 0;

    static void Handler(HPDF_STATUS error, HPDF_STATUS detail, void* self) {
        auto* errors = static_cast<Errors*>(self);
        if (errors->first == HPDF_OK) {
            errors->first = error;
            errors->detail = detail;
        }
    }
};

namespace {

std::string Hex(unsigned long value) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return "0x" + text;
}

}  // namespace

PdfDocument::PdfDocument(const FontFiles& fonts) : errors_(std::make_unique<Errors>()) {
    doc_ = HPDF_New(&Errors::Handler, errors_.get());
    if (doc_ == nullptr)
        throw std::runtime_error("Could not start a PDF document (out of memory)");
    // A constructor that throws runs no destructor: the document is let go
    // here then.
    try {
        SetUp(fonts);
    } catch (...) {
        HPDF_Free(doc_);
        throw;
    }
}

void PdfDocument::SetUp(const FontFiles& fonts) {
    HPDF_SetCompressionMode(doc_, HPDF_COMP_ALL);
    HPDF_UseUTFEncodings(doc_);
    HPDF_SetCurrentEncoder(doc_, "UTF-8");
    Check("setting up the document");
    const auto load = [this](const std::string& file) {
        const char* name = HPDF_LoadTTFontFromFile(doc_, file.c_str(), HPDF_TRUE);
        if (name == nullptr || errors_->first != HPDF_OK)
            throw std::runtime_error("Cannot use the font file " + file +
                                     " for the PDF (missing or not TrueType; on Debian it comes with "
                                     "fonts-dejavu-core)");
        return HPDF_GetFont(doc_, name, "UTF-8");
    };
    regular_ = load(fonts.regular);
    bold_ = load(fonts.bold);
    Check("loading the fonts");
}

PdfDocument::~PdfDocument() { HPDF_Free(doc_); }

void PdfDocument::Describe(std::string_view title, std::string_view subject) {
    HPDF_SetInfoAttr(doc_, HPDF_INFO_TITLE, std::string(title).c_str());
    HPDF_SetInfoAttr(doc_, HPDF_INFO_SUBJECT, std::string(subject).c_str());
    HPDF_SetInfoAttr(doc_, HPDF_INFO_CREATOR, "Quillet");
    Check("describing the document");
}

HPDF_Page PdfDocument::AddPage() {
    HPDF_Page page = HPDF_AddPage(doc_);
    HPDF_Page_SetWidth(page, static_cast<HPDF_REAL>(kPageWidth));
    HPDF_Page_SetHeight(page, static_cast<HPDF_REAL>(kPageHeight));
    Check("adding a page");
    return page;
}

HPDF_ExtGState PdfDocument::Opacity(std::uint8_t alpha) {
    HPDF_ExtGState& state = opacity_[alpha];
    if (state == nullptr) {
        state = HPDF_CreateExtGState(doc_);
        HPDF_ExtGState_SetAlphaFill(state, static_cast<HPDF_REAL>(alpha / 255.0));
        HPDF_ExtGState_SetAlphaStroke(state, static_cast<HPDF_REAL>(alpha / 255.0));
        Check("making a transparency");
    }
    return state;
}

std::string PdfDocument::Bytes() {
    Check("drawing the pages");
    HPDF_SaveToStream(doc_);
    Check("writing the document");
    std::string bytes(HPDF_GetStreamSize(doc_), '\0');
    HPDF_UINT32 size = static_cast<HPDF_UINT32>(bytes.size());
    const HPDF_STATUS status = HPDF_ReadFromStream(doc_, reinterpret_cast<HPDF_BYTE*>(bytes.data()), &size);
    // Reading to the very end is reported as the stream's end, not as a fault.
    if (status == HPDF_STREAM_EOF) {
        errors_->first = HPDF_OK;
        HPDF_ResetError(doc_);
    }
    Check("reading the document back");
    if (size != bytes.size())
        throw std::runtime_error("Could not make the PDF (its stream ended early)");
    return bytes;
}

void PdfDocument::Check(std::string_view what) const {
    if (errors_->first != HPDF_OK)
        throw std::runtime_error("Could not make the PDF (libharu error " + Hex(errors_->first) + ", detail " +
                                 std::to_string(errors_->detail) + ", while " + std::string(what) + ")");
}

}  // namespace quillet::pdf
