#include "plotqt/png_file.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <stdexcept>

#include "plotqt/qt_canvas.h"

namespace quillet::plotqt {
namespace {

template <typename Plot>
std::string Png(const Plot& plot) {
    // Without it, Qt's fonts abort the process instead of failing.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw std::runtime_error("drawing the plot needs a QGuiApplication");
    constexpr plot::Size kSize = Plot::kFileSize;
    QImage image(static_cast<int>(kSize.width), static_cast<int>(kSize.height), QImage::Format_ARGB32);
    {
        QPainter painter(&image);
        QtCanvas canvas(painter);
        plot.Draw(canvas);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw std::runtime_error("cannot encode the plot as PNG");
    const QByteArray& bytes = buffer.data();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

std::string PngOf(const plot::DeviationPlot& plot) { return Png(plot); }
std::string PngOf(const plot::ImpedancePlot& plot) { return Png(plot); }

}  // namespace quillet::plotqt
