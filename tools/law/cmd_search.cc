// law roots, solve, min, max, bounds and roots2d: the numerical searches of the library.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "arguments.h"
#include "json_text.h"
#include "law_reader.h"
#include "numbers.h"
#include "output_format.h"
#include "searches.h"
#include "tool.h"

namespace law_tool {
namespace {

struct interval_operands {
    double a, b;
};

// Operands `first` and `first + 1` as the finite ends of an interval.
interval_operands read_ends(law_reader const &reader, arguments const &args, std::size_t first) {
    double const a = reader.value(args.operand(first));
    double const b = reader.value(args.operand(first + 1));
    if (!std::isfinite(a) || !std::isfinite(b)) throw tool_error("the ends must be finite");
    return {a, b};
}

// Each parameter on a line of its own, with f there when asked; as JSON {"roots", "values"}.
void print_parameters(std::vector<double> const &xs, law const &f, bool values) {
    std::vector<double> fx;
    if (values)
        for (double const x : xs) fx.push_back(f.eval(x));
    if (json_output()) {
        json_object o;
        o.add("roots", xs);
        if (values) o.add("values", fx);
        print_json(o);
        return;
    }
    for (std::size_t i = 0; i < xs.size(); ++i) {
        if (values)
            std::printf("%s %s\n", number_text(xs[i]).c_str(), number_text(fx[i]).c_str());
        else
            std::printf("%s\n", number_text(xs[i]).c_str());
    }
}

// Pairs of numbers ("LOW HIGH", "X Y"), a line each; as JSON {key: [[a, b], ...]}.
void print_pairs(char const *key, std::vector<std::pair<double, double>> const &pairs) {
    if (json_output()) {
        json_array all;
        for (auto const &[a, b] : pairs) all.push(json_array().push(a).push(b));
        print_json(json_object().add(key, all));
        return;
    }
    for (auto const &[a, b] : pairs)
        std::printf("%s %s\n", number_text(a).c_str(), number_text(b).c_str());
}

// min and max: by the global search (from the pieces of the law), or by the library's Nmin or
// Nmax when --method names it.
int run_extremum(arguments const &args, int sign) {
    args.expect_operands(3, 3);
    char const *const what = sign > 0 ? "max" : "min";
    bool const classic = method_of(args, {"chebyshev", sign > 0 ? "nmax" : "nmin"}) != "chebyshev";
    law_reader const reader(args);
    law_ptr const l = reader.read(args.operand(0));
    check_one_variable(*l, what);
    interval_operands const ends = read_ends(reader, args, 1);
    double x = 0;
    try {
        if (classic)
            x = (sign > 0 ? Nmax : Nmin)(l.get(), ends.a, ends.b);
        else
            x = (sign > 0 ? Nmax_global : Nmin_global)(l.get(), ends.a, ends.b).where;
    } catch (vorn_exception const &e) {
        report_law_error_in_full(e);
    }
    double const value = l->eval(x);
    if (json_output())
        print_json(json_object().add("x", x).add("value", value));
    else
        std::printf("%s %s\n", number_text(x).c_str(), number_text(value).c_str());
    return exit_ok;
}

// The range of each output of a law of one input, from its pieces: an output that is unbounded
// is an error that names where.
void exact_bounds(law const &l, double a, double b) {
    std::vector<range_report> ranges;
    for (int k = 0; k < l.return_dim(); ++k) {
        try {
            ranges.push_back(law_range(&l, a, b, k));
        } catch (vorn_exception const &e) {
            report_law_error_in_full(e);
        }
        range_report const &r = ranges.back();
        if (r.low_bounded && r.high_bounded) continue;
        bool const falls = r.high_bounded;
        std::string const where = number_text(falls ? r.pole_low : r.pole_high);
        std::string const output =
            l.return_dim() > 1 ? "output " + std::to_string(k + 1) : "the law";
        std::string const how = (falls ? r.overflows_low : r.overflows_high)
                                    ? " past the largest double, at "
                                    : " without bound near ";
        throw tool_error(output + " has no bounds on [" + number_text(a) + ", " + number_text(b) +
                         "]: it " + (falls ? "falls" : "grows") + how + where);
    }
    std::vector<std::pair<double, double>> pairs;
    for (range_report const &r : ranges) pairs.emplace_back(r.low, r.high);
    print_pairs("bounds", pairs);
}

// The sum of the squares of l's outputs: zero exactly where every output is.
law_ptr squared_size(law_ptr const &l) {
    law_ptr sum;
    for (int k = 1; k <= l->return_dim(); ++k) {
        law_ptr const c = l->return_dim() == 1 ? l : build::component(l, k);
        law_ptr const sq = make_law<times_law>(c.get(), c.get());
        sum = sum ? make_law<plus_law>(sum.get(), sq.get()) : sq;
    }
    return sum;
}

unresolved_search unresolved_of(arguments const &args) {
    return args.has("keep") ? unresolved_search::keep : unresolved_search::fail;
}

}  // namespace

int run_roots(arguments const &args) {
    args.expect_operands(3, 3);
    bool const by_nroot = method_of(args, {"chebyshev", "nroot"}) == "nroot";
    law_reader const reader(args);
    law_ptr const l = reader.read(args.operand(0));
    check_one_variable(*l, "roots");
    interval_operands const ends = read_ends(reader, args, 1);
    print_parameters(roots_of(*l, ends.a, ends.b, by_nroot, unresolved_of(args)), *l,
                     args.has("values"));
    return exit_ok;
}

int run_solve(arguments const &args) {
    args.expect_operands(4, 4);
    bool const by_nroot = method_of(args, {"chebyshev", "nroot"}) == "nroot";
    law_reader const reader(args);
    law_ptr const f = reader.read(args.operand(0));
    law_ptr const g = reader.read(args.operand(1));
    check_one_variable(*f, "solve");
    check_one_variable(*g, "solve");
    interval_operands const ends = read_ends(reader, args, 2);
    law_ptr const difference = make_law<minus_law>(f.get(), g.get());
    print_parameters(roots_of(*difference, ends.a, ends.b, by_nroot, unresolved_of(args)), *f,
                     args.has("values"));
    return exit_ok;
}

int run_min(arguments const &args) { return run_extremum(args, -1); }

int run_max(arguments const &args) { return run_extremum(args, 1); }

int run_bounds(arguments const &args) {
    args.expect_operands(1, 1 + 2 * 64);
    bool const sampled = method_of(args, {"chebyshev", "sampled"}) == "sampled";
    law_reader const reader(args);
    law_ptr const l = reader.read(args.operand(0));
    double const tol = args.has("tol") ? read_real_option("tol", *args.value("tol")) : 1e-3;
    if (!(tol > 0)) throw usage_error("--tol needs a number above 0");
    std::size_t const given = args.operand_count() - 1;
    int const inputs = l->take_dim();
    if (given != 0 && given != 2 * static_cast<std::size_t>(inputs))
        throw usage_error("bounds needs a LO HI pair for each of the law's " +
                          count_text(inputs, "input") + ", or none");
    std::vector<double> lo(inputs), hi(inputs);
    for (int i = 0; given && i < inputs; ++i) {
        interval_operands const e = read_ends(reader, args, 1 + 2 * i);
        lo[i] = e.a;
        hi[i] = e.b;
    }
    ZEM::interval domain;
    if (!sampled && inputs == 1 && !given && l->term_domain(0, domain) && domain.finite()) {
        lo[0] = domain.low();
        hi[0] = domain.high();
    }
    if (!sampled && inputs == 1 && (given || domain.finite())) {
        exact_bounds(*l, lo[0], hi[0]);
        return exit_ok;
    }
    int const outputs = l->return_dim();
    std::vector<double> min(outputs), max(outputs);
    try {
        l->bounds(min.data(), max.data(), given ? lo.data() : nullptr, given ? hi.data() : nullptr,
                  tol);
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    for (int k = 0; k < outputs; ++k)
        if (!std::isfinite(min[k]) || !std::isfinite(max[k]))
            throw tool_error((outputs > 1 ? "output " + std::to_string(k + 1) : "the law") +
                             " has no finite bounds in the box (the samples give " +
                             number_text(min[k]) + " " + number_text(max[k]) +
                             "): it overflows or has a pole there");
    std::vector<std::pair<double, double>> pairs;
    for (int k = 0; k < outputs; ++k) pairs.emplace_back(min[k], max[k]);
    print_pairs("bounds", pairs);
    return exit_ok;
}

namespace {

std::vector<complex_number> quadtree_zeros(arguments const &args, law_reader const &reader,
                                           law_ptr const &l, rec2d const &box) {
    double const cell =
        args.has("cell") ? read_real_option("cell", *args.value("cell")) : box.diagonal() / 8;
    if (!(cell > 0)) throw usage_error("--cell needs a number above 0");
    law_ptr const objective = squared_size(l);
    law_ptr const divide = reader.read("Z>" + number_text(cell));
    int n = 0;
    complex_number *r = nullptr;
    try {
        r = Nroot2D(objective.get(), nullptr, divide.get(), box, &n);
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    vorn_ptr<complex_number> const held(r);
    std::vector<complex_number> zeros(r, r + n);
    std::sort(zeros.begin(), zeros.end(), [](complex_number p, complex_number q) {
        return p.re < q.re || (p.re == q.re && p.im < q.im);
    });
    return zeros;
}

// Every zero in the box, or an error that says why the answer is not a list of points.
std::vector<complex_number> all_zeros(law_ptr const &l, rec2d const &box) {
    plane_zero_set found;
    try {
        found = plane_zeros(l.get(), box);
    } catch (vorn_exception const &e) {
        report_law_error(e);
    }
    if (found.on_curves)
        throw tool_error(l->return_dim() == 1
                             ? "the law changes sign in the box, so its zeros form curves there, "
                               "not points; give a law of two outputs for a system"
                             : "the zeros form curves in the box, not isolated points");
    if (found.exhausted)
        throw tool_error("the search stopped after " + std::to_string(found.cells) +
                         " cells without settling the whole box; zeros may be missing");
    std::vector<complex_number> zeros;
    for (plane_zero const &z : found.zeros) zeros.push_back(z.point);
    return zeros;
}

}  // namespace

int run_roots2d(arguments const &args) {
    args.expect_operands(5, 5);
    if (args.has("cell") && !args.has("quadtree"))
        throw usage_error("--cell sets the cells of --quadtree");
    law_reader const reader(args);
    law_ptr const l = reader.read(args.operand(0));
    if (l->take_dim() > 2)
        throw tool_error("roots2d needs a law of at most two inputs; this one takes " +
                         count_text(l->take_dim(), "input"));
    interval_operands const xs = read_ends(reader, args, 1), ys = read_ends(reader, args, 3);
    rec2d const box(std::min(xs.a, xs.b), std::min(ys.a, ys.b), std::max(xs.a, xs.b),
                    std::max(ys.a, ys.b));
    std::vector<complex_number> const zeros =
        args.has("quadtree") ? quadtree_zeros(args, reader, l, box) : all_zeros(l, box);
    std::vector<std::pair<double, double>> pairs;
    for (complex_number const z : zeros) pairs.emplace_back(z.re, z.im);
    print_pairs("zeros", pairs);
    return exit_ok;
}

}  // namespace law_tool
