#include "plotqt/png_module.h"

#include <QGuiApplication>
#include <QtGlobal>

#include <exception>

#include "plotqt/png_drawing.h"
#include "quillet/version.h"

extern "C" Q_DECL_EXPORT const char* quillet_png_module_version() {
    static_assert(std::is_same_v<decltype(&quillet_png_module_version), quillet::plotqt::PngModuleVersionEntry>);
    return quillet::kVersion.data();  // a literal: ends in a NUL
}

extern "C" Q_DECL_EXPORT bool quillet_paint_pngs(quillet::plotqt::PngJob* const* jobs, std::size_t count,
                                                 std::string& error) {
    static_assert(std::is_same_v<decltype(&quillet_paint_pngs), quillet::plotqt::PaintPngsEntry>);
    try {
        // Qt's fonts need an application, never a display; without a
        // runtime folder of the session it would warn, which drawing into
        // a file never needs.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QT_LOGGING_RULES", "qt.qpa.*=false;default.warning=false");
        int argc = 1;
        char name[] = "an-sweep";
        char* argv[] = {name, nullptr};
        const QGuiApplication application(argc, argv);
        for (std::size_t i = 0; i < count; ++i)
            jobs[i]->png = quillet::plotqt::PngOf(jobs[i]->drawing, jobs[i]->size);
        return true;
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
}
