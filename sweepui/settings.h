// What the sweep windows remember per user, in the toolkit's settings:
// recent files, the window's size, the last AN type and folder. The
// calculator's own window reads none of it.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace quillet::sweepui {

// Most recent first, at most kRecentFiles, each once.
inline constexpr int kRecentFiles = 8;
QStringList RecentFiles();
void AddRecentFile(const QString& path);

std::optional<QSize> SweepWindowSize();
void SetSweepWindowSize(QSize size);

std::optional<std::int16_t> LastAnType();  // 1..4
void SetLastAnType(std::int16_t type);

// Where the last file was opened or written; empty at first.
QString LastFolder();
void SetLastFolder(const QString& fileOrFolder);

}  // namespace quillet::sweepui
