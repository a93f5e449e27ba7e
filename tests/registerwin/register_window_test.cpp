// The Win32 register window and its dialogs driven as a user drives them,
// on a real register file in a temporary folder made through the register
// itself. Needs a display: under Wine, Xvfb with a window manager.

#include "registerwin/register_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "records/dates.h"
#include "records/register_rows.h"
#include "records/results.h"
#include "registerwin/form_dialog.h"
#include "registerwin/network_dialog.h"
#include "registerwin/record_list.h"
#include "registerwin/register_menu.h"
#include "registerwin/withdraw_dialog.h"
#include "tests/win32/message_box_watcher.h"
#include "win32/wide_text.h"

namespace quillet::registerwin {
namespace {

class RecordingHost : public RegisterWindowHost {
public:
    void OpenMeasurementRequested(HWND, const std::string& path) override { opened.push_back(path); }
    void Closed(RegisterWindow&) override { ++closed; }
    std::vector<std::string> opened;
    int closed = 0;
};

std::string Contents(const std::string& file) {
    std::ifstream in(std::filesystem::path(win32::Wide(file)), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string Text(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return win32::Narrow(text);
}

// What the list view itself shows in a cell.
std::string Cell(HWND list, int row, int column) {
    wchar_t text[512] = {};
    ListView_GetItemText(list, row, column, text, 512);
    return win32::Narrow(text);
}

int RowOf(HWND list, int column, const std::string& text) {
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        if (Cell(list, row, column) == text)
            return row;
    }
    return -1;
}

void Select(HWND list, int row) {
    ::SetFocus(list);
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// A heading clicked, as the list tells its parent.
void ClickHeading(HWND list, int column) {
    NMLISTVIEW click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    ::SendMessageW(::GetParent(list), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

bool Enabled(HWND window, HWND button, WORD command) {
    const bool menu = (::GetMenuState(::GetMenu(window), command, MF_BYCOMMAND) & MF_GRAYED) == 0;
    EXPECT_EQ(menu, ::IsWindowEnabled(button) != 0) << command;
    return menu;
}

class RegisterWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Settings of its own, never the user's.
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &settings_, nullptr);
        ::RegOverridePredefKey(HKEY_CURRENT_USER, settings_);
        watcher_ = std::make_unique<win32::testing::MessageBoxWatcher>();
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, temp);
        folder_ = win32::Narrow(temp) + "quillet-regwin-" + std::to_string(::GetCurrentProcessId());
        std::filesystem::create_directories(win32::Wide(folder_));
        file_ = folder_ + "\\register \xC3\xA9t\xC3\xA9.sqlite";
        sample_ = Contents(QUILLET_SAMPLE);
        records::VerificationRegister reg(file_, records::OpenFor::Writing);
        const std::string today = records::TodayUtc();
        reg.AddNetwork({"Maker", "AN-1", "SN-OK", 1, "L1,N", 365, ""});
        reg.AddNetwork({"Maker", "AN-2", "SN-LATE", 1, "L1", 365, ""});
        reg.AddNetwork({"Other", "AN-3", "SN-NEVER", 1, "L1", 365, ""});
        recorded_.push_back(reg.Record(Verified("SN-OK", records::AddDays(today, -10), "pass")));
        recorded_.push_back(reg.Record(Verified("SN-LATE", records::AddDays(today, -800), "pass")));
        recorded_.push_back(reg.Record(Verified("SN-LATE", records::AddDays(today, -400), "pass")));
    }

    void TearDown() override {
        window_.reset();
        watcher_.reset();
        ::SetFileAttributesW(win32::Wide(file_).c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(win32::Wide(folder_));
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        ::RegCloseKey(settings_);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
    }

    static constexpr wchar_t kTestKey[] = L"Software\\QuilletRegisterWindowTest";

    // The sample sweep, evaluated, with the outcome the case needs.
    records::NewVerification Verified(const std::string& serial, const std::string& date,
                                      const std::string& outcome) const {
        records::NewVerification v;
        v.serial = serial;
        v.date = date;
        v.operatorName = "A. Operator";
        v.instrument = "VNA 1";
        v.instrumentCalibrationDue = "2030-01-01";
        v.line = "L1";
        v.fileName = "an-type1-sweep.s1p";
        v.fileBytes = sample_;
        v.results = records::EvaluateMeasurement(sample_, v.fileName, 1, std::nullopt);
        v.results.decisionVerdict.outcome = outcome;
        v.decisionRule = v.results.decisionVerdict.rule;
        return v;
    }

    RegisterWindow& Open() {
        window_ = std::make_unique<RegisterWindow>(::GetModuleHandleW(nullptr), host_, folder_ + "\\cache");
        const std::string message = window_->OpenRegister(file_, records::OpenFor::Reading);
        EXPECT_EQ(message, "");
        return *window_;
    }

    HWND Networks() const { return window_->Control("Networks"); }
    HWND History() const { return window_->Control("History"); }
    void SelectNetwork(const std::string& serial) {
        const int row = RowOf(Networks(), records::kSerialColumn, serial);
        ASSERT_GE(row, 0) << serial;
        Select(Networks(), row);
    }

    // Runs the command as the menu does, the form it opens filled by
    // `fill` on the watcher's ticks; the form is cancelled once fill says
    // it is done, if still open.
    void WithForm(WORD command, const std::function<bool(HWND form)>& fill) {
        bool done = false;
        watcher_->onTick = [&] {
            HWND form = ::FindWindowW(kFormDialogClass, nullptr);
            if (form == nullptr || !::IsWindowVisible(form))
                return;
            if (done || fill(form)) {
                done = true;
                ::PostMessageW(form, WM_COMMAND, IDCANCEL, 0);
            }
        };
        ::SendMessageW(window_->Handle(), WM_COMMAND, command, 0);
        watcher_->onTick = nullptr;
    }

    HKEY settings_ = nullptr;
    std::unique_ptr<win32::testing::MessageBoxWatcher> watcher_;
    RecordingHost host_;
    std::unique_ptr<RegisterWindow> window_;
    std::string folder_, file_, sample_;
    std::vector<std::int64_t> recorded_;
};

void Fill(HWND form, int field, const std::string& text) {
    ::SetWindowTextW(::GetDlgItem(form, kFirstFieldControl + field), win32::Wide(text).c_str());
}

void Accept(HWND form) { ::SendMessageW(form, WM_COMMAND, IDOK, 0); }

std::string Problems(HWND form) { return Text(::GetDlgItem(form, kProblemsControl)); }

// In the due list's order at first, the overdue shaded and saying so; a
// heading sorts by its text, a second click the other way.
TEST_F(RegisterWindowTest, ListsNetworksInDueOrderThenByHeading) {
    RegisterWindow& window = Open();
    const std::string today = records::TodayUtc();
    struct Expected {
        const char* serial;
        std::string verdict, nextDue;
        bool shaded;
    };
    const Expected expected[] = {
        {"SN-NEVER", "never verified", "overdue", true},
        {"SN-LATE", "pass", records::AddDays(today, -35) + "  overdue", true},
        {"SN-OK", "pass", records::AddDays(today, 355), false},
    };
    const std::vector<const ListRow*> shown = window.Networks().Shown();
    ASSERT_EQ(ListView_GetItemCount(Networks()), 3);
    for (int row = 0; row < 3; ++row) {
        const Expected& e = expected[row];
        EXPECT_EQ(Cell(Networks(), row, records::kSerialColumn), e.serial);
        EXPECT_EQ(Cell(Networks(), row, records::kLastVerdictColumn), e.verdict);
        EXPECT_EQ(Cell(Networks(), row, records::kNextDueColumn), e.nextDue);
        EXPECT_EQ(shown[static_cast<std::size_t>(row)]->shaded, e.shaded) << e.serial;
    }
    EXPECT_EQ(Text(window.Control("Status")), "3 network(s), 2 overdue; today is " + today + " (UTC)");
    EXPECT_EQ(Text(window.Handle()), "register \xC3\xA9t\xC3\xA9.sqlite \u2013 Verification register \u2013 Quillet");

    ClickHeading(Networks(), records::kSerialColumn);
    EXPECT_EQ(Cell(Networks(), 0, records::kSerialColumn), "SN-LATE");
    EXPECT_EQ(Cell(Networks(), 2, records::kSerialColumn), "SN-OK");
    ClickHeading(Networks(), records::kSerialColumn);
    EXPECT_EQ(Cell(Networks(), 0, records::kSerialColumn), "SN-OK");
    EXPECT_TRUE(window.Networks().Shown().front()->shaded == false);
}

// The selected network's verifications and its trend; the first network
// is selected at first.
TEST_F(RegisterWindowTest, SelectingANetworkShowsItsHistoryAndTrend) {
    RegisterWindow& window = Open();
    EXPECT_EQ(window.SelectedSerial(), std::optional<std::string>("SN-NEVER"));
    const std::pair<const char*, int> cases[] = {{"SN-LATE", 2}, {"SN-OK", 1}, {"SN-NEVER", 0}};
    for (const auto& [serial, verifications] : cases) {
        SelectNetwork(serial);
        EXPECT_EQ(window.SelectedSerial(), std::optional<std::string>(serial));
        EXPECT_EQ(ListView_GetItemCount(History()), verifications) << serial;
        EXPECT_TRUE(window.TrendShown()) << serial;
    }
    SelectNetwork("SN-LATE");
    EXPECT_EQ(Cell(History(), 1, records::kNumberColumn), std::to_string(recorded_[2]));
    EXPECT_EQ(Cell(History(), 1, records::kDateColumn), records::AddDays(records::TodayUtc(), -400));
    EXPECT_EQ(Cell(History(), 1, records::kOperatorColumn), "A. Operator");
}

// The form refuses what is missing or wrong, says why and keeps what was
// typed; the network added is then selected.
TEST_F(RegisterWindowTest, AddNetworkRefusesEmptyFieldsAndKeepsTheForm) {
    RegisterWindow& window = Open();
    struct Attempt {
        const char* serial;
        const char* interval;
        const char* fault;
    };
    const Attempt attempts[] = {
        {"", "365", "The serial number is missing."},
        {"   ", "365", "The serial number is missing."},
        {"SN-OK", "365", "Serial number SN-OK is in the register already."},
        {"SN-NEW", "", "The verification interval must be at least one day."},
        {"SN-NEW", "0", "The verification interval must be at least one day."},
        {"SN-NEW", "99999", "at most"},
    };
    std::size_t step = 0;
    std::vector<std::string> faults;
    std::string kept;
    WithForm(kAddNetworkCommand, [&](HWND form) {
        if (step < std::size(attempts)) {
            Fill(form, kMakerField, "Maker");
            Fill(form, kSerialField, attempts[step].serial);
            Fill(form, kIntervalField, attempts[step].interval);
            Accept(form);
            faults.push_back(Problems(form));
            kept = Text(::GetDlgItem(form, kFirstFieldControl + static_cast<int>(kMakerField)));
            ++step;
            return false;
        }
        Fill(form, kSerialField, "SN-NEW");
        Fill(form, kIntervalField, "180");
        ::SendMessageW(::GetDlgItem(form, kFirstFieldControl + static_cast<int>(kAnTypeField)), CB_SETCURSEL, 3, 0);
        Accept(form);
        return true;
    });
    ASSERT_EQ(faults.size(), std::size(attempts));
    for (std::size_t i = 0; i < faults.size(); ++i)
        EXPECT_NE(faults[i].find(attempts[i].fault), std::string::npos) << i << ": " << faults[i];
    EXPECT_EQ(kept, "Maker");
    EXPECT_EQ(ListView_GetItemCount(Networks()), 4);
    EXPECT_EQ(window.SelectedSerial(), std::optional<std::string>("SN-NEW"));
    const auto added = window.Register()->NetworkBySerial("SN-NEW");
    ASSERT_TRUE(added);
    EXPECT_EQ(added->anType, 4);
    EXPECT_EQ(added->intervalDays, 180);
}

// Withdrawing asks why and by whom, then greys the row, which stays with
// the withdrawal as its tip; the record stays in the register.
TEST_F(RegisterWindowTest, WithdrawGreysTheRowAndKeepsTheRecord) {
    RegisterWindow& window = Open();
    SelectNetwork("SN-LATE");
    Select(History(), RowOf(History(), records::kNumberColumn, std::to_string(recorded_[1])));
    std::string refusal;
    WithForm(kWithdrawCommand, [&](HWND form) {
        Accept(form);
        refusal = Problems(form);
        Fill(form, kReasonField, "wrong fixture");
        Fill(form, kByField, "B. Checker");
        Accept(form);
        return true;
    });
    EXPECT_NE(refusal.find("Say why"), std::string::npos) << refusal;
    EXPECT_NE(refusal.find("Say who"), std::string::npos) << refusal;
    ASSERT_EQ(ListView_GetItemCount(History()), 2);
    const int row = RowOf(History(), records::kNumberColumn, std::to_string(recorded_[1]));
    EXPECT_EQ(Cell(History(), row, records::kStatusColumn), "withdrawn");
    const ListRow& shown = *window.History().Shown()[static_cast<std::size_t>(row)];
    EXPECT_TRUE(shown.greyed);
    const std::string tip = window.History().TipOf(static_cast<std::size_t>(row));
    EXPECT_NE(tip.find("by B. Checker: wrong fixture"), std::string::npos) << tip;
    EXPECT_EQ(window.History().TipOf(static_cast<std::size_t>(1 - row)), "");
    EXPECT_FALSE(window.History().Shown()[static_cast<std::size_t>(1 - row)]->greyed);
    const records::Verification kept = window.Register()->Get(recorded_[1]);
    EXPECT_EQ(kept.withdrawalReason, std::optional<std::string>("wrong fixture"));
    EXPECT_EQ(kept.fileBytes, sample_);
    // Withdrawn for good: only the other may be withdrawn.
    Select(History(), row);
    EXPECT_FALSE(Enabled(window.Handle(), window.Control("Withdraw"), kWithdrawCommand));
    Select(History(), 1 - row);
    EXPECT_TRUE(Enabled(window.Handle(), window.Control("Withdraw"), kWithdrawCommand));
}

// Writing is off for a register that cannot be written, and before one is
// open; what reads follows the selection.
TEST_F(RegisterWindowTest, ReadOnlyRegisterGreysWriting) {
    ASSERT_NE(::SetFileAttributesW(win32::Wide(file_).c_str(), FILE_ATTRIBUTE_READONLY), 0);
    RegisterWindow& window = Open();
    ASSERT_TRUE(window.Register() && window.Register()->readOnly());
    EXPECT_NE(Text(window.Handle()).find(" (read-only) \u2013 Verification register"), std::string::npos);
    SelectNetwork("SN-OK");
    Select(History(), 0);
    HWND w = window.Handle();
    EXPECT_FALSE(Enabled(w, window.Control("AddNetwork"), kAddNetworkCommand));
    EXPECT_FALSE(Enabled(w, window.Control("Withdraw"), kWithdrawCommand));
    EXPECT_TRUE(Enabled(w, window.Control("PrintRecord"), kPrintRecordCommand));
    EXPECT_TRUE(Enabled(w, window.Control("OpenMeasurement"), kOpenMeasurementCommand));
    EXPECT_TRUE(Enabled(w, window.Control("PrintHistory"), kPrintHistoryCommand));

    window_ = std::make_unique<RegisterWindow>(::GetModuleHandleW(nullptr), host_);
    EXPECT_EQ(Text(window_->Control("Status")),
              "No register open: Register > Open register\u2026 or New register\u2026");
    EXPECT_EQ(::GetMenuState(::GetMenu(window_->Handle()), kBackupCommand, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
    EXPECT_FALSE(Enabled(window_->Handle(), window_->Control("AddNetwork"), kAddNetworkCommand));
}

// The record as a PDF, never over the register, whatever name reaches it.
TEST_F(RegisterWindowTest, PrintRecordWritesAPdfButNeverOverTheRegister) {
    RegisterWindow& window = Open();
    SelectNetwork("SN-OK");
    Select(History(), 0);
    const std::string pdf = folder_ + "\\record.pdf";
    window.PrintRecord(pdf);
    EXPECT_EQ(Contents(pdf).substr(0, 5), "%PDF-");
    const std::string before = Contents(file_);
    // Refused for being the register, not merely for being open.
    for (const std::string& name : {file_, folder_ + "\\.\\register \xC3\xA9t\xC3\xA9.sqlite"}) {
        try {
            window.PrintRecord(name);
            ADD_FAILURE() << name << " was written";
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find("is the register"), std::string::npos) << error.what();
        }
    }
    EXPECT_EQ(Contents(file_), before);
}

// Enter on a verification, as a double click, opens the measurement it
// holds: the very bytes, written to the cache.
TEST_F(RegisterWindowTest, EnterOnAVerificationOpensItsMeasurement) {
    RegisterWindow& window = Open();
    SelectNetwork("SN-OK");
    Select(History(), 0);
    MSG enter{History(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(window.PreTranslate(enter));
    ASSERT_EQ(host_.opened.size(), 1U);
    EXPECT_EQ(host_.opened[0].rfind(folder_ + "\\cache\\", 0), 0U) << host_.opened[0];
    EXPECT_EQ(Contents(host_.opened[0]), sample_);
}

}  // namespace
}  // namespace quillet::registerwin
