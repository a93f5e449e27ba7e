#include <QApplication>
#include <QByteArray>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QScreen>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

#include "apps/quillet/sweep_windows.h"
#include "apps/quillet/window_placement.h"
#include "quillet/version.h"
#include "sweep/parallel_evaluation.h"
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

// The program's own options; the files named are the positional arguments.
struct Options {
    QCommandLineParser parser;
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Displays version information.")};
    QCommandLineOption registerWindow{
        QStringLiteral("register"),
        QStringLiteral("Opens the verification register window beside the calculator: the register in the file "
                       "named first (started there when there is none), else the one last opened.")};

    Options() {
        parser.setApplicationDescription(
            QStringLiteral("The AN impedance uncertainty calculator: the largest receiver deviation an artificial "
                           "network's impedance error can cause."));
        parser.addHelpOption();
        // Qt's own version option prints the version alone; this one names
        // the licence too.
        parser.addOption(version);
        parser.addOption(registerWindow);
        parser.addPositionalArgument(QStringLiteral("files"),
                                     QStringLiteral("Measured sweeps to open, each in a sweep window of its own; with "
                                                    "--register, the first FILE is the register."),
                                     QStringLiteral("[FILE...]"));
    }
};

bool AsksForHelpOrVersion(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--")  // what follows are file names
            return false;
        for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
            if (argument == option)
                return true;
        }
    }
    return false;
}

// --help and --version need no window and so no display. Qt's own options
// (-style, -platform, ...) may stand beside them: they are ignored here.
[[noreturn]] void ShowHelpOrVersion(int argc, char* argv[]) {
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillet"));
    Options options;
    options.parser.parse(QCoreApplication::arguments());
    if (options.parser.isSet(options.version)) {
        std::printf("quillet %.*s\n%.*s\n", static_cast<int>(quillet::kVersion.size()), quillet::kVersion.data(),
                    static_cast<int>(quillet::kLicenceLine.size()), quillet::kLicenceLine.data());
        std::exit(EXIT_SUCCESS);
    }
    options.parser.showHelp(EXIT_SUCCESS);
}

}  // namespace

int main(int argc, char* argv[]) {
    quillet::sweep::KeepFreedMemoryForReuse();  // for its sweep windows
    if (AsksForHelpOrVersion(argc, argv))
        ShowHelpOrVersion(argc, argv);
    if (!DisplayAvailable()) {
        std::fprintf(stderr,
                     "quillet: no display to open the window on; without a desktop run it as "
                     "'xvfb-run -a %s' (Debian package xvfb)\n",
                     argv[0]);
        return 1;
    }
    // The application takes Qt's own options (-style Fusion, -platform ...)
    // out of the arguments; the rest are the program's, and an unknown one
    // ends it with a message, as command-line programs do.
    QApplication app(argc, argv);
    QStringList files;
    bool showRegister = false;
    QString registerFile;
    if (argc > 1) {
        Options options;
        options.parser.process(app);
        files = options.parser.positionalArguments();
        showRegister = options.parser.isSet(options.registerWindow);
        if (showRegister && !files.isEmpty())
            registerFile = files.takeFirst();
    }
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setOrganizationName(QStringLiteral("Quillet"));  // where the sweep windows' settings are kept
    QApplication::setDesktopFileName(QStringLiteral("quillet"));
    quillet::ui::SetUpAppearance();

    quillet::ui::MDIForm1 window;
    window.Load();
    // The calculator keeps the place its load handler gives it, unless that
    // place is off the available area (on a small or scaled screen).
    quillet::app::KeepOnScreen(window, window.screen()->availableGeometry(), quillet::app::FrameMargins(window));
    quillet::app::KeepOnScreenWhenShown(window);
    window.show();
    quillet::app::SweepWindows sweeps(window);
    if (showRegister)
        sweeps.ShowRegister(registerFile);
    sweeps.Open(files);
    return QApplication::exec();
}
