#pragma once
// The network sketch: where a painter draws the points of a check report. One view maps plan
// coordinates (X east, Y north, metres) onto a canvas (u right, v down, canvas units); the SVG
// writer here, and the windows of both fronts, draw through it.

#include <string>
#include <vector>

#include "check/NetworkCheck.h"

namespace talvik {

class SketchView {
  public:
    // The placed points fill the canvas less a margin on every side, north up.
    static SketchView Fit(const CheckReport& report, double width, double height, double margin);

    double U(double x) const { return (x - x0_) * scale_ + u0_; }
    double V(double y) const { return (y0_ - y) * scale_ + v0_; }
    double X(double u) const { return (u - u0_) / scale_ + x0_; }
    double Y(double v) const { return y0_ - (v - v0_) / scale_; }
    double Scale() const { return scale_; }  // canvas units per metre

    // Zooms by `factor` keeping the plan point under (u, v) where it is; moves by (du, dv).
    void Zoom(double factor, double u, double v);
    void Pan(double du, double dv);
    // The keys of a sketch on a canvas of `width` x `height`: + and - zoom about the middle,
    // the arrows move the network an eighth of the canvas that way.
    enum class Key { ZoomIn, ZoomOut, Left, Right, Up, Down };
    void Step(Key key, double width, double height);
    // The canvas changed size: the scale stays, and the plan point in the middle stays there.
    void Resize(double oldWidth, double oldHeight, double width, double height);

    // A length of 1, 2 or 5 times a power of ten metres that takes at most `room` canvas units.
    double ScaleBarMetres(double room) const;

  private:
    double scale_ = 1.0;
    double x0_ = 0.0;
    double y0_ = 0.0;
    double u0_ = 0.0;
    double v0_ = 0.0;
};

// The text of a scale bar's length: "20 m", "0.5 m", "2 km".
std::string ScaleBarText(double metres);

// Points to mark beside the flagged ones (a finding chosen in a window): indices into
// report.points.
using SketchMarks = std::vector<std::size_t>;

// What every painter draws alike: only the points with a place (known or placed) and the lines
// between two of them; red a flagged point or a marked one; the names of the points without a
// place, for a note beside the sketch.
bool IsDrawn(const CheckPoint& p);
bool IsRed(const CheckReport& report, std::size_t point, const SketchMarks& marks);
std::string UnplacedNames(const CheckReport& report);  // ", " between them

// How a window draws a point: the points of the chosen finding in full red and larger, the
// other points an error names in a softer red, the rest plain. Nothing is chosen before the
// user chooses, so nothing is in full red then.
enum class Mark { Plain, Named, Chosen };
Mark MarkOf(const CheckReport& report, std::size_t point, const SketchMarks& chosen);
// The drawn point nearest to (u, v) within `radius` canvas units; report.points.size() when none.
std::size_t PointAt(const CheckReport& report, const SketchView& view, double u, double v,
                    double radius);

// The sketch as an SVG document (Windows-1252 text, as the names are) that scales to the width
// it is shown at: a title (`title`, the field file, with the count of findings), the drawing
// (`width` x `height` units: known points as triangles, placed points as circles, each with its
// name, the sights as lines, one per pair of points, flagged and marked items in red, the
// number of each finding beside the first point it names, a scale bar with ticks and a north
// arrow), a legend, and the findings listed with their numbers. Every mark carries its point's
// name in `data-name`, every number and listed finding its number in `data-finding`.
std::string SketchSvg(const CheckReport& report, double width = 800.0, double height = 600.0,
                      const SketchMarks& marks = {}, std::string_view title = {});

}  // namespace talvik
