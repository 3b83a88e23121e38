#include "check/Sketch.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace talvik {

namespace {

// A number that is not finite (or too long for the buffer) is drawn as 0: the SVG never holds
// "nan" or "inf".
std::string Num(double value) {
    if (!std::isfinite(value)) return "0";
    char buffer[32];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

// Names are Windows-1252 bytes, as the file says. A control byte has no place in XML, and a byte
// that Windows-1252 leaves undefined cannot be read in it: both are written as the replacement
// character, so that any name gives a well-formed file.
std::string Escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 ||
            byte == 0x9D) {
            out += "&#xFFFD;";
            continue;
        }
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

bool IsDrawn(const CheckPoint& p) {
    return p.state != PointState::NotPlaced && std::isfinite(p.x) && std::isfinite(p.y);
}

bool IsRed(const CheckReport& report, std::size_t point, const SketchMarks& marks) {
    return report.points[point].flagged ||
           std::find(marks.begin(), marks.end(), point) != marks.end();
}

Mark MarkOf(const CheckReport& report, std::size_t point, const SketchMarks& chosen) {
    if (std::find(chosen.begin(), chosen.end(), point) != chosen.end()) return Mark::Chosen;
    return report.points[point].flagged ? Mark::Named : Mark::Plain;
}

std::size_t PointAt(const CheckReport& report, const SketchView& view, double u, double v,
                    double radius) {
    std::size_t nearest = report.points.size();
    double best = radius * radius;
    for (std::size_t n = 0; n < report.points.size(); ++n) {
        const CheckPoint& p = report.points[n];
        if (!IsDrawn(p)) continue;
        const double du = view.U(p.x) - u;
        const double dv = view.V(p.y) - v;
        if (du * du + dv * dv <= best) best = du * du + dv * dv, nearest = n;
    }
    return nearest;
}

std::string UnplacedNames(const CheckReport& report) {
    std::string names;
    for (const CheckPoint& p : report.points) {
        if (!IsDrawn(p)) names += (names.empty() ? "" : ", ") + p.name;
    }
    return names;
}

SketchView SketchView::Fit(const CheckReport& report, double width, double height, double margin) {
    double xLow = 0.0, xHigh = 0.0, yLow = 0.0, yHigh = 0.0;
    bool any = false;
    for (const CheckPoint& p : report.points) {
        if (!IsDrawn(p)) continue;
        xLow = any ? std::min(xLow, p.x) : p.x;
        xHigh = any ? std::max(xHigh, p.x) : p.x;
        yLow = any ? std::min(yLow, p.y) : p.y;
        yHigh = any ? std::max(yHigh, p.y) : p.y;
        any = true;
    }
    // A single point, or none, still gets a view of 100 m.
    const double spanX = std::max(xHigh - xLow, 1e-9);
    const double spanY = std::max(yHigh - yLow, 1e-9);
    const double roomU = std::max(width - 2.0 * margin, 1.0);
    const double roomV = std::max(height - 2.0 * margin, 1.0);
    SketchView view;
    view.scale_ = (spanX < 1e-6 && spanY < 1e-6) ? std::min(roomU, roomV) / 100.0
                                                 : std::min(roomU / spanX, roomV / spanY);
    view.x0_ = (xLow + xHigh) / 2.0;
    view.y0_ = (yLow + yHigh) / 2.0;
    view.u0_ = width / 2.0;
    view.v0_ = height / 2.0;
    return view;
}

void SketchView::Zoom(double factor, double u, double v) {
    const double x = X(u);
    const double y = Y(v);
    scale_ *= factor;
    x0_ = x;
    y0_ = y;
    u0_ = u;
    v0_ = v;
}

void SketchView::Pan(double du, double dv) {
    u0_ += du;
    v0_ += dv;
}

void SketchView::Step(Key key, double width, double height) {
    switch (key) {
        case Key::ZoomIn:
            return Zoom(1.25, width / 2.0, height / 2.0);
        case Key::ZoomOut:
            return Zoom(0.8, width / 2.0, height / 2.0);
        case Key::Left:
            return Pan(width / 8.0, 0.0);
        case Key::Right:
            return Pan(-width / 8.0, 0.0);
        case Key::Up:
            return Pan(0.0, height / 8.0);
        case Key::Down:
            return Pan(0.0, -height / 8.0);
    }
}

void SketchView::Resize(double oldWidth, double oldHeight, double width, double height) {
    Pan((width - oldWidth) / 2.0, (height - oldHeight) / 2.0);
}

double SketchView::ScaleBarMetres(double room) const {
    const double most = room / scale_;
    double step = std::pow(10.0, std::floor(std::log10(most)));
    for (const double f : {5.0, 2.0, 1.0}) {
        if (f * step <= most) return f * step;
    }
    return step;
}

std::string ScaleBarText(double metres) {
    if (!std::isfinite(metres)) return "?";  // a view beyond every measure
    const auto text = [](double value) {
        char buffer[32];
        const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
        return error == std::errc() ? std::string(buffer, end) : std::string("?");
    };
    if (metres >= 1000.0) return text(metres / 1000.0) + " km";
    return text(metres) + " m";
}

std::string SketchSvg(const CheckReport& report, double width, double height,
                      const SketchMarks& marks) {
    constexpr double kMargin = 60.0;
    constexpr double kSize = 6.0;  // half the size of a mark
    const SketchView view = SketchView::Fit(report, width, height, kMargin);
    const auto red = [&](std::size_t n) { return IsRed(report, n, marks); };
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
        Num(width) + "\" height=\"" + Num(height) + "\" viewBox=\"0 0 " + Num(width) + " " +
        Num(height) +
        "\" font-family=\"sans-serif\" font-size=\"12\">\n"
        "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    for (const CheckLine& line : report.lines) {
        const CheckPoint& a = report.points[line.from];
        const CheckPoint& b = report.points[line.to];
        if (!IsDrawn(a) || !IsDrawn(b)) continue;
        svg += "<line class=\"sight" + std::string(line.flagged ? " flagged" : "") + "\" x1=\"" +
               Num(view.U(a.x)) + "\" y1=\"" + Num(view.V(a.y)) + "\" x2=\"" + Num(view.U(b.x)) +
               "\" y2=\"" + Num(view.V(b.y)) + "\" stroke=\"" + (line.flagged ? "red" : "#888888") +
               "\" stroke-width=\"1\"/>\n";
    }
    for (std::size_t n = 0; n < report.points.size(); ++n) {
        const CheckPoint& p = report.points[n];
        if (!IsDrawn(p)) continue;
        const double u = view.U(p.x);
        const double v = view.V(p.y);
        const std::string colour = red(n) ? "red" : "black";
        const std::string kind = p.state == PointState::Known ? "known" : "placed";
        const std::string common = "class=\"" + kind + (red(n) ? " flagged" : "") +
                                   "\" data-name=\"" + Escaped(p.name) + "\" fill=\"" +
                                   (p.state == PointState::Known ? colour : "white") +
                                   "\" stroke=\"" + colour + "\" stroke-width=\"1.5\"";
        if (p.state == PointState::Known)
            svg += "<polygon " + common + " points=\"" + Num(u) + "," + Num(v - kSize) + " " +
                   Num(u + kSize) + "," + Num(v + kSize) + " " + Num(u - kSize) + "," +
                   Num(v + kSize) + "\"/>\n";
        else
            svg += "<circle " + common + " cx=\"" + Num(u) + "\" cy=\"" + Num(v) + "\" r=\"" +
                   Num(kSize) + "\"/>\n";
        svg += "<text x=\"" + Num(u + kSize + 3.0) + "\" y=\"" + Num(v - kSize) + "\" fill=\"" +
               colour + "\">" + Escaped(p.name) + "</text>\n";
    }
    // Scale bar at the bottom left, north arrow at the top right.
    const double bar = view.ScaleBarMetres(width / 4.0);
    const double barLength = bar * view.Scale();
    const double v = height - 20.0;
    svg += "<g class=\"scale-bar\" stroke=\"black\" stroke-width=\"2\"><line x1=\"20.00\" y1=\"" +
           Num(v) + "\" x2=\"" + Num(20.0 + barLength) + "\" y2=\"" + Num(v) + "\"/><text x=\"" +
           Num(20.0 + barLength + 6.0) + "\" y=\"" + Num(v + 4.0) + "\" stroke=\"none\">" +
           ScaleBarText(bar) + "</text></g>\n";
    const double nu = width - 30.0;
    svg += "<g class=\"north\"><polygon points=\"" + Num(nu) + ",20.00 " + Num(nu + 8.0) +
           ",50.00 " + Num(nu) + ",42.00 " + Num(nu - 8.0) + ",50.00\" fill=\"black\"/><text x=\"" +
           Num(nu - 4.0) + "\" y=\"64.00\">N</text></g>\n";
    if (const std::string unplaced = UnplacedNames(report); !unplaced.empty())
        svg += "<text class=\"unplaced\" x=\"20.00\" y=\"20.00\" fill=\"red\">niet geplaatst: " +
               Escaped(unplaced) + "</text>\n";
    svg += "</svg>\n";
    return svg;
}

}  // namespace talvik
