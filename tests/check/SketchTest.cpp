// The SVG sketch read back by xmllint: each point's mark where the plan puts it (north up,
// east right), flagged and chosen points in red, the scale bar, the north arrow.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "check/Sketch.h"
#include "support/ReadBytes.h"
#include "support/TempFolder.h"

namespace talvik {
namespace {

// What xmllint prints for an XPath expression over the file; nothing when it cannot run.
std::string XPath(const std::string& file, const std::string& expression) {
#ifdef _WIN32
    (void)file, (void)expression;
    return {};
#else
    const std::string command = "xmllint --xpath '" + expression + "' '" + file + "' 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    std::string out;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        out += buffer;
    pclose(pipe);
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
#endif
}

TEST(Sketch, MarksStandWhereThePlanPutsThem) {
#ifdef _WIN32
    GTEST_SKIP() << "xmllint runs on the build machine";
#endif
    if (std::system("xmllint --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no xmllint";
    CheckReport report;
    report.points = {
        {.name = "K1", .x = 1000.0, .y = 2000.0, .state = PointState::Known},
        {.name = "P&2", .x = 1100.0, .y = 2000.0, .state = PointState::Placed, .flagged = true},
        {.name = "P3", .x = 1000.0, .y = 2050.0, .state = PointState::Placed},
        {.name = "U4", .state = PointState::NotPlaced}};
    // The pair K1-P&2 seen from both ends, and twice from one: one line.
    report.lines = {{0, 1, true}, {1, 0, false}, {0, 1, false}, {0, 3, false}};
    report.findings = {{Severity::Error, "afstand K1-P&2: verschil 0.045 m", {1, 0}},
                       {Severity::Warning, "standplaats K1: slechts een richting", {0, 2}}};
    testing::TempFolder dir;
    const std::string file = dir.Path("net.svg");
    testing::WriteBytes(file, SketchSvg(report, 800.0, 600.0, {2}, "net&1.fld"));

    // A picture that scales: no size of its own, the drawing below a title of 44 units and
    // above the legend and the two findings.
    EXPECT_EQ(XPath(file, "string(/*/@viewBox)"), "0 0 800.00 724.00");
    EXPECT_EQ(XPath(file, "count(/*/@width)"), "0");
    EXPECT_EQ(XPath(file, "string(//*[local-name()=\"title\"])"),
              "Netwerk net&1.fld: 1 fout, 1 waarschuwing");
    EXPECT_EQ(XPath(file, "string(//*[@class=\"title\"])"),
              "Netwerk net&1.fld: 1 fout, 1 waarschuwing");
    // 100 m by 50 m into 680 by 480 units: 6.8 units a metre, the middle at (400, 344).
    const auto mark = [&](const std::string& name) {
        const std::string at = "//*[@data-name=\"" + name + "\" and not(@data-finding)]/@";
        return XPath(file, "concat(" + at + "points, " + at + "cx, \" \", " + at + "cy, \" \", " +
                               at + "stroke)");
    };
    EXPECT_EQ(mark("K1"), "60.00,508.00 66.00,520.00 54.00,520.00  black");
    EXPECT_EQ(mark("P&2"), "740.00 514.00 red");
    EXPECT_EQ(mark("P3"), "60.00 174.00 red");
    // Each finding's number beside the first point it names, and the finding listed below.
    const auto number = [&](int finding) {
        const std::string at =
            "//*[@class=\"finding-mark\" and @data-finding=\"" + std::to_string(finding) + "\"]";
        return XPath(file, "concat(" + at + "/@data-name, \" \", " + at + "/@x, \" \", " + at +
                               "/@y, \" \", " + at + ")");
    };
    EXPECT_EQ(number(1), "P&2 748.00 532.00 1");
    EXPECT_EQ(number(2), "K1 68.00 532.00 2");
    EXPECT_EQ(XPath(file, "string(//*[@class=\"finding\" and @data-finding=\"1\"])"),
              "1. fout: afstand K1-P&2: verschil 0.045 m");
    EXPECT_EQ(XPath(file, "string(//*[@class=\"finding\" and @data-finding=\"2\"])"),
              "2. waarschuwing: standplaats K1: slechts een richting");
    EXPECT_EQ(XPath(file, "string(//*[@class=\"legend\"])"),
              "bekend puntbenaderd puntgenoemd in een foutwaarneming1nummer van de bevinding "
              "hieronder");
    // Only the line between two drawn points, once, red as flagged; U4 listed, not drawn.
    EXPECT_EQ(XPath(file, "count(//*[contains(@class, \"sights\")])"), "1");
    EXPECT_EQ(XPath(file, "string(//*[contains(@class, \"sights\")]/@stroke)"), "red");
    EXPECT_EQ(XPath(file, "string(//*[contains(@class, \"sights\")]/@d)"),
              "M60.00 514.00L740.00 514.00");
    EXPECT_EQ(XPath(file, "string(//*[@class=\"unplaced\"])"), "niet geplaatst: U4");
    // 200 units at most: 20 m is 136 units, with ticks at both ends and the middle.
    EXPECT_EQ(XPath(file, "string(//*[@class=\"scale-bar\"])"), "20 m");
    EXPECT_EQ(XPath(file, "string(//*[@class=\"scale-bar\"]/*[1]/@x2)"), "156.00");
    EXPECT_EQ(XPath(file,
                    "concat(//*[@class=\"tick\"][1]/@x1, \" \", //*[@class=\"tick\"][2]/@x1, "
                    "\" \", //*[@class=\"tick\"][3]/@x1)"),
              "20.00 88.00 156.00");
    EXPECT_EQ(XPath(file, "string(//*[@class=\"north\"])"), "N");
}

// Any name and any number gives a file that XML readers take: control bytes and the bytes that
// Windows-1252 leaves undefined as the replacement character, no "nan" or "inf" anywhere, and
// a point without a finite place left out of the drawing.
TEST(Sketch, AnyNameAndAnyNumberGiveWellFormedXml) {
#ifdef _WIN32
    GTEST_SKIP() << "xmllint runs on the build machine";
#endif
    if (std::system("xmllint --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no xmllint";
    std::string controls;
    for (char c = 1; c < 0x20; ++c)
        controls += c;
    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    CheckReport report;
    report.points = {
        {.name = "K" + controls, .x = 1000.0, .y = 2000.0, .state = PointState::Known},
        {.name = "U\x81\x8D\x8F\x90\x9D\x7F",
         .x = 1100.0,
         .y = 2000.0,
         .state = PointState::Placed},
        {.name = "E\x80\xE9&<>\"'", .x = 1000.0, .y = 2050.0, .state = PointState::Placed},
        {.name = "NAN", .x = nan, .y = 2000.0, .state = PointState::Placed},
        {.name = "INF", .x = 1000.0, .y = -inf, .state = PointState::Placed},
        {.name = "FAR", .x = 1.7e308, .y = -1e300, .state = PointState::Placed},
        {.name = "FAR2", .x = -1.7e308, .y = 0.0, .state = PointState::Placed}};
    report.lines = {{0, 3, false}, {0, 4, true}, {0, 5, false}, {1, 2, false}};
    const std::string svg = SketchSvg(report);
    for (const char* bad : {"nan", "inf"})
        EXPECT_EQ(svg.find(bad), std::string::npos) << bad;
    testing::TempFolder dir;
    const std::string file = dir.Path("odd.svg");
    testing::WriteBytes(file, svg);
    EXPECT_EQ(std::system(("xmllint --noout '" + file + "'").c_str()), 0) << svg;
    // The names read back in UTF-8, one replacement character per odd byte.
    std::string replaced;
    for (std::size_t i = 0; i < controls.size(); ++i)
        replaced += "\xEF\xBF\xBD";
    EXPECT_EQ(XPath(file, "string(//*[contains(@class, \"known\")]/@data-name)"), "K" + replaced);
    EXPECT_EQ(XPath(file, "string((//*[contains(@class, \"placed\")])[1]/@data-name)"),
              "U" + replaced.substr(0, 15) + "\x7F");
    EXPECT_EQ(XPath(file, "string((//*[contains(@class, \"placed\")])[2]/@data-name)"),
              "E\xE2\x82\xAC\xC3\xA9&<>\"'");
    // NAN and INF are not drawn (and so listed); the far points are, with their lines.
    EXPECT_EQ(XPath(file, "count(//*[@data-name])"), "5");
    const std::string d = "string(//*[contains(@class, \"sights\")]/@d)";
    EXPECT_EQ(
        XPath(file, "string-length(" + d + ") - string-length(translate(" + d + ", \"M\", \"\"))"),
        "2");
    EXPECT_EQ(XPath(file, "string(//*[@class=\"unplaced\"])"), "niet geplaatst: NAN, INF");
}

}  // namespace
}  // namespace talvik
