#pragma once
// Adaptive sampling of a plane curve t -> (x, y): dense where it bends, broken where it is
// undefined or jumps.
#include <functional>
#include <span>
#include <vector>

namespace law_tool {

struct point2 {
    double x, y;
};

// One piece of curve drawn without lifting the pen.
using stretch = std::vector<point2>;

// The visible window of a picture.
struct view_box {
    double x0 = 0, x1 = 1, y0 = 0, y1 = 1;
};

// A curve: true with the point at t, false where the curve is undefined at t.
using plane_curve = std::function<bool(double t, point2 &p)>;
// The same at many parameters at once: ok[k] tells whether ps[k] is the point at ts[k].
using plane_curve_many = std::function<void(std::vector<double> const &ts, std::vector<point2> &ps,
                                            std::vector<char> &ok)>;

struct sampled_curve {
    std::vector<stretch> stretches;
    // The defined samples of the even steps: unlike the refined ones, they do not crowd around
    // poles, so they choose the window.
    std::vector<point2> points;
};

// Samples f on [a, b] from n even steps, refined where the curve bends until it looks smooth at
// the scale of the curve's own window, within a budget of evaluations. Undefined stretches and
// jumps become gaps between stretches. The even steps go to many at once when it is given.
sampled_curve sample_curve(plane_curve const &f, double a, double b, int n,
                           plane_curve_many const &many = {});

// A window that shows the points, cutting off the far values of poles. With x_range the
// horizontal extent is [x_range.x0, x_range.x1] instead of one taken from the points.
view_box choose_view(std::span<point2 const> points, view_box const *x_range);

}  // namespace law_tool
