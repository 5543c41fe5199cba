#include <algorithm>
#include <cmath>
#include <vector>

#include <law/base/tolerance.h>
#include <law/core/law.h>
#include <law/spline/create_bezier_segments.h>
#include <law/spline/fit_input.h>
#include <law/spline/fit_tangents.h>
#include <law/spline/segment_test.h>

namespace {

class segment_fitter {
  public:
    // singular: the law's singular points inside (t0, t1), ascending.
    segment_fitter(law const *f, double t0, double t1, double tol, std::vector<double> singular,
                   bezier_breakpoint_list &list)
        : f_(f), rule_(f, t0, t1), tol_(tol), list_(list), singular_(std::move(singular)) {}

    bezier_breakpoint *make(double t) {
        if (++made_ > max_fit_breakpoints) law_error(BS_ACCURACY);
        auto *b = new bezier_breakpoint;
        b->t = t;
        try {
            b->P = rule_.point(t);
            b->D = rule_.tangent(t);
        } catch (...) {
            delete b;
            throw;
        }
        return b;
    }

    // The segment test of a against b; on success a receives the inner control points.
    bool test(bezier_breakpoint &a, bezier_breakpoint const &b) const {
        double const h = b.t - a.t;
        hermite_cubic const cubic(a.P, a.D, b.P, b.D, h);
        bool const pass =
            h <= tol_ || segment_within(cubic, a.t, b.t, tol_ * tol_,
                                        [this](double t) { return f_->evaluateR_P(t); });
        if (pass) {
            a.A = cubic.c[1];
            a.B = cubic.c[2];
        }
        return pass;
    }

    void refine() {
        for (bezier_breakpoint *a = list_.head(); a && a->next;) {
            if (test(*a, *a->next)) {
                a = a->next;
                continue;
            }
            list_.insert_after(a, make(0.5 * (a->t + a->next->t)));
        }
    }

    void coarsen() {
        for (bezier_breakpoint *a = list_.head(); a;) {
            bezier_breakpoint *b = a->next, *c = b ? b->next : nullptr, *d = c ? c->next : nullptr;
            if (!d) return;
            if (singular(b->t) || singular(c->t)) {
                a = d;
                continue;
            }
            bezier_breakpoint *m = make(0.5 * (b->t + c->t));
            bezier_breakpoint copy = *a;
            if (test(copy, *m) && test(*m, *d)) {
                list_.erase_after(a);
                list_.erase_after(a);
                list_.insert_after(a, m);
                a->A = copy.A;
                a->B = copy.B;
            } else {
                delete m;
            }
            a = d;
        }
    }

    // Each singular point gets a breakpoint, with the law's tangent there.
    void add_singular_points() {
        for (double const s : singular_) list_.insert_end(make(s));
    }

  private:
    // Singular points stay breakpoints: the coarsening passes them by.
    bool singular(double t) const {
        return std::find(singular_.begin(), singular_.end(), t) != singular_.end();
    }

    law const *f_;
    fit_tangents rule_;
    double tol_;
    bezier_breakpoint_list &list_;
    std::vector<double> singular_;
    int made_ = 0;
};

}  // namespace

std::vector<double> fit_singular_points(law const *f, double t0, double t1) {
    double *where = nullptr;
    int *type = nullptr;
    int const n = f->singularities(&where, &type, t0, t1);
    vorn_ptr<double> const where_owner(where);
    vorn_ptr<int> const type_owner(type);
    double const eps = get_resabs();
    std::vector<double> out;
    for (int i = 0; i < n; ++i) {
        double const s = where[i];
        if (!(s >= t0 - eps && s <= t1 + eps) || (i > 0 && !(s > where[i - 1])))
            law_error(BAD_SINGULARITIES);
        if (s - t0 > eps && t1 - s > eps) out.push_back(s);
    }
    return out;
}

int create_bezier_segments(law *f, double t0, double t1, double tol, bezier_breakpoint_list &list) {
    check_fit_input(f, t0, t1, tol);
    segment_fitter fit(f, t0, t1, tol, fit_singular_points(f, t0, t1), list);
    list.insert_end(fit.make(t0));
    fit.add_singular_points();
    list.insert_end(fit.make(t1));
    fit.refine();
    fit.coarsen();
    return list.count_segments();
}
