#include <QApplication>
#include <QStringList>

#include <cstdio>

#include "ui/appearance.h"
#include "ui/mdi_form1.h"

namespace {

// A display server to talk to, or a Qt platform that needs none.
bool DisplayAvailable() {
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM").section(':', 0, 0);
    const QStringList withoutServer = {"offscreen", "minimal", "vnc", "linuxfb", "eglfs"};
    if (withoutServer.contains(platform))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!DisplayAvailable()) {
        std::fprintf(stderr,
                     "quillet: no display to open the window on; without a desktop run it as "
                     "'xvfb-run -a %s' (Debian package xvfb)\n",
                     argv[0]);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setDesktopFileName(QStringLiteral("quillet"));
    SetUpAppearance();

    MDIForm1 window;
    window.Load();
    window.show();
    return QApplication::exec();
}
