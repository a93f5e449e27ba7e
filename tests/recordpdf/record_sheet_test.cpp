#include "recordpdf/record_sheet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/sha256.h"
#include "records/results.h"
#include "records/verification_register.h"
#include "tests/pdf/pdf_text.h"

namespace quillet::recordpdf {
namespace {

using pdf::TextOf;
using pdf::WithoutSpace;

std::string Sample() {
    std::ifstream in(QUILLET_SAMPLE, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class RecordSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("quillet-recordpdf-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path folder_;
};

TEST_F(RecordSheetTest, PrintsWhatALabFilesAndTheHistoryOfTheNetwork) {
    records::VerificationRegister reg((folder_ / "register.sqlite").string(), records::OpenFor::Writing);
    reg.AddNetwork({"Acme", "L-50", "SN-4711", 1, "L1,N", 365, ""});
    records::NewVerification v;
    v.serial = "SN-4711";
    v.date = "2026-11-30";
    v.operatorName = "J. Müller";
    v.instrument = "VNA 0342";
    v.instrumentCalibrationDue = "2027-05-01";
    v.uncertainty = records::Uncertainty{2.5, 0.8, 2};
    v.fileName = "an-type1-sweep.s1p";
    v.fileBytes = Sample();
    v.results = records::EvaluateMeasurement(v.fileBytes, v.fileName, 1, v.uncertainty);
    v.decisionRule = v.results.decisionVerdict.rule;
    const std::int64_t first = reg.Record(v);
    v.supersedes = first;
    const std::int64_t second = reg.Record(v);
    reg.Withdraw({first, "wrong fixture noted", "J. Müller"});

    const records::Network network = *reg.NetworkBySerial("SN-4711");
    const std::string record = WithoutSpace(TextOf(pdf::PdfOf(RecordSheet(network, reg.Get(second)))));
    for (const std::string& expected : std::vector<std::string>{
             "SN-4711", "Verdict" + v.results.decisionVerdict.outcome, "Decisionrule" + WithoutSpace(v.decisionRule),
             files::Sha256Hex(v.fileBytes), "U=2.5%inmagnitude,0.8°inphase(k=2)",
             "Corrects" + std::string("Verification") + std::to_string(first),
             "Nextverificationduenow:thenetworkdidnotpassthisverification", "0.15to30MHz", "Approvedby",
             "Worstmargin-8.75%pointsinmagnitudeat30MHz(-43.75%ofthattolerance"})
        EXPECT_NE(record.find(expected), std::string::npos) << expected << "\n" << record;

    const std::string history = TextOf(pdf::PdfOf(HistorySheet(network, reg.Verifications("SN-4711"))));
    EXPECT_NE(history.find("withdrawn"), std::string::npos) << history;
    EXPECT_NE(history.find("2026-11-30"), std::string::npos) << history;
}

}  // namespace
}  // namespace quillet::recordpdf
