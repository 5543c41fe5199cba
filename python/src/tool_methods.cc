#include "tool_methods.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "errors.h"

namespace law_py::methods {
namespace {

constexpr double relative_tolerance = 1e-10;  // the tool's --rel-tol

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

std::optional<ZEM::vector> finite_unit(ZEM::vector const &v) {
    double const len = v.len();
    if (!std::isfinite(len) || len < 1e-9) return std::nullopt;
    return v / len;
}

// A unit normal of the tangent: the coordinate axis least along it, made normal.
ZEM::vector any_normal(ZEM::vector const &tangent) {
    ZEM::vector const t = normalise(tangent);
    int axis = 0;
    for (int i = 1; i < 3; ++i)
        if (std::abs(t[i]) < std::abs(t[axis])) axis = i;
    ZEM::vector e;
    e[axis] = 1;
    return normalise(e - (e % t) * t);
}

// The Frenet normal at a, where the curve bends there.
std::optional<ZEM::vector> frenet_normal(law const &curve, double a) {
    try {
        law_ptr const frenet = make_law<frenet_law>(const_cast<law *>(&curve));
        return finite_unit(frenet->evaluateR_V(a));
    } catch (vorn_exception const &) {
        return std::nullopt;  // a curve whose principal normal cannot be formed has none
    }
}

[[noreturn]] void no_tangent(double t) {
    refuse(LAW_MR, "the curve has no tangent at " + number_text(t));
}

void append(std::vector<double> &to, ZEM::vector const &v) {
    to.insert(to.end(), {v.x(), v.y(), v.z()});
}

}  // namespace

double integrate(law const &f, double a, double b, double tol) {
    return Nintegrate_adaptive(&f, a, b, tol, relative_tolerance).value;
}

root_report roots(law const &f, double a, double b) { return all_roots(&f, a, b); }

double argmin(law const &f, double a, double b) { return Nmin_global(&f, a, b).where; }

double argmax(law const &f, double a, double b) { return Nmax_global(&f, a, b).where; }

double default_cell(rec2d const &box) { return box.diagonal() / 8; }

namespace {
void by_x_then_y(std::vector<complex_number> &zeros) {
    std::sort(zeros.begin(), zeros.end(), [](complex_number p, complex_number q) {
        return p.re < q.re || (p.re == q.re && p.im < q.im);
    });
}
}  // namespace

std::vector<complex_number> all_zeros(law const &f, rec2d const &box) {
    plane_zero_set const found = ::plane_zeros(&f, box);
    if (found.on_curves)
        refuse(LAW_BAD_RANGE, f.return_dim() == 1
                                  ? "the law changes sign in the box, so its zeros form curves "
                                    "there, not points; give a law of two outputs for a system"
                                  : "the zeros form curves in the box, not isolated points");
    if (found.exhausted)
        refuse(LAW_BAD_RANGE, "the search stopped after " + std::to_string(found.cells) +
                                  " cells without settling the whole box; zeros may be missing");
    std::vector<complex_number> zeros;
    for (plane_zero const &z : found.zeros) zeros.push_back(z.point);
    by_x_then_y(zeros);
    return zeros;
}

std::vector<complex_number> quadtree_zeros(law const &f, rec2d const &box, double cell) {
    law_ptr const objective = squared_size(share(&f));
    // The quadtree divides a cell while its diagonal (input Z) is above the cell size.
    law_ptr const divide = make_law<greater_than_law>(make_law<identity_law>(2, 'Z').get(),
                                                      make_law<constant_law>(cell).get());
    int n = 0;
    vorn_ptr<complex_number> const r(Nroot2D(objective.get(), nullptr, divide.get(), box, &n));
    std::vector<complex_number> zeros(r.get(), r.get() + (r ? n : 0));
    by_x_then_y(zeros);
    return zeros;
}

void bounds(law const &f, double *min, double *max, double const *lo, double const *hi,
            double tol) {
    ZEM::interval domain;
    if (!lo && f.take_dim() == 1 && f.term_domain(0, domain) && domain.finite()) {
        double const a = domain.low(), b = domain.high();
        return bounds(f, min, max, &a, &b, tol);
    }
    if (!lo || f.take_dim() != 1) {
        f.bounds(min, max, lo, hi, tol);
        return;
    }
    for (int k = 0; k < f.return_dim(); ++k) {
        range_report const r = law_range(&f, *lo, *hi, k);
        if (!r.low_bounded || !r.high_bounded)
            refuse(LAW_UNBOUNDED, "the law has no bounds on [" + number_text(*lo) + ", " +
                                      number_text(*hi) + "]: it " +
                                      (r.high_bounded ? "falls" : "grows") +
                                      ((r.high_bounded ? r.overflows_low : r.overflows_high)
                                           ? " past the largest double, at "
                                           : " without bound near ") +
                                      number_text(r.high_bounded ? r.pole_low : r.pole_high));
        min[k] = r.low;
        max[k] = r.high;
    }
}

frame_samples frames(law const &curve, double a, double b, int n) {
    law_ptr const tangent = adopt(curve.derivative(0));
    std::optional<ZEM::vector> const start = finite_unit(tangent->evaluateR_V(a));
    if (!start) no_tangent(a);
    law_ptr const lo = make_law<constant_law>(a), hi = make_law<constant_law>(b);
    law_ptr const v = make_law<vector_law>(frenet_normal(curve, a).value_or(any_normal(*start)));
    law *members[] = {const_cast<law *>(&curve), v.get(), lo.get(), hi.get()};
    auto *frame = new min_rotation_law(members, 4);
    law_ptr const minrot = adopt<law>(frame);
    frame->set_alt_eval(1);
    frame_samples out;
    for (int k = 0; k < n; ++k) {
        double const t = n == 1 ? a : k == n - 1 ? b : a + (b - a) * k / (n - 1);
        std::optional<ZEM::vector> const unit = finite_unit(tangent->evaluateR_V(t));
        if (!unit) no_tangent(t);
        append(out.points, curve.evaluateR_V(t));
        append(out.tangents, *unit);
        append(out.normals, minrot->evaluateR_V(t));
    }
    return out;
}

std::unique_ptr<sw_curve> fit_curve(law const &curve, double a, double b, double tol,
                                    knot_removal_strategy strategy) {
    std::unique_ptr<sw_curve> out;
    fit_with_best_derivatives([&] {
        out.reset(law_to_sw_curve_in_pieces(const_cast<law *>(&curve), ZEM::interval(a, b), tol,
                                            strategy));
    });
    return out;
}

double curve_accuracy(law const &curve, sw_curve const &c) {
    return sw_curve_accuracy(const_cast<law *>(&curve), const_cast<sw_curve *>(&c));
}

fit_distance measured_distance(law const &curve, sw_curve const &c) {
    return sw_curve_distance(&curve, c);
}

fit_distance measured_distance(law const &f, sw_surface &S) { return sw_surface_distance(&f, S); }

void judge_fit(double reported, double measured, double tol, bool keep) {
    double const worst = std::max(reported, measured);
    if (keep || worst <= tol) return;
    refuse(LAW_BAD_TOLERANCE, "the fit strays " + number_text(worst) +
                                  " from the law, more than the tolerance " + number_text(tol) +
                                  "; keep=True keeps it all the same");
}

std::unique_ptr<sw_surface> fit_surface(law const &f, ZEM::interval const &s,
                                        ZEM::interval const &t, double tol, double &achieved) {
    std::unique_ptr<sw_surface> out;
    fit_with_best_derivatives([&] {
        out.reset(law_to_sw_surface(const_cast<law *>(&f), s, t, tol > 0 ? tol : resfit, achieved));
    });
    return out;
}

namespace {
std::string file_name(std::string const &path) { return path.substr(path.find_last_of('/') + 1); }
}  // namespace

bool write_iges(sw_curve const &c, std::string const &path) {
    iges_writer w(file_name(path));
    add_iges_curve(w, c);
    return w.write(path);
}

bool write_iges(sw_surface const &S, std::string const &path) {
    iges_writer w(path);
    add_iges_surface(w, S, "LAWFIT2");
    return w.write(path);
}

bool write_step(sw_curve const &c, std::string const &path) {
    step_writer w(file_name(path), {}, "LAWFIT");
    add_step_curve(w, c, "LAWFIT");
    return w.write(path);
}

bool write_step(sw_surface const &S, std::string const &path) {
    step_writer w(file_name(path), {}, "LAWFIT2");
    add_step_surface(w, S, "LAWFIT2");
    return w.write(path);
}

}  // namespace law_py::methods
