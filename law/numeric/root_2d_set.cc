#include <law/numeric/root_2d_set.h>

#include <cmath>

#include <law/core/law.h>
#include <law/numeric/constrained_objective.h>
#include <law/numeric/root_settings.h>

namespace {
// Two roots this many neighbourhoods apart may still be one: f decides half way between.
constexpr double reach_factor = 1000;

// r keeps the point of least value among its own, the newcomer's and the midpoint's.
void keep_lowest(Root_2D &r, complex_number p, double value, complex_number mid, double mid_value) {
    if (std::fabs(value) < std::fabs(r.value)) {
        r.point = p;
        r.value = value;
    }
    if (std::fabs(mid_value) < std::fabs(r.value)) {
        r.point = mid;
        r.value = mid_value;
    }
}
}  // namespace

Root_2D_set::~Root_2D_set() {
    while (Root_2D *r = head_) {
        head_ = r->next;
        delete r;
    }
}

int Root_2D_set::add(law *f, complex_number p, double value, double radius) {
    int index = 0;
    for (Root_2D *r = head_; r; r = r->next, ++index) {
        double const reach = r->radius + radius;
        double const distance = (p - r->point).abs();
        if (distance < reach) {
            if (radius < r->radius) *r = Root_2D(p, value, radius, r->next);
            return index;
        }
        if (distance < reach_factor * reach) {
            complex_number const mid = (p + r->point) * 0.5;
            double const mid_value = scalar_at(f, mid);
            if (std::fabs(mid_value) < root_tols().root_f_tol) {
                keep_lowest(*r, p, value, mid, mid_value);
                return index;
            }
        }
    }
    head_ = new Root_2D(p, value, radius, head_);
    return index;
}

int Root_2D_set::size() const {
    int n = 0;
    for (Root_2D *r = head_; r; r = r->next) ++n;
    return n;
}
