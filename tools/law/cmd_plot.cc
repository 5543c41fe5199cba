// law plot: a law of one input over [A, B] as an SVG picture.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "arguments.h"
#include "calculus.h"
#include "curve_frames.h"
#include "fitting.h"
#include "law_reader.h"
#include "numbers.h"
#include "output_file.h"
#include "sampler.h"
#include "searches.h"
#include "svg_plot.h"
#include "tool.h"

namespace law_tool {
namespace {

// How a space curve is laid onto the page.
enum class view { plane, isometric, oblique };

view view_of(arguments const &args, law const &l) {
    if (args.has("frames") && l.return_dim() != 3)
        throw usage_error("--frames draws space curves (3 outputs)");
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

// curve_of at many parameters, the law evaluated at all of them in one batch.
plane_curve_many curve_many_of(law const &l, view v) {
    int const outputs = l.return_dim();
    return [&l, outputs, v](std::vector<double> const &ts, std::vector<point2> &ps,
                            std::vector<char> &ok) {
        int const n = static_cast<int>(ts.size());
        std::vector<double> out(static_cast<std::size_t>(n * outputs));
        std::vector<int> errors(static_cast<std::size_t>(n));
        l.evaluate_many(ts.data(), out.data(), n, errors.data());
        ps.assign(ts.size(), point2{0, 0});
        ok.assign(ts.size(), 0);
        for (std::size_t k = 0; k < ts.size(); ++k) {
            double const *p = out.data() + k * static_cast<std::size_t>(outputs);
            ok[k] = errors[k] == 0 && l.in_domain(&ts[k]);
            double const q[3] = {p[0], outputs > 1 ? p[1] : 0, outputs > 2 ? p[2] : 0};
            ps[k] = outputs > 1 ? projected(v, q) : point2{ts[k], p[0]};
        }
    };
}

// The least-rotating frame (its normal and binormal) as arrows at evenly spaced parameters,
// a twelfth of the curve's extent on the page long.
std::vector<plot_arrow> frame_arrows(law const &l, double a, double b, view v,
                                     std::vector<point2> const &every) {
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

// The roots and the local extrema of a law of one output, as asked.
std::vector<plot_mark> marks_of(law const &l, double a, double b, arguments const &args) {
    std::vector<plot_mark> out;
    bool const roots = args.has("roots"), extrema = args.has("extrema");
    if (!roots && !extrema) return out;
    check_one_variable(l, "--roots and --extrema");
    if (roots)
        for (double x : roots_of(l, a, b)) out.push_back({{x, 0}, mark_kind::root});
    if (extrema)
        for (double x : extrema_of(l, a, b)) out.push_back({{x, l.eval(x)}, mark_kind::extremum});
    return out;
}

// The spline fitted to the law within tol, its control polygon, and marks at its knots.
void add_fit(law_ptr const &l, double a, double b, std::string_view tol_text,
             std::vector<plot_series> &series, std::vector<point2> &every,
             std::vector<plot_mark> &marks) {
    double const tol = read_real_option("fit", tol_text);
    if (!(tol > 0)) throw usage_error("--fit needs a tolerance above 0");
    if (l->return_dim() == 2) throw tool_error("--fit draws laws of 1 or 3 outputs");
    law_ptr const curve = as_space_curve(l);
    auto const c = fit_curve(*curve, a, b, tol, remove_knots_within_tolerance);
    sw_curve const &spline = *c;
    plane_curve const drawn = [&spline](double t, point2 &p) {
        ZEM::position q;
        spline.eval(t, &q);
        p = {q.x(), q.y()};
        return true;
    };
    sampled_curve s = sample_curve(drawn, a, b, 400);
    // Dashed, so that the law drawn under it still shows.
    series.push_back({"spline, " + std::to_string(spline.get_K()) + " control points, tolerance " +
                          number_text(tol),
                      std::move(s.stretches), true});
    stretch polygon;
    for (int i = 0; i < spline.get_K(); ++i) {
        double p[3];
        spline.get_control_point(i, p);
        polygon.push_back({p[0], p[1]});
    }
    every.insert(every.end(), polygon.begin(), polygon.end());
    series.push_back({"control polygon", {polygon}});
    double const *k = spline.get_knot_vector();
    for (int i = 0; i < spline.get_num_knots(); ++i) {
        if (i > 0 && k[i] == k[i - 1]) continue;
        point2 at;
        drawn(k[i], at);
        marks.push_back({at, mark_kind::knot});
    }
}

// How the page shows a space curve: a projection has no coordinates to tick, and shows the
// directions of the axes instead; the plane view of a curve that leaves its plane says so.
void describe_view(law const &l, double a, double b, view shown, plot_page &page) {
    if (l.return_dim() != 3) return;
    if (shown != view::plane) {
        page.ticks = false;
        for (int axis = 0; axis < 3; ++axis) {
            double unit[3] = {0, 0, 0};
            unit[axis] = 1;
            page.axis_directions.push_back(projected(shown, unit));
        }
        page.subtitle = shown == view::isometric ? "isometric view" : "oblique view";
        return;
    }
    double low = INFINITY, high = -INFINITY;
    constexpr int samples = 64;
    for (int k = 0; k <= samples; ++k) {
        double t = a + (b - a) * k / samples, out[3];
        if (!l.in_domain(&t)) continue;
        try {
            l.evaluate(&t, out);
        } catch (vorn_exception const &) {
            continue;
        }
        low = std::min(low, out[2]), high = std::max(high, out[2]);
    }
    if (!(high > low)) return;
    page.subtitle = "x and y of a space curve: z, from " + number_text(low) + " to " +
                    number_text(high) + ", not shown";
    std::fflush(stdout);
    std::fprintf(stderr,
                 "law: note: the plane view draws the curve's x and y; its z runs from %s to %s "
                 "(--view isometric or oblique shows it)\n",
                 number_text(low).c_str(), number_text(high).c_str());
}

}  // namespace

int run_plot(arguments const &args) {
    args.expect_operands(3, 3);
    int const samples =
        args.has("samples") ? read_int_option("samples", *args.value("samples"), 2, 100000) : 200;
    std::string const output = output_path(args);
    law_reader const reader(args);
    law_ptr const l = reader.read(args.operand(0));
    double a = reader.value(args.operand(1));
    double b = reader.value(args.operand(2));
    order_ends(a, b, "plot");
    check_plottable(*l);

    view const shown = view_of(args, *l);
    std::vector<law_ptr> laws{l};
    if (args.has("deriv")) laws.push_back(nth_derivative(*l, 0, 1));

    std::vector<plot_series> series;
    std::vector<point2> every;
    for (law_ptr const &each : laws) {
        sampled_curve c =
            sample_curve(curve_of(*each, shown), a, b, samples, curve_many_of(*each, shown));
        every.insert(every.end(), c.points.begin(), c.points.end());
        series.push_back({each->text(), std::move(c.stretches)});
    }
    if (every.empty())
        throw tool_error("nothing to draw: the law has no finite value on [" + number_text(a) +
                         ", " + number_text(b) + "]");
    if (args.has("deriv")) series[1].label = "derivative " + series[1].label;

    std::vector<plot_mark> marks = marks_of(*l, a, b, args);
    if (auto const fit = args.value("fit")) add_fit(l, a, b, *fit, series, every, marks);

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
    page.marks = std::move(marks);
    page.arrow_labels = {"normal (least rotation)", "binormal"};
    describe_view(*l, a, b, shown, page);
    write_file(output, render_svg(page, series));
    say_written("plot", output);
    return exit_ok;
}

}  // namespace law_tool
