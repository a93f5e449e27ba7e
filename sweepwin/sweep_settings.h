// What the sweep windows remember per user, under the key
// Software\Quillet of HKEY_CURRENT_USER: recent files, the window's size,
// the last AN type and folder, the columns stated for delimited text. Names are UTF-8 here and wide in the
// registry, so any name survives. Nothing remembered, or unreadable, reads
// as nothing.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillet::sweepwin {

// Most recent first, at most kRecentFiles, each once.
inline constexpr std::size_t kRecentFiles = 8;
std::vector<std::string> RecentFiles();
void AddRecentFile(const std::string& path);

// The client area at 96 DPI, so it means the same on every screen.
std::optional<SIZE> SweepWindowSize();
void SetSweepWindowSize(SIZE size);

std::optional<std::int16_t> LastAnType();  // 1..4
void SetLastAnType(std::int16_t type);

// Where the last file was opened or written; empty at first.
std::string LastFolder();
void SetLastFolder(const std::string& fileOrFolder);

// The verification register last opened (UTF-8, its full name); empty
// until one was.
std::string RegisterFile();
void SetRegisterFile(const std::string& path);

// The column list stated for files with this file's first line.
std::optional<std::string> RememberedColumns(const std::string& path);
void RememberColumns(const std::string& path, const std::string& columns);

}  // namespace quillet::sweepwin
