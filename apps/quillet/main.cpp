#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

#include "apps/quillet/sweep_windows.h"
#include "quillet/version.h"
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

// --help and --version, which need no window and so no display. Exits on
// them and on an unknown option, as command-line programs do. Gives the
// measurement files named.
QStringList HandleOptions(int argc, char* argv[]) {
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillet"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The AN impedance uncertainty calculator: the largest receiver deviation an artificial "
                       "network's impedance error can cause."));
    parser.addHelpOption();
    // Qt's own version option prints the version alone; this one names the
    // licence too.
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays version information."));
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Measured sweeps to open, each in a sweep window of its own."),
                                 QStringLiteral("[FILE...]"));
    parser.process(core);
    if (parser.isSet(version)) {
        std::printf("quillet %.*s\n%.*s\n", static_cast<int>(quillet::kVersion.size()), quillet::kVersion.data(),
                    static_cast<int>(quillet::kLicenceLine.size()), quillet::kLicenceLine.data());
        std::exit(EXIT_SUCCESS);
    }
    return parser.positionalArguments();
}

}  // namespace

int main(int argc, char* argv[]) {
    // Without arguments there is nothing to parse, and start-up stays short.
    const QStringList files = argc > 1 ? HandleOptions(argc, argv) : QStringList();
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
    quillet::ui::SetUpAppearance();

    quillet::ui::MDIForm1 window;
    window.Load();
    window.show();
    quillet::app::SweepWindows sweeps(window);
    sweeps.Open(files);
    return QApplication::exec();
}
