#include "sweepui/settings.h"

#include <QFileInfo>
#include <QSettings>
#include <QVariant>

namespace quillet::sweepui {
namespace {

const QString kRecent = QStringLiteral("sweep/recentFiles");
const QString kSize = QStringLiteral("sweep/windowSize");
const QString kType = QStringLiteral("sweep/anType");
const QString kFolder = QStringLiteral("sweep/lastFolder");

}  // namespace

QStringList RecentFiles() { return QSettings().value(kRecent).toStringList(); }

void AddRecentFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = RecentFiles();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > kRecentFiles)
        files.removeLast();
    QSettings().setValue(kRecent, files);
}

std::optional<QSize> SweepWindowSize() {
    const QSize size = QSettings().value(kSize).toSize();
    return size.isValid() && !size.isEmpty() ? std::optional(size) : std::nullopt;
}

void SetSweepWindowSize(QSize size) { QSettings().setValue(kSize, size); }

std::optional<std::int16_t> LastAnType() {
    bool ok = false;
    const int type = QSettings().value(kType).toInt(&ok);
    return ok && type >= 1 && type <= 4 ? std::optional(static_cast<std::int16_t>(type)) : std::nullopt;
}

void SetLastAnType(std::int16_t type) { QSettings().setValue(kType, static_cast<int>(type)); }

QString LastFolder() { return QSettings().value(kFolder).toString(); }

void SetLastFolder(const QString& fileOrFolder) {
    const QFileInfo info(fileOrFolder);
    QSettings().setValue(kFolder, info.isDir() ? info.absoluteFilePath() : info.absolutePath());
}

}  // namespace quillet::sweepui
