#include "plotwin/png_file.h"

#include <stdexcept>
#include <vector>

#include "plotwin/gdiplus.h"
#include "plotwin/gdiplus_canvas.h"

namespace quillet::plotwin {
namespace {

CLSID PngEncoder() {
    UINT count = 0, bytes = 0;
    Gdiplus::GetImageEncodersSize(&count, &bytes);
    std::vector<unsigned char> buffer(bytes);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (bytes == 0 || Gdiplus::GetImageEncoders(count, bytes, encoders) != Gdiplus::Ok)
        throw std::runtime_error("GDI+ has no image encoders");
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring_view(encoders[i].MimeType) == L"image/png")
            return encoders[i].Clsid;
    }
    throw std::runtime_error("GDI+ has no PNG encoder");
}

// An in-memory stream, released when done.
struct Stream {
    IStream* stream = nullptr;
    Stream() {
        if (::CreateStreamOnHGlobal(nullptr, TRUE, &stream) != S_OK)
            throw std::runtime_error("cannot make room for the PNG");
    }
    ~Stream() { stream->Release(); }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
};

template <typename Plot>
std::string Png(const Plot& plot) {
    const GdiplusSession session;
    constexpr plot::Size kSize = Plot::kFileSize;
    Gdiplus::Bitmap bitmap(static_cast<INT>(kSize.width), static_cast<INT>(kSize.height), PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        GdiplusCanvas canvas(graphics);
        plot.Draw(canvas);
    }
    const CLSID png = PngEncoder();
    const Stream out;
    if (bitmap.Save(out.stream, &png, nullptr) != Gdiplus::Ok)
        throw std::runtime_error("cannot encode the plot as PNG");
    STATSTG stat{};
    LARGE_INTEGER start{};
    if (out.stream->Stat(&stat, STATFLAG_NONAME) != S_OK || out.stream->Seek(start, STREAM_SEEK_SET, nullptr) != S_OK)
        throw std::runtime_error("cannot read the PNG back");
    std::string bytes(static_cast<std::size_t>(stat.cbSize.QuadPart), '\0');
    ULONG read = 0;
    if (out.stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read) != S_OK || read != bytes.size())
        throw std::runtime_error("cannot read the PNG back");
    return bytes;
}

}  // namespace

std::string PngOf(const plot::DeviationPlot& plot) { return Png(plot); }
std::string PngOf(const plot::ImpedancePlot& plot) { return Png(plot); }

}  // namespace quillet::plotwin
