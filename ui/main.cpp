#include <QApplication>

#include <cstdio>

#include "appearance.h"
#include "mdi_form1.h"

namespace {

bool DisplayAvailable() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
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
