#include "plot/svg_canvas.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <utility>

#include "plot/font_metrics.h"
#include "plot/utf8.h"

namespace quillet::plot {
namespace {

// Coordinates to a hundredth of a pixel, which no screen or printer shows,
// without trailing zeros.
std::string Number(double value, int decimals = 2) {
    if (!std::isfinite(value))
        return "0";  // nothing drawn reaches this; a file must never say "inf"
    char text[400];  // the longest finite double in fixed notation, and more
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
    std::string result(text, end);
    if (result.find('.') != std::string::npos) {
        result.erase(result.find_last_not_of('0') + 1);
        if (result.back() == '.')
            result.pop_back();
    }
    return result == "-0" ? "0" : result;
}

std::string Hex(Color color) {
    constexpr std::string_view kDigits = "0123456789abcdef";
    std::string text = "#";
    for (const std::uint8_t channel : {color.red, color.green, color.blue}) {
        text += kDigits[channel >> 4];
        text += kDigits[channel & 0xF];
    }
    return text;
}

std::string Opacity(const char* attribute, Color color) {
    if (color.alpha == 255)
        return {};
    return std::string(" ") + attribute + "=\"" + Number(color.alpha / 255.0, 3) + '"';
}

std::string Fill(Color color) { return " fill=\"" + Hex(color) + '"' + Opacity("fill-opacity", color); }

std::string Stroke(const Pen& pen) {
    std::string attributes = " stroke=\"" + Hex(pen.color) + '"' + Opacity("stroke-opacity", pen.color) +
                             " stroke-width=\"" + Number(pen.width) + '"';
    if (pen.dashed)
        attributes +=
            " stroke-dasharray=\"" + Number(kDashWidths * pen.width) + ' ' + Number(kGapWidths * pen.width) + '"';
    return attributes;
}

std::string Points(std::span<const Point> points) {
    std::string text;
    for (const Point& p : points) {
        if (!text.empty())
            text += ' ';
        text += Number(p.x) + ',' + Number(p.y);
    }
    return text;
}

// Text as XML character data: markup characters escaped, characters XML
// cannot hold and bytes that are not UTF-8 shown as U+FFFD, so any file
// name gives a well-formed document.
std::string Escaped(std::string_view text) {
    constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Character character = NextUtf8(text, at);
        const char32_t lead = character.code;
        const std::size_t length = character.length;
        if (!character.valid || (lead < 0x20 && lead != '\t') || lead == 0xFFFE || lead == 0xFFFF) {
            out += kReplacement;
            at += length;
            continue;
        }
        switch (lead) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out.append(text.substr(at, length));
        }
        at += length;
    }
    return out;
}

}  // namespace

SvgCanvas::SvgCanvas(Size size, std::string_view title) {
    const std::string width = Number(size.width), height = Number(size.height);
    svg_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + width +
           "\" height=\"" + height + "\" viewBox=\"0 0 " + width + ' ' + height + "\">\n<title>" + Escaped(title) +
           "</title>\n<g stroke-linecap=\"square\" stroke-linejoin=\"bevel\">\n";
}

void SvgCanvas::FillRect(const Rect& rect, Color fill) {
    svg_ += "<rect x=\"" + Number(rect.left) + "\" y=\"" + Number(rect.top) + "\" width=\"" + Number(rect.width) +
            "\" height=\"" + Number(rect.height) + '"' + Fill(fill) + "/>\n";
}

void SvgCanvas::StrokeRect(const Rect& rect, const Pen& pen) {
    svg_ += "<rect x=\"" + Number(rect.left) + "\" y=\"" + Number(rect.top) + "\" width=\"" + Number(rect.width) +
            "\" height=\"" + Number(rect.height) + "\" fill=\"none\"" + Stroke(pen) + "/>\n";
}

void SvgCanvas::Line(Point from, Point to, const Pen& pen) {
    svg_ += "<line x1=\"" + Number(from.x) + "\" y1=\"" + Number(from.y) + "\" x2=\"" + Number(to.x) + "\" y2=\"" +
            Number(to.y) + '"' + Stroke(pen) + "/>\n";
}

void SvgCanvas::Polyline(std::span<const Point> points, const Pen& pen) {
    svg_ += "<polyline points=\"" + Points(points) + "\" fill=\"none\"" + Stroke(pen) + "/>\n";
}

void SvgCanvas::Polygon(std::span<const Point> points, Color fill, const Pen* outline) {
    svg_ += "<polygon points=\"" + Points(points) + '"' + Fill(fill) + (outline ? Stroke(*outline) : "") + "/>\n";
}

void SvgCanvas::Circle(Point centre, double radius, const Pen& pen) {
    svg_ += "<circle cx=\"" + Number(centre.x) + "\" cy=\"" + Number(centre.y) + "\" r=\"" + Number(radius) +
            "\" fill=\"none\"" + Stroke(pen) + "/>\n";
}

void SvgCanvas::Text(std::string_view text, Point at, Anchor anchor, const Font& font, Color color, double degrees) {
    static constexpr const char* kAnchors[] = {"start", "middle", "end"};
    // Verdana has DejaVu Sans's proportions, for a viewer that lacks it.
    svg_ += "<text x=\"" + Number(at.x) + "\" y=\"" + Number(at.y) + "\" font-family=\"" + std::string(kFontFamily) +
            ", Verdana, sans-serif\" font-size=\"" + Number(font.pixels) + '"' +
            (font.bold ? " font-weight=\"bold\"" : "") + " text-anchor=\"" + kAnchors[static_cast<int>(anchor)] + '"' +
            Fill(color);
    if (degrees != 0)
        svg_ += " transform=\"rotate(" + Number(degrees) + ' ' + Number(at.x) + ' ' + Number(at.y) + ")\"";
    svg_ += " xml:space=\"preserve\">" + Escaped(text) + "</text>\n";
}

void SvgCanvas::ClipTo(const Rect& rect) {
    Unclip();
    const std::string id = "clip" + std::to_string(++clips_);
    svg_ += "<clipPath id=\"" + id + "\"><rect x=\"" + Number(rect.left) + "\" y=\"" + Number(rect.top) +
            "\" width=\"" + Number(rect.width) + "\" height=\"" + Number(rect.height) +
            "\"/></clipPath>\n<g clip-path=\"url(#" + id + ")\">\n";
    clipped_ = true;
}

void SvgCanvas::Unclip() {
    if (clipped_)
        svg_ += "</g>\n";
    clipped_ = false;
}

std::string SvgCanvas::Finish() {
    Unclip();
    svg_ += "</g>\n</svg>\n";
    return std::move(svg_);
}

}  // namespace quillet::plot
