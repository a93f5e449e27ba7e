#include "apps/an-sweep/qt_pngs.h"

#include <dlfcn.h>
#include <stdlib.h>  // mkdtemp, setenv
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

#include "files/atomic_file.h"
#include "files/interrupt_cleanup.h"
#include "quillet/version.h"

namespace quillet::app {
namespace {

// Qt makes a runtime folder in the temporary directory when the session
// names none, and leaves it there; painting into a file needs none, so the
// run brings its own and takes it away, also when interrupted.
class PrivateRuntimeFolder {
public:
    PrivateRuntimeFolder() {
        const char* named = std::getenv("XDG_RUNTIME_DIR");
        if (named && *named)
            return;
        std::string name = files::TemporaryFolder() + "/an-sweep-runtime-XXXXXX";
        if (!::mkdtemp(name.data()))
            return;  // Qt then makes its own, as before
        path_ = name;
        cleanup_.emplace(path_, files::InterruptCleanup::Kind::Folder);
        ::setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
    }
    ~PrivateRuntimeFolder() {
        if (path_.empty())
            return;
        std::error_code error;
        std::filesystem::remove_all(path_, error);
        ::unsetenv("XDG_RUNTIME_DIR");
    }
    PrivateRuntimeFolder(const PrivateRuntimeFolder&) = delete;
    PrivateRuntimeFolder& operator=(const PrivateRuntimeFolder&) = delete;

private:
    std::string path_;
    std::optional<files::InterruptCleanup> cleanup_;
};

// The module lies at the same place from the program's folder in the
// build tree and once installed.
std::string ModulePath() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        throw std::runtime_error("cannot find the PNG painter: where this program lies is unknown (" + error.message() +
                                 ")");
    return (program.parent_path() / QUILLET_PNG_MODULE_FROM_PROGRAM).lexically_normal().string();
}

}  // namespace

QtPngPainter::QtPngPainter() {
    const std::string path = ModulePath();
    // Kept loaded to the end: Qt's libraries clean up at exit.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        throw std::runtime_error(std::string("cannot load the PNG painter (") + ::dlerror() +
                                 "); write the plot as .svg, or reinstall Quillet");
    // A painter of another version may expect other jobs: it is not called.
    const auto version = reinterpret_cast<plotqt::PngModuleVersionEntry>(::dlsym(module, plotqt::kVersionEntry));
    paint_ = reinterpret_cast<plotqt::PaintPngsEntry>(::dlsym(module, plotqt::kPaintPngsEntry));
    if (!version || !paint_ || std::string_view(version()) != kVersion)
        throw std::runtime_error("the PNG painter " + path + " is not the one of an-sweep " + std::string(kVersion) +
                                 "; reinstall Quillet");
}

void QtPngPainter::Paint(const std::vector<plotqt::PngJob*>& jobs) const {
    const PrivateRuntimeFolder runtimeFolder;
    std::string failure;
    if (!paint_(jobs.data(), jobs.size(), failure))
        throw std::runtime_error(failure);
}

}  // namespace quillet::app
