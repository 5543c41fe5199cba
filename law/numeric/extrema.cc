#include <law/numeric/extrema.h>

#include <cfloat>
#include <utility>

#include <law/base/memory.h>
#include <law/base/nvector.h>
#include <law/base/tolerance.h>
#include <law/base/version.h>
#include <law/core/constant_law.h>
#include <law/core/law.h>
#include <law/numeric/nmin_nd.h>
#include <law/numeric/nroot.h>
#include <law/numeric/root_scan.h>
#include <law/numeric/search_checks.h>
#include <law/ops/comparison_laws.h>
#include <law/ops/negate_law.h>

namespace {
// From this version on, a candidate must beat the best by more than the machine tolerance.
constexpr int strict_improvement_version = 2190000;

class best_value {
  public:
    best_value(law const *f, double x) : f_(f), x_(x), y_(value_at(f, x)) {}
    void offer(double x) {
        double const y = value_at(f_, x);
        bool const better = strict_ ? y > y_ + get_resmch() : y > y_;
        if (better) {
            x_ = x;
            y_ = y;
        }
    }
    double where() const { return x_; }

  private:
    law const *f_;
    double x_;
    double y_;
    bool strict_ = get_global_version() >= strict_improvement_version;
};

// X in [a, b], as a law that is positive exactly there.
law_ptr inside_law(double a, double b) {
    law_ptr const x = make_law<identity_law>(0, 'X');
    law_ptr const lo = make_law<constant_law>(a), hi = make_law<constant_law>(b);
    law_ptr const above = make_law<greater_than_or_equal_law>(x.get(), lo.get());
    law_ptr const below = make_law<less_than_or_equal_law>(x.get(), hi.get());
    return make_law<and_law>(above.get(), below.get());
}
}  // namespace

double Nmax(law *f, double a, double b) {
    check_scalar_law(f, 1);
    check_finite_ends(a, b);
    if (a > b) std::swap(a, b);
    law_ptr const df = adopt(f->derivative(0));
    int n = 0;
    vorn_ptr<double> roots(Nroot(df.get(), a, b, &n));
    best_value best(f, a);
    best.offer(b);
    for (int i = 0; i < n; ++i) best.offer(roots.get()[i]);
    double *where = nullptr;
    int *type = nullptr;
    int const singular = f->singularities(&where, &type, -DBL_MAX, DBL_MAX);
    vorn_ptr<double> const where_held(where);
    vorn_ptr<int> const type_held(type);
    for (int i = 0; i < singular; ++i)
        if (a <= where[i] && where[i] <= b) best.offer(where[i]);
    return best.where();
}

double Nmin(law *f, double a, double b) {
    check_scalar_law(f, 1);
    law_ptr const negated = make_law<negate_law>(f);
    return Nmax(negated.get(), a, b);
}

double Nmin_quick(law *f, double a, double b, int samples, double step, double tol) {
    check_scalar_law(f, 1);
    check_finite_ends(a, b);
    check_finite(step, "the step");
    check_finite(tol, "the tolerance");
    if (a > b) std::swap(a, b);
    double best_x = a, best_y = value_at(f, a);
    for (int i = 1; i < samples; ++i) {
        double const x = a + (b - a) * i / (samples - 1);
        double const y = value_at(f, x);
        if (y < best_y) {
            best_x = x;
            best_y = y;
        }
    }
    law_ptr const constraint = inside_law(a, b);
    nvector start{best_x}, steps{step};
    double value;
    return NminND(f, constraint.get(), start, steps, &value, nullptr, tol, nullptr)[0];
}

double Nmax_quick(law *f, double a, double b, int samples, double step, double tol) {
    check_scalar_law(f, 1);
    // The handle releases the negated law also when the search raises; the error goes on.
    law_ptr const negated = make_law<negate_law>(f);
    return Nmin_quick(negated.get(), a, b, samples, step, tol);
}
