// A drawing kept as the calls that made it, to be drawn again on another
// canvas. This is how a plot reaches the module that paints PNG files: the
// module needs the canvas and nothing of the plot code.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "plot/canvas.h"

namespace quillet::plot {

class RecordedDrawing : public Canvas {
public:
    void FillRect(const Rect& rect, Color fill) override { calls_.emplace_back(FillRectCall{rect, fill}); }
    void StrokeRect(const Rect& rect, const Pen& pen) override { calls_.emplace_back(StrokeRectCall{rect, pen}); }
    void Line(Point from, Point to, const Pen& pen) override { calls_.emplace_back(LineCall{from, to, pen}); }
    void Polyline(std::span<const Point> points, const Pen& pen) override {
        calls_.emplace_back(PolylineCall{{points.begin(), points.end()}, pen});
    }
    void Polygon(std::span<const Point> points, Color fill, const Pen* outline) override {
        calls_.emplace_back(
            PolygonCall{{points.begin(), points.end()}, fill, outline ? std::optional<Pen>(*outline) : std::nullopt});
    }
    void Circle(Point centre, double radius, const Pen& pen) override {
        calls_.emplace_back(CircleCall{centre, radius, pen});
    }
    void Text(std::string_view text, Point at, Anchor anchor, const Font& font, Color color, double degrees) override {
        calls_.emplace_back(TextCall{std::string(text), at, anchor, font, color, degrees});
    }
    void ClipTo(const Rect& rect) override { calls_.emplace_back(ClipCall{rect}); }
    void Unclip() override { calls_.emplace_back(UnclipCall{}); }

    // Every call again, in order.
    void DrawOn(Canvas& canvas) const {
        for (const Call& call : calls_)
            std::visit([&canvas](const auto& c) { c.On(canvas); }, call);
    }

private:
    struct FillRectCall {
        Rect rect;
        Color fill;
        void On(Canvas& canvas) const { canvas.FillRect(rect, fill); }
    };
    struct StrokeRectCall {
        Rect rect;
        Pen pen;
        void On(Canvas& canvas) const { canvas.StrokeRect(rect, pen); }
    };
    struct LineCall {
        Point from, to;
        Pen pen;
        void On(Canvas& canvas) const { canvas.Line(from, to, pen); }
    };
    struct PolylineCall {
        std::vector<Point> points;
        Pen pen;
        void On(Canvas& canvas) const { canvas.Polyline(points, pen); }
    };
    struct PolygonCall {
        std::vector<Point> points;
        Color fill;
        std::optional<Pen> outline;
        void On(Canvas& canvas) const { canvas.Polygon(points, fill, outline ? &*outline : nullptr); }
    };
    struct CircleCall {
        Point centre;
        double radius;
        Pen pen;
        void On(Canvas& canvas) const { canvas.Circle(centre, radius, pen); }
    };
    struct TextCall {
        std::string text;
        Point at;
        Anchor anchor;
        Font font;
        Color color;
        double degrees;
        void On(Canvas& canvas) const { canvas.Text(text, at, anchor, font, color, degrees); }
    };
    struct ClipCall {
        Rect rect;
        void On(Canvas& canvas) const { canvas.ClipTo(rect); }
    };
    struct UnclipCall {
        void On(Canvas& canvas) const { canvas.Unclip(); }
    };
    using Call = std::variant<FillRectCall, StrokeRectCall, LineCall, PolylineCall, PolygonCall, CircleCall, TextCall,
                              ClipCall, UnclipCall>;
    std::vector<Call> calls_;
};

}  // namespace quillet::plot
