// law plot: a law of one input over [A, B] as an SVG picture.
#include <cmath>
#include <cstdio>

#include "arguments.h"
#include "calculus.h"
#include "law_reader.h"
#include "numbers.h"
#include "output_file.h"
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

void check_plottable(law const &l) {
    if (l.take_dim() > 1)
        throw tool_error("plot draws laws of one input; this one takes " +
                         count_text(l.take_dim(), "input"));
    if (l.return_dim() < 1 || l.return_dim() > 3)
        throw tool_error("plot draws laws of 1, 2 or 3 outputs; this one has " +
                         count_text(l.return_dim(), "output"));
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

    std::vector<law_ptr> laws{l};
    if (args.has("deriv")) laws.push_back(nth_derivative(*l, 0, 1));

    std::vector<plot_series> series;
    std::vector<point2> every;
    for (law_ptr const &each : laws) {
        sampled_curve c = sample_curve(curve_of(*each), a, b, samples);
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
    page.title = l->text();
    page.view = choose_view(every, plane ? nullptr : &span);
    page.legend = series.size() > 1;
    page.equal_scales = plane;
    page.marks = marks_of(*l, a, b, args);
    write_file(output, render_svg(page, series));
    return exit_ok;
}

}  // namespace law_tool
