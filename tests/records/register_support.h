// A register in a folder of its own under the temporary folder, and what a
// test records in it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "records/results.h"
#include "records/verification_register.h"

namespace quillet::records {

class RegisterTest : public ::testing::Test {
public:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path() /
                  (std::string("quillet-records-") + test->name() + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
        std::filesystem::remove_all(folder_);
    }

    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

    static std::string Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    static NewNetwork Network(const std::string& serial) {
        return {"Maker", "LISN-1", serial, 1, "L1,N", 365, "bench 2"};
    }

    // A verification of the sample sweep, its results worked out.
    static NewVerification Verification(const std::string& serial) {
        NewVerification v;
        v.serial = serial;
        v.date = "2026-03-01";
        v.operatorName = "A. Operator";
        v.instrument = "VNA 17";
        v.instrumentCalibrationDue = "2027-01-31";
        v.line = "L1";
        v.terminals = "N terminated in 50 ohm";
        v.fixture = "adapter 4";
        v.uncertainty = Uncertainty{2.5, 1.5, 2};
        v.fileName = "an-type1-sweep.s1p";
        v.fileBytes = Bytes(QUILLET_SAMPLES "/an-type1-sweep.s1p");
        v.results = EvaluateMeasurement(v.fileBytes, v.fileName, 1, v.uncertainty);
        v.decisionRule = v.results.decisionVerdict.rule;
        return v;
    }

    std::filesystem::path folder_;
};

}  // namespace quillet::records
