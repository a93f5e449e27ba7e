// The Win32 record dialog driven by its keys alone, as a user drives it,
// on a real register in a temporary folder and the sample measurement;
// then the record saved as PDF. Needs a display: under Wine, Xvfb with a
// window manager.

#include "registerwin/record_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "files/sha256.h"
#include "records/records.h"
#include "tests/win32/message_box_watcher.h"
#include "win32/wide_text.h"

namespace quillet::registerwin {
namespace {

std::string Contents(const std::string& file) {
    std::ifstream in(std::filesystem::path(win32::Wide(file)), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void Write(const std::string& file, const std::string& contents) {
    std::ofstream(std::filesystem::path(win32::Wide(file)), std::ios::binary) << contents;
}

std::string TextOf(HWND control) {
    wchar_t text[4096] = {};
    ::GetWindowTextW(control, text, 4096);
    return win32::Narrow(text);
}

// Keys as real input, queued in order: a key, with Alt or not, then any
// text typed after it.
struct Key {
    Key(WORD key, std::string text = {}, bool alt = false) : key(key), text(std::move(text)), alt(alt) {}
    WORD key;
    std::string text;
    bool alt;
};

Key Alt(char letter, std::string text = {}) { return {static_cast<WORD>(letter), std::move(text), true}; }

void SendKeys(const std::vector<Key>& keys) {
    std::vector<INPUT> inputs;
    const auto add = [&inputs](WORD vk, wchar_t unicode, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.wScan = unicode;
        input.ki.dwFlags = (unicode != 0 ? KEYEVENTF_UNICODE : 0) | (up ? KEYEVENTF_KEYUP : 0);
        inputs.push_back(input);
    };
    for (const Key& key : keys) {
        if (key.alt)
            add(VK_MENU, 0, false);
        add(key.key, 0, false);
        add(key.key, 0, true);
        if (key.alt)
            add(VK_MENU, 0, true);
        for (wchar_t c : win32::Wide(key.text)) {
            add(0, c, false);
            add(0, c, true);
        }
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The network (by default the first), each field by its label's access
// key, then Record.
std::vector<Key> ValidEntry(std::vector<Key> network = {Alt('W'), {VK_DOWN}}) {
    for (const Key& key : {Alt('O', "A. Tester"), Alt('I', "VNA 7"), Alt('C', "2099-06-30"), Alt('L', "L1"), Alt('R')})
        network.push_back(key);
    return network;
}

class RecordDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, temp);
        folder_ = win32::Narrow(temp) + "quillet-record-dialog-test-" + std::to_string(::GetCurrentProcessId());
        std::filesystem::remove_all(win32::Wide(folder_));
        std::filesystem::create_directories(win32::Wide(folder_));
        measurement_ = folder_ + "\\mesure \xC3\xA9t\xC3\xA9.s1p";
        Write(measurement_, Contents(QUILLET_SAMPLE));
        register_ =
            std::make_unique<records::VerificationRegister>(folder_ + "\\register.sqlite", records::OpenFor::Writing);
        for (const auto& [serial, type] : {std::pair{"AN-001", 1}, std::pair{"AN-002", 2}}) {
            records::NewNetwork network;
            network.maker = "Makerfield";
            network.model = "LISN 50";
            network.serial = serial;
            network.anType = static_cast<std::int16_t>(type);
            network.lines = "L1,N";
            register_->AddNetwork(network);
        }
    }

    void TearDown() override {
        register_.reset();
        std::filesystem::remove_all(win32::Wide(folder_));
    }

    // Runs the dialog; its keys are sent once it shows, and again (second)
    // once it shows a problem, whose text is kept.
    std::optional<std::int64_t> Drive(const std::optional<std::string>& sha256, const std::vector<Key>& first,
                                      const std::vector<Key>& second, const AddNetworkFunction& addNetwork = {}) {
        win32::testing::MessageBoxWatcher watcher;
        int stage = 0;
        watcher.onTick = [&] {
            HWND dialog = ::FindWindowW(kRecordDialogClass, nullptr);
            if (dialog == nullptr || ::IsWindowVisible(dialog) == 0)
                return;
            if (stage == 0) {
                ++stage;
                SendKeys(first);
            } else if (stage == 1 && !TextOf(::GetDlgItem(dialog, kProblemsControl)).empty()) {
                ++stage;
                problems_ = TextOf(::GetDlgItem(dialog, kProblemsControl));
                addButton_ = ::GetDlgItem(dialog, kAddNetworkControl) != nullptr;
                typeNote_ = TextOf(::GetDlgItem(dialog, kTypeNoteControl));
                SendKeys(second);
            }
        };
        const auto id = AskVerification(nullptr, *register_, measurement_, sha256, 1, addNetwork);
        unexpectedBox_ = watcher.seen.shown;
        return id;
    }

    std::string folder_, measurement_, problems_, typeNote_;
    std::unique_ptr<records::VerificationRegister> register_;
    bool unexpectedBox_ = false;
    bool addButton_ = false;
};

// Whatever is wrong is shown in the dialog, which stays open, and nothing
// is written: fields left empty, a file changed since it was evaluated.
TEST_F(RecordDialogTest, RefusesWhatIsWrongAndWritesNothing) {
    const std::string sha256 = files::Sha256Hex(Contents(measurement_));
    struct Case {
        const char* name;
        std::vector<Key> keys;
        bool fileChanged;
        std::vector<std::string> problems;
        std::string typeNote;
    };
    // The second network, then the date cleared (Tab selects a field's
    // text), then Enter.
    const std::vector<Key> emptyFields = {{VK_DOWN}, {VK_DOWN}, {VK_TAB}, {VK_DELETE}, {VK_RETURN}};
    const Case cases[] = {
        {"empty fields",
         emptyFields,
         false,
         {"The date must be a real day written YYYY-MM-DD.", "The operator is missing.", "The instrument is missing.",
          "The instrument's calibration due date must be a real day written YYYY-MM-DD.",
          "The line measured is missing."},
         "The sweep on show is evaluated for AN type 1; the record will be evaluated for this network's type, 2."},
        {"changed file",
         ValidEntry(),
         true,
         {"mesure \xC3\xA9t\xC3\xA9.s1p has changed on disk since the sweep on show was evaluated. Reload it (F5), "
          "check the sweep, then record it. Nothing was recorded."},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.fileChanged)
            Write(measurement_, Contents(measurement_) + "! changed\n");
        problems_.clear();
        EXPECT_EQ(Drive(sha256, c.keys, {{VK_ESCAPE}}), std::nullopt);
        std::string expected;
        for (const std::string& line : c.problems)
            expected += (expected.empty() ? "" : "\r\n") + line;
        EXPECT_EQ(problems_, expected);
        EXPECT_EQ(typeNote_, c.typeNote);
        EXPECT_TRUE(register_->Verifications().empty());
        EXPECT_FALSE(unexpectedBox_);
        EXPECT_FALSE(addButton_);  // none without a way to add one
    }
}

// Against a network added from the dialog, which the choice then shows.
TEST_F(RecordDialogTest, RecordsTheEvaluatedBytesOnce) {
    const std::string bytes = Contents(measurement_);
    const AddNetworkFunction addNetwork = [](HWND, records::VerificationRegister& in) -> std::optional<std::string> {
        records::NewNetwork network;
        network.maker = "Makerfield";
        network.model = "LISN 16";
        network.serial = "AN-003";
        network.lines = "L1";
        in.AddNetwork(network);
        return network.serial;
    };
    const auto id = Drive(files::Sha256Hex(bytes), ValidEntry({Alt('N')}), {{VK_ESCAPE}}, addNetwork);
    ASSERT_TRUE(id.has_value()) << problems_;
    const auto recorded = register_->Verifications();
    ASSERT_EQ(recorded.size(), 1u);
    const records::Verification v = register_->Get(*id);
    EXPECT_EQ(v.serial, "AN-003");
    EXPECT_EQ(v.operatorName, "A. Tester");
    EXPECT_EQ(v.instrument, "VNA 7");
    EXPECT_EQ(v.instrumentCalibrationDue, "2099-06-30");
    EXPECT_EQ(v.line, "L1");
    EXPECT_EQ(v.fileName, "mesure \xC3\xA9t\xC3\xA9.s1p");
    EXPECT_EQ(v.fileBytes, bytes);
    EXPECT_EQ(v.fileSha256, files::Sha256Hex(bytes));
    EXPECT_FALSE(v.results.decisionVerdict.outcome.empty());
}

// The PDF goes where the save dialog is told; never over the register or
// the measurement, which stay as they were.
TEST_F(RecordDialogTest, SavesTheRecordAsPdfButNeverOverTheRegister) {
    const std::string bytes = Contents(measurement_);
    const std::string pdf = folder_ + "\\record \xC3\xA9.pdf";
    win32::testing::MessageBoxWatcher watcher;
    bool typed = false;
    std::string saveTitle;
    watcher.onTick = [&] {
        HWND dialog = ::FindWindowW(kRecordDialogClass, nullptr);
        if (dialog != nullptr && ::IsWindowVisible(dialog) != 0 && !typed) {
            typed = true;
            SendKeys(ValidEntry());
        }
        // The save dialog: its file name given, then OK by the watcher.
        HWND save = ::FindWindowW(L"#32770", nullptr);
        if (save != nullptr && ::IsWindowVisible(save) != 0 && TextOf(save).starts_with("Verification ")) {
            saveTitle = TextOf(save);
            for (int id : {0x47c, 0x480})  // the file name's box, in either layout
                ::SetDlgItemTextW(save, id, win32::Wide(pdf).c_str());
        }
    };
    const auto id = RecordVerification(nullptr, *register_, measurement_, files::Sha256Hex(bytes), 1);
    ASSERT_TRUE(id.has_value());
    EXPECT_EQ(saveTitle, "Verification " + std::to_string(*id) + " recorded: save its record as PDF");
    EXPECT_TRUE(Contents(pdf).starts_with("%PDF-")) << watcher.seen.text;

    const std::string registerBytes = Contents(register_->path());
    for (const std::string& kept : {register_->path(), measurement_}) {
        SCOPED_TRACE(kept);
        try {
            SaveRecordPdf(*register_, measurement_, *id, kept);
            ADD_FAILURE() << "written over a file to keep";
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find("is the register or the measurement itself"), std::string::npos)
                << error.what();
        }
    }
    EXPECT_EQ(Contents(register_->path()), registerBytes);
    EXPECT_EQ(Contents(measurement_), bytes);
}

}  // namespace
}  // namespace quillet::registerwin
