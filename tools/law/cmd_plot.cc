// law plot: a law of one input over [A, B] as an SVG picture.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "arguments.h"
#include "calculus.h"
#include "curve_frames.h"
#include "law_reader.h"
#include "numbers.h"
#include "sampler.h"
#include "searches.h"
#include "svg_plot.h"
#include "tool.h"

namespace law_tool {
namespace {

// How a space curve is laid onto the page.
enum class view { plane, isometric, oblique };

view view_of(arguments const &args, law const &l) {
    auto const given = args.value("view");
    if (!given) return args.has("frames") ? view::isometric : view::plane;
    if (l.return_dim() != 3) throw usage_error("--view is for laws of 3 outputs");
    if (*given == "plane") return view::plane;
    if (*given == "isometric") return view::isometric;
    if (*given == "oblique") return view::oblique;
    throw usage_error("--view is plane, isometric or oblique, not '" + std::string(*given) + "'");
}

// The page point of a point of space: its x and y in the plane view; in the isometric view the
// axes 120 degrees apart with z up; in the oblique (cabinet) view x across, z up and y receding
// at half length and 45 degrees.
point2 projected(view v, double const *p) {
    switch (v) {
        case view::isometric:
            return {(p[0] - p[1]) * std::sqrt(3.0) / 2, p[2] + (p[0] + p[1]) / 2};
        case view::oblique:
            return {p[0] + p[1] * std::sqrt(0.125), p[2] + p[1] * std::sqrt(0.125)};
        default:
            return {p[0], p[1]};
    }
}

// The point drawn for parameter t: (t, f(t)) for a law of one output, the first two outputs
// or the projected point otherwise. Errors and points outside the law's domain are gaps.
plane_curve curve_of(law const &l, view v) {
    bool const plane = l.return_dim() > 1;
    return [&l, plane, v](double t, point2 &p) {
        double out[3] = {0, 0, 0};
        if (!l.in_domain(&t)) return false;
        try {
            l.evaluate(&t, out);
        } catch (vorn_exception const &) {
            return false;
        }
        p = plane ? projected(v, out) : point2{t, out[0]};
        return true;
    };
}

// The least-rotating frame (its normal and binormal) as arrows at evenly spaced parameters,
// a twelfth of the curve's extent on the page long.
std::vector<plot_arrow> frame_arrows(law const &l, double a, double b, view v,
                                     std::vector<point2> const &every) {
    if (l.return_dim() != 3) throw usage_error("--frames draws space curves (3 outputs)");
    curve_frames const frames(l, a, b);
    double lo_x = every[0].x, hi_x = lo_x, lo_y = every[0].y, hi_y = lo_y;
    for (point2 const &p : every) {
        lo_x = std::min(lo_x, p.x), hi_x = std::max(hi_x, p.x);
        lo_y = std::min(lo_y, p.y), hi_y = std::max(hi_y, p.y);
    }
    double const length = std::hypot(hi_x - lo_x, hi_y - lo_y) / 12;
    std::vector<plot_arrow> out;
    constexpr int count = 24;
    for (int k = 0; k < count; ++k) {
        double const t = a + (b - a) * k / (count - 1);
        curve_frame const f = frames.at(t);
        ZEM::vector const normal = f.minrot, binormal = f.tangent * f.minrot;
        int colour = 0;
        for (ZEM::vector const &w : {normal, binormal}) {
            ZEM::vector const tip = f.point + length * w;
            double const from[3] = {f.point.x(), f.point.y(), f.point.z()};
            double const to[3] = {tip.x(), tip.y(), tip.z()};
            out.push_back({projected(v, from), projected(v, to), colour++});
        }
    }
    return out;
}

void check_plottable(law const &l) {
    if (l.take_dim() > 1)
        throw tool_error("plot draws laws of one input; this one takes " +
                         count_text(l.take_dim(), "input"));
    if (l.return_dim() < 1 || l.return_dim() > 3)
        throw tool_error("plot draws laws of 1, 2 or 3 outputs; this one has " +
                         count_text(l.return_dim(), "output"));
}

void write_file(std::string const &path, std::string const &text) {
    if (path == "-") {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return;
    }
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) throw tool_error("cannot write " + path + ": " + std::strerror(errno));
    bool const ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !ok)
        throw tool_error("cannot write " + path + ": " + std::strerror(errno));
}

// The roots (hollow) and the local extrema (filled) of a law of one output, as asked.
std::vector<plot_mark> marks_of(law const &l, double a, double b, arguments const &args) {
    std::vector<plot_mark> out;
    bool const roots = args.has("roots"), extrema = args.has("extrema");
    if (!roots && !extrema) return out;
    check_one_variable(l, "--roots and --extrema");
    if (roots)
        for (double x : roots_of(l, a, b)) out.push_back({{x, 0}, false});
    if (extrema)
        for (double x : extrema_of(l, a, b)) out.push_back({{x, l.eval(x)}, true});
    return out;
}

}  // namespace

int run_plot(arguments const &args) {
    args.expect_operands(3, 3);
    int const samples =
        args.has("samples") ? read_int_option("samples", *args.value("samples"), 2, 100000) : 200;
    std::string const output(args.value("output").value_or("plot.svg"));
    law_reader const reader(args);
    law_ptr const l = reader.read(args.operand(0));
    double const a = reader.value(args.operand(1));
    double const b = reader.value(args.operand(2));
    if (!(a < b) || !std::isfinite(b - a)) throw tool_error("plot needs finite ends A < B");
    check_plottable(*l);

    view const shown = view_of(args, *l);
    std::vector<law_ptr> laws{l};
    if (args.has("deriv")) laws.push_back(nth_derivative(*l, 0, 1));

    std::vector<plot_series> series;
    std::vector<point2> every;
    for (law_ptr const &each : laws) {
        sampled_curve c = sample_curve(curve_of(*each, shown), a, b, samples);
        every.insert(every.end(), c.points.begin(), c.points.end());
        series.push_back({each->text(), std::move(c.stretches)});
    }
    if (every.empty())
        throw tool_error("nothing to draw: the law has no finite value on [" + number_text(a) +
                         ", " + number_text(b) + "]");
    if (args.has("deriv")) series[1].label = "derivative " + series[1].label;

    bool const plane = l->return_dim() > 1;
    view_box const span{a, b, 0, 0};
    plot_page page;
    if (args.has("frames")) {
        page.arrows = frame_arrows(*l, a, b, shown, every);
        for (plot_arrow const &arrow : page.arrows) every.push_back(arrow.to);
    }
    page.title = l->text();
    page.view = choose_view(every, plane ? nullptr : &span);
    page.legend = series.size() > 1;
    page.equal_scales = plane;
    page.marks = marks_of(*l, a, b, args);
    write_file(output, render_svg(page, series));
    return exit_ok;
}

}  // namespace law_tool
