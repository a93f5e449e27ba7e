#include "registerui/settings.h"

#include <QFileInfo>
#include <QSettings>
#include <QVariant>

namespace quillet::registerui {
namespace {

const QString kFile = QStringLiteral("register/file");

}  // namespace

QString RegisterFile() { return QSettings().value(kFile).toString(); }

void SetRegisterFile(const QString& path) { QSettings().setValue(kFile, QFileInfo(path).absoluteFilePath()); }

}  // namespace quillet::registerui
