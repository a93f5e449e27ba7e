// SQLite and libharu as this build links them: a record written in a
// transaction survives a reopening and a rolled-back one does not, and a PDF
// with an embedded TrueType font gives its UTF-8 text back.
// Usage: records_libraries_test FONT.ttf [PDF_TO_KEEP]; the PDF is left at
// the second path for a check by the build machine's own tools.
#include <gtest/gtest.h>

#include <hpdf.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string font_file;
std::string pdf_to_keep;

// The units and signs the records print, beyond ASCII.
constexpr const char* kUnitsText = "Deviation 0.25 dB, 1.5 \xC2\xB5H, 50 \xCE\xA9, 90\xC2\xB0 \xC2\xB1 0.5";

fs::path FreshFolder(const std::string& name) {
    const fs::path folder =
        fs::temp_directory_path() /
        ("quillet-" + name + "-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

using Database = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

Database Open(const fs::path& file) {
    const std::u8string name = file.u8string();  // SQLite takes UTF-8 names on every system
    sqlite3* db = nullptr;
    const int result = sqlite3_open_v2(reinterpret_cast<const char*>(name.c_str()), &db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Database owned(db, &sqlite3_close);
    EXPECT_EQ(result, SQLITE_OK) << sqlite3_errmsg(db);
    return owned;
}

void Execute(sqlite3* db, const char* sql) {
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << sql << ": " << (error ? error : "");
    sqlite3_free(error);
}

struct Row {
    std::string label;
    double value;
    bool operator==(const Row&) const = default;
    friend void PrintTo(const Row& row, std::ostream* out) { *out << row.label << " = " << row.value; }
};

void Insert(sqlite3* db, const Row& row) {
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "INSERT INTO records (label, value) VALUES (?1, ?2)", -1, &statement, nullptr),
              SQLITE_OK);
    sqlite3_bind_text(statement, 1, row.label.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(statement, 2, row.value);
    EXPECT_EQ(sqlite3_step(statement), SQLITE_DONE) << sqlite3_errmsg(db);
    sqlite3_finalize(statement);
}

std::vector<Row> Rows(sqlite3* db) {
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, "SELECT label, value FROM records ORDER BY id", -1, &statement, nullptr),
              SQLITE_OK);
    std::vector<Row> rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        rows.push_back(
            {reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), sqlite3_column_double(statement, 1)});
    }
    sqlite3_finalize(statement);
    return rows;
}

std::string IntegrityCheck(sqlite3* db) {
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr), SQLITE_OK);
    std::string result;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        result += reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    }
    sqlite3_finalize(statement);
    return result;
}

TEST(Sqlite, KeepsCommittedRowsAndDropsRolledBackOnes) {
    EXPECT_NE(sqlite3_threadsafe(), 0);
    const fs::path folder = FreshFolder("sqlite");
    const fs::path file = folder / "records.sqlite";
    const Row kept{kUnitsText, 0.1};  // a value whose every bit must come back
    {
        const Database db = Open(file);
        Execute(db.get(), "CREATE TABLE records (id INTEGER PRIMARY KEY, label TEXT NOT NULL, value REAL NOT NULL)");
        Execute(db.get(), "BEGIN");
        Insert(db.get(), kept);
        Execute(db.get(), "COMMIT");
        Execute(db.get(), "BEGIN");
        Insert(db.get(), {"abandoned", 2.0});
        Execute(db.get(), "ROLLBACK");
    }
    {
        const Database db = Open(file);
        EXPECT_EQ(Rows(db.get()), std::vector<Row>{kept});
        EXPECT_EQ(IntegrityCheck(db.get()), "ok");
    }
    fs::remove_all(folder);
}

struct PdfErrors {
    HPDF_STATUS error = HPDF_OK;
    HPDF_STATUS detail = 0;
};

void KeepFirstError(HPDF_STATUS error, HPDF_STATUS detail, void* user) {
    auto* errors = static_cast<PdfErrors*>(user);
    if (errors->error == HPDF_OK) {
        *errors = {error, detail};
    }
}

// Closed again before returning: Windows removes no file that is open.
std::string FileStart(const fs::path& file, std::size_t size) {
    std::ifstream in(file, std::ios::binary);
    std::string start(size, '\0');
    in.read(start.data(), static_cast<std::streamsize>(size));
    start.resize(static_cast<std::size_t>(in.gcount()));
    return start;
}

#ifdef QUILLET_PDFTOTEXT
std::string PdfText(const fs::path& file) {
    const std::string command = QUILLET_PDFTOTEXT " -enc UTF-8 '" + file.string() + "' -";
    std::unique_ptr<FILE, decltype(&pclose)> pipe(popen(command.c_str(), "r"), &pclose);
    std::string text;
    char buffer[4096];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) {
        text.append(buffer, n);
    }
    return text;
}
#endif

TEST(Hpdf, EmbedsATrueTypeFontAndKeepsUtf8Text) {
    ASSERT_FALSE(font_file.empty()) << "usage: records_libraries_test FONT.ttf [PDF_TO_KEEP]";
    const fs::path folder = FreshFolder("pdf");
    const fs::path file = pdf_to_keep.empty() ? folder / "units.pdf" : fs::path(pdf_to_keep);
    PdfErrors errors;
    HPDF_Doc pdf = HPDF_New(&KeepFirstError, &errors);
    ASSERT_NE(pdf, nullptr);
    HPDF_SetCompressionMode(pdf, HPDF_COMP_ALL);  // zlib, as a report would use it
    HPDF_UseUTFEncodings(pdf);
    HPDF_SetCurrentEncoder(pdf, "UTF-8");
    // libharu reads TrueType fonts from a file name only; HPDF_TRUE embeds it.
    const char* font_name = HPDF_LoadTTFontFromFile(pdf, font_file.c_str(), HPDF_TRUE);
    HPDF_Font font = font_name ? HPDF_GetFont(pdf, font_name, "UTF-8") : nullptr;
    HPDF_Page page = HPDF_AddPage(pdf);
    HPDF_Page_SetSize(page, HPDF_PAGE_SIZE_A4, HPDF_PAGE_PORTRAIT);
    HPDF_Page_BeginText(page);
    HPDF_Page_SetFontAndSize(page, font, 12);
    HPDF_Page_TextOut(page, 50, 780, kUnitsText);
    HPDF_Page_EndText(page);
    HPDF_SaveToFile(pdf, file.string().c_str());
    HPDF_Free(pdf);
    ASSERT_EQ(errors.error, HPDF_OK) << std::hex << "libharu error 0x" << errors.error << ", detail " << errors.detail;

    EXPECT_EQ(FileStart(file, 5), "%PDF-");
#ifdef QUILLET_PDFTOTEXT
    EXPECT_NE(PdfText(file).find(kUnitsText), std::string::npos) << PdfText(file);
#endif
    fs::remove_all(folder);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 1) {
        font_file = argv[1];
    }
    if (argc > 2) {
        pdf_to_keep = argv[2];
    }
    return RUN_ALL_TESTS();
}
