#include "check/Sketch.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <unordered_map>

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
                      const SketchMarks& marks, std::string_view title) {
    constexpr double kMargin = 60.0;
    constexpr double kSize = 6.0;       // half the size of a mark
    constexpr double kHead = 44.0;      // the title above the drawing
    constexpr double kLine = 16.0;      // a line of the legend and the list below it
    constexpr std::size_t kWrap = 120;  // characters of a listed finding on one line
    SketchView view = SketchView::Fit(report, width, height, kMargin);
    view.Pan(0.0, kHead);
    const auto red = [&](std::size_t n) { return IsRed(report, n, marks); };

    // The findings below the drawing, each wrapped into lines of at most kWrap characters.
    std::vector<std::vector<std::string>> listed;
    for (std::size_t i = 0; i < report.findings.size(); ++i) {
        const Finding& f = report.findings[i];
        std::string text = std::to_string(i + 1) + ". " +
                           (f.severity == Severity::Error ? "fout: " : "waarschuwing: ") + f.text;
        std::vector<std::string>& lines = listed.emplace_back();
        while (text.size() > kWrap) {
            std::size_t cut = text.rfind(' ', kWrap);
            if (cut == std::string::npos || cut == 0) cut = kWrap;
            lines.push_back(text.substr(0, cut));
            text = "    " + text.substr(text[cut] == ' ' ? cut + 1 : cut);
        }
        lines.push_back(text);
    }
    const std::size_t more = report.errorsLeftOut + report.warningsLeftOut;
    std::size_t listLines = more > 0 ? 1 : 0;
    for (const auto& lines : listed)
        listLines += lines.size();
    const double legendTop = kHead + height;
    const double listTop = legendTop + 2.0 * kLine;
    const double total = listTop + kLine * static_cast<double>(listLines) + kLine;

    // Without a width and a height the picture takes the width it is given and keeps its shape.
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
        Num(width) + " " + Num(total) + "\" font-family=\"sans-serif\" font-size=\"12\">\n";
    const std::string heading = "Netwerk" + (title.empty() ? std::string() : " " + Escaped(title)) +
                                ": " + std::to_string(report.Errors()) +
                                (report.Errors() == 1 ? " fout, " : " fouten, ") +
                                std::to_string(report.Warnings()) +
                                (report.Warnings() == 1 ? " waarschuwing" : " waarschuwingen");
    svg += "<title>" + heading +
           "</title>\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
           "<text class=\"title\" x=\"20.00\" y=\"28.00\" font-size=\"18\" font-weight=\"bold\">" +
           heading + "</text>\n";

    // The sights, a pair of points once however often and from which end it was seen: plain
    // ones in one path, red ones (an error names the sight) in another.
    std::unordered_map<std::uint64_t, bool> pairs;
    pairs.reserve(report.lines.size());
    for (const CheckLine& line : report.lines) {
        if (!IsDrawn(report.points[line.from]) || !IsDrawn(report.points[line.to])) continue;
        const std::uint64_t low = std::min(line.from, line.to);
        const std::uint64_t high = std::max(line.from, line.to);
        bool& flagged = pairs.try_emplace(low << 32 | high, false).first->second;
        flagged = flagged || line.flagged;
    }
    // A path holds a few thousand lines, so that no attribute grows beyond what XML readers take.
    constexpr int kPerPath = 4000;
    struct Paths {
        const char* head;
        std::string open, done;
        int count = 0;
        void Add(const std::string& segment) {
            open += segment;
            if (++count % kPerPath == 0) Close();
        }
        void Close() {
            if (!open.empty()) done += head + open + "\"/>\n";
            open.clear();
        }
    } plain{"<path class=\"sights\" fill=\"none\" stroke=\"#888888\" d=\"", {}, {}},
        flagged{"<path class=\"sights flagged\" fill=\"none\" stroke=\"red\" d=\"", {}, {}};
    for (const CheckLine& line : report.lines) {
        const std::uint64_t low = std::min(line.from, line.to);
        const std::uint64_t high = std::max(line.from, line.to);
        const auto at = pairs.find(low << 32 | high);
        if (at == pairs.end()) continue;
        const CheckPoint& a = report.points[line.from];
        const CheckPoint& b = report.points[line.to];
        (at->second ? flagged : plain)
            .Add("M" + Num(view.U(a.x)) + " " + Num(view.V(a.y)) + "L" + Num(view.U(b.x)) + " " +
                 Num(view.V(b.y)));
        pairs.erase(at);
    }
    plain.Close();
    flagged.Close();
    svg += plain.done + flagged.done;

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

    // The numbers of the findings at the first drawn point each names, below and beside the
    // mark, side by side where several findings name the same point.
    std::unordered_map<std::size_t, int> numbered;
    for (std::size_t i = 0; i < report.findings.size(); ++i) {
        for (const std::size_t n : report.findings[i].points) {
            if (n >= report.points.size() || !IsDrawn(report.points[n])) continue;
            const int before = numbered[n]++;
            const double u = view.U(report.points[n].x) + kSize + 2.0 + 18.0 * before;
            const double v = view.V(report.points[n].y) + kSize + 12.0;
            const std::string colour =
                report.findings[i].severity == Severity::Error ? "red" : "#b06000";
            svg += "<text class=\"finding-mark\" data-finding=\"" + std::to_string(i + 1) +
                   "\" data-name=\"" + Escaped(report.points[n].name) + "\" x=\"" + Num(u) +
                   "\" y=\"" + Num(v) + "\" fill=\"" + colour +
                   "\" font-size=\"10\" font-weight=\"bold\">" + std::to_string(i + 1) +
                   "</text>\n";
            break;
        }
    }

    // Scale bar with ticks at its ends and middle at the bottom left of the drawing, north arrow
    // at its top right.
    const double bar = view.ScaleBarMetres(width / 4.0);
    const double barLength = bar * view.Scale();
    const double v = kHead + height - 20.0;
    svg += "<g class=\"scale-bar\" stroke=\"black\" stroke-width=\"2\"><line x1=\"20.00\" y1=\"" +
           Num(v) + "\" x2=\"" + Num(20.0 + barLength) + "\" y2=\"" + Num(v) + "\"/>";
    for (const double tick : {0.0, 0.5, 1.0})
        svg += "<line class=\"tick\" x1=\"" + Num(20.0 + tick * barLength) + "\" y1=\"" +
               Num(v - (tick == 0.5 ? 4.0 : 7.0)) + "\" x2=\"" + Num(20.0 + tick * barLength) +
               "\" y2=\"" + Num(v) + "\"/>";
    svg += "<text x=\"" + Num(20.0 + barLength + 6.0) + "\" y=\"" + Num(v + 4.0) +
           "\" stroke=\"none\">" + ScaleBarText(bar) + "</text></g>\n";
    const double nu = width - 30.0;
    svg += "<g class=\"north\"><polygon points=\"" + Num(nu) + "," + Num(kHead + 20.0) + " " +
           Num(nu + 8.0) + "," + Num(kHead + 50.0) + " " + Num(nu) + "," + Num(kHead + 42.0) + " " +
           Num(nu - 8.0) + "," + Num(kHead + 50.0) + "\" fill=\"black\"/><text x=\"" +
           Num(nu - 4.0) + "\" y=\"" + Num(kHead + 64.0) + "\">N</text></g>\n";
    if (const std::string unplaced = UnplacedNames(report); !unplaced.empty())
        svg += "<text class=\"unplaced\" x=\"20.00\" y=\"" + Num(kHead + 20.0) +
               "\" fill=\"red\">niet geplaatst: " + Escaped(unplaced) + "</text>\n";

    // The legend under the drawing, then the findings with their numbers.
    const double l = legendTop + kLine;
    svg += "<g class=\"legend\"><line x1=\"0\" y1=\"" + Num(legendTop) + "\" x2=\"" + Num(width) +
           "\" y2=\"" + Num(legendTop) +
           "\" stroke=\"#cccccc\"/>"
           "<polygon points=\"26.00," +
           Num(l - 10.0) + " 32.00," + Num(l + 2.0) + " 20.00," + Num(l + 2.0) +
           "\" fill=\"black\"/><text x=\"38.00\" y=\"" + Num(l) +
           "\">bekend punt</text><circle cx=\"136.00\" cy=\"" + Num(l - 4.0) +
           "\" r=\"6.00\" fill=\"white\" stroke=\"black\" stroke-width=\"1.5\"/><text x=\"146.00\" "
           "y=\"" +
           Num(l) + "\">benaderd punt</text><circle cx=\"256.00\" cy=\"" + Num(l - 4.0) +
           "\" r=\"6.00\" fill=\"white\" stroke=\"red\" stroke-width=\"1.5\"/><text x=\"266.00\" "
           "y=\"" +
           Num(l) + "\" fill=\"red\">genoemd in een fout</text><line x1=\"396.00\" y1=\"" +
           Num(l - 4.0) + "\" x2=\"420.00\" y2=\"" + Num(l - 4.0) +
           "\" stroke=\"#888888\"/><text x=\"426.00\" y=\"" + Num(l) +
           "\">waarneming</text><text x=\"516.00\" y=\"" + Num(l) +
           "\" fill=\"red\" font-size=\"10\" font-weight=\"bold\">1</text><text x=\"528.00\" y=\"" +
           Num(l) + "\">nummer van de bevinding hieronder</text></g>\n";
    double y = listTop + kLine;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        svg += "<text class=\"finding\" data-finding=\"" + std::to_string(i + 1) +
               "\" x=\"20.00\" y=\"" + Num(y) + "\" fill=\"" +
               (report.findings[i].severity == Severity::Error ? "red" : "black") + "\">";
        for (std::size_t k = 0; k < listed[i].size(); ++k)
            svg += "<tspan x=\"20.00\" y=\"" + Num(y + kLine * static_cast<double>(k)) + "\">" +
                   Escaped(listed[i][k]) + "</tspan>";
        svg += "</text>\n";
        y += kLine * static_cast<double>(listed[i].size());
    }
    if (more > 0)
        svg += "<text class=\"finding\" x=\"20.00\" y=\"" + Num(y) + "\">... en nog " +
               std::to_string(more) + " niet getoond</text>\n";
    svg += "</svg>\n";
    return svg;
}

}  // namespace talvik
