#include "plotqt/png_drawing.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <stdexcept>

#include "plotqt/qt_canvas.h"

namespace quillet::plotqt {

std::string PngOf(const plot::RecordedDrawing& drawing, plot::Size size) {
    // Without it, Qt's fonts abort the process instead of failing.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw std::runtime_error("drawing the plot needs a QGuiApplication");
    QImage image(static_cast<int>(size.width), static_cast<int>(size.height), QImage::Format_ARGB32);
    {
        QPainter painter(&image);
        QtCanvas canvas(painter);
        drawing.DrawOn(canvas);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw std::runtime_error("cannot encode the plot as PNG");
    const QByteArray& bytes = buffer.data();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace quillet::plotqt
