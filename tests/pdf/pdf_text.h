// What a reader's tool takes out of a PDF: poppler's pdftotext, as a lab
// would copy text out of a record, and pdffonts' list of fonts.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace quillet::pdf {

// The text of the file, or with tool "pdffonts" and to "" its fonts.
inline std::string TextOf(const std::string& pdf, const std::string& tool = "pdftotext -layout",
                          const char* to = " -") {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("quillet-pdf-" + std::to_string(::getpid()) + "-" + std::to_string(std::rand()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "record.pdf";
    std::ofstream(file, std::ios::binary) << pdf;
    std::string text;
    const std::string command = std::string(tool) + " '" + file.string() + "'" + to +
                                " 2>/dev/null";  // poppler warns of libharu's character maps
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            text.append(buffer, n);
        EXPECT_EQ(::pclose(pipe), 0) << command << "\n" << text;
    }
    std::filesystem::remove_all(folder);
    return text;
}

inline std::string WithoutSpace(std::string text) {
    std::erase_if(text, [](char c) { return c == ' ' || c == '\n' || c == '\f'; });
    return text;
}

}  // namespace quillet::pdf
