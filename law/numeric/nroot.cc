#include <law/numeric/nroot.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numeric>
#include <utility>
#include <vector>

#include <law/base/tolerance.h>
#include <law/core/law.h>
#include <law/numeric/root_scan.h>
#include <law/numeric/search_checks.h>
#include <law/ops/arithmetic_laws.h>

namespace {
// Neighbouring roots between which f is smaller than at one of them are one root. Merging
// restarts the pass from the first pair, and only the pair before the merged root can have
// changed, so the roots kept so far are a stack whose top pair is checked again after a merge.
void merge_neighbours(law const *f, double *r, int &n) {
    int kept = 0;
    for (int i = 0; i < n; ++i) {
        r[kept++] = r[i];
        while (kept > 1) {
            double const lo = r[kept - 2], hi = r[kept - 1], m = std::midpoint(lo, hi);
            double const Am = std::fabs(value_at(f, m)), Ap = std::fabs(value_at(f, lo)),
                         Ai = std::fabs(value_at(f, hi));
            if (Am >= Ap && Am >= Ai) break;
            r[kept - 2] = Am < Ap ? (Am < Ai ? m : hi) : lo;
            --kept;
        }
    }
    n = kept;
}

// f's derivative, formed when a sign is first judged by the slope: most stretches never need it,
// and a law that the scan found to be zero throughout may have derivatives past the budget.
class slope_law {
  public:
    explicit slope_law(law const *f) : f_(f) {}
    law const *get() const {
        if (!d_) d_ = budgeted_derivative(f_);
        return d_.get();
    }

  private:
    law const *f_;
    mutable law_ptr d_;
};

// The sign of f just right of p (towards_right) or just left of it, judged by the slope when f
// is about zero at p.
int sign_near(law const *f, slope_law const &df, double p, bool towards_right) {
    double const eps = get_resabs();
    double const y = value_at(f, p);
    if (y + eps < 0) return -1;
    if (y - eps > 0) return 1;
    if (std::fabs(y) >= eps) return 0;
    double const slope = towards_right ? value_at(df.get(), p) : -value_at(df.get(), p);
    return slope + eps < 0 ? -1 : slope - eps > 0 ? 1 : 0;
}

// A root that the scan missed in the stretch [p, c] where f changes sign, or false.
bool missed_root(law const *f, slope_law const &df, double p, double c, double &r) {
    double const eps = get_resabs();
    if (!f->in_domain(&p)) p += eps;
    if (sign_near(f, df, p, true) * sign_near(f, df, c, false) != -1 || c - p <= 2 * eps)
        return false;
    r = root_bisect(f, p + eps, c - eps);
    double const q = (r + (r - p < c - r ? p : c)) / 2;
    return std::fabs(value_at(f, r)) < eps && std::fabs(value_at(f, q)) >= eps;
}

// Inserts the roots of sign changes between neighbours (and the ends) that the scan missed. A
// root found restarts the walk from the first stretch, and the stretches before it give the same
// answer again, so the walk goes on with the stretch that now ends at the new root: the right
// ends still to visit are a stack, and a root found is pushed onto it.
void add_missed(law const *f, double a, double b, vorn_ptr<double> &roots, int &n) {
    slope_law const df(f);
    std::vector<double> ends{b};
    ends.insert(ends.end(), std::reverse_iterator(roots.get() + n),
                std::reverse_iterator(roots.get()));
    std::vector<double> kept;
    for (double left = a; !ends.empty();) {
        double found;
        if (missed_root(f, df, left, ends.back(), found)) {
            ends.push_back(found);
            continue;
        }
        left = ends.back();
        ends.pop_back();
        if (!ends.empty()) kept.push_back(left);
    }
    if (static_cast<int>(kept.size()) == n) return;
    vorn_ptr<double> grown(VORN_ARRAY(double, static_cast<long>(kept.size())));
    std::copy(kept.begin(), kept.end(), grown.get());
    roots = std::move(grown);
    n = static_cast<int>(kept.size());
}
}  // namespace

double *Nroot(law *f, double a, double b, int *n) {
    check_scalar_law(f, 1);
    check_finite_ends(a, b);
    check_given(n, "the place for the count");
    if (a > b) std::swap(a, b);
    vorn_ptr<double> roots(root_scan(f, a, b, n));
    if (!roots) return nullptr;
    merge_neighbours(f, roots.get(), *n);
    add_missed(f, a, b, roots, *n);
    return roots.release();
}

double *Nsolve(law *f, law *g, double a, double b, int *n) {
    check_scalar_law(f, 1);
    check_scalar_law(g, 1);
    if (a > b) std::swap(a, b);
    law_ptr const difference = make_law<minus_law>(f, g);
    return Nroot(difference.get(), a, b, n);
}
