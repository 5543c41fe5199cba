// law plot: a law of one input over [A, B] as an SVG picture.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "arguments.h"
#include "calculus.h"
#include "fitting.h"
#include "law_reader.h"
#include "numbers.h"
#include "sampler.h"
#include "searches.h"
#include "svg_plot.h"
#include "tool.h"

namespace law_tool {
namespace {

// The point drawn for parameter t: (t, f(t)) for a law of one output, the first two outputs
// otherwise. Errors and points outside the law's domain are gaps.
plane_curve curve_of(law const &l) {
    bool const plane = l.return_dim() > 1;
    return [&l, plane](double t, point2 &p) {
        double out[3] = {0, 0, 0};
        if (!l.in_domain(&t)) return false;
        try {
            l.evaluate(&t, out);
        } catch (vorn_exception const &) {
            return false;
        }
        p = plane ? point2{out[0], out[1]} : point2{t, out[0]};
        return true;
    };
}

// curve_of at many parameters, the law evaluated at all of them in one batch.
plane_curve_many curve_many_of(law const &l) {
    int const outputs = l.return_dim();
    return [&l, outputs](std::vector<double> const &ts, std::vector<point2> &ps,
                         std::vector<char> &ok) {
        int const n = static_cast<int>(ts.size());
        std::vector<double> out(static_cast<std::size_t>(n * outputs));
        std::vector<int> errors(static_cast<std::size_t>(n));
        l.evaluate_many(ts.data(), out.data(), n, errors.data());
        ps.assign(ts.size(), point2{0, 0});
        ok.assign(ts.size(), 0);
        for (std::size_t k = 0; k < ts.size(); ++k) {
            double const *v = out.data() + k * static_cast<std::size_t>(outputs);
            ok[k] = errors[k] == 0 && l.in_domain(&ts[k]);
            ps[k] = outputs > 1 ? point2{v[0], v[1]} : point2{ts[k], v[0]};
        }
    };
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
    series.push_back({"spline, " + std::to_string(spline.get_K()) + " control points, tolerance " +
                          number_text(tol),
                      std::move(s.stretches)});
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
        marks.push_back({at, true});
    }
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

    std::vector<law_ptr> laws{l};
    if (args.has("deriv")) laws.push_back(nth_derivative(*l, 0, 1));

    std::vector<plot_series> series;
    std::vector<point2> every;
    for (law_ptr const &each : laws) {
        sampled_curve c = sample_curve(curve_of(*each), a, b, samples, curve_many_of(*each));
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
    page.title = l->text();
    page.view = choose_view(every, plane ? nullptr : &span);
    page.legend = series.size() > 1;
    page.equal_scales = plane;
    page.marks = std::move(marks);
    write_file(output, render_svg(page, series));
    return exit_ok;
}

}  // namespace law_tool
