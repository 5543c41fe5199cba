#include <law/core/singular_points.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

#include <law/base/memory.h>
#include <law/base/tolerance.h>
#include <law/core/deep_tree.h>
#include <law/core/law.h>

namespace {
// Points closer than this (relative to their size, at least 1) are one point.
constexpr double same_place = 16 * DBL_EPSILON;

constinit thread_local singular_hints_scope *innermost_hints = nullptr;

template <class T, class Field>
void hand_out_field(std::vector<singular_point> const &points, T **out, Field field) {
    if (!out) return;
    *out = nullptr;
    if (points.empty()) return;
    *out = VORN_ARRAY(T, static_cast<int>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) (*out)[i] = field(points[i]);
}
}  // namespace

std::vector<singular_point> singular_points_of(law const *l, double start, double end) {
    std::vector<singular_point> out;
    if (!l) return out;
    if (auto const *known = singular_range_guard::remembered(l, start, end)) return *known;
    double *where = nullptr;
    int *type = nullptr;
    double *period = nullptr;
    int const n = l->singularities(&where, &type, start, end, &period);
    vorn_ptr<double> const held_where(where), held_period(period);
    vorn_ptr<int> const held_type(type);
    for (int i = 0; i < n && where; ++i)
        out.push_back({where[i], type ? type[i] : static_cast<int>(singular_point::kink)});
    singular_range_guard::remember(l, start, end, out);
    return out;
}

singular_hints_scope::singular_hints_scope() : outer_(innermost_hints) { innermost_hints = this; }

singular_hints_scope::~singular_hints_scope() { innermost_hints = outer_; }

bool singular_hints_scope::open() { return innermost_hints != nullptr; }

void singular_hints_scope::note_incomplete() {
    if (innermost_hints) innermost_hints->complete_ = false;
}

singular_hints singular_hints_of(law const *l, double start, double end) {
    singular_hints_scope const scope;
    singular_hints hints;
    hints.points = singular_points_of(l, start, end);
    hints.complete = scope.complete();
    return hints;
}

std::vector<singular_point> singular_points_inside(law const *l, double start, double end) {
    double const eps = get_resabs();
    std::vector<singular_point> points = singular_points_of(l, start, end);
    std::erase_if(points, [&](singular_point const &p) {
        return !(p.where - start > eps && end - p.where > eps);
    });
    std::sort(points.begin(), points.end(),
              [](singular_point const &a, singular_point const &b) { return a.where < b.where; });
    std::vector<singular_point> out;
    for (singular_point const &p : points) {
        if (out.empty() || p.where - out.back().where > eps)
            out.push_back(p);
        else
            out.back().order = std::min(out.back().order, p.order);
    }
    return out;
}

int hand_out_singular_points(std::vector<singular_point> points, double start, double end,
                             double **where, int **type, double **period) {
    double const lo = std::min(start, end), hi = std::max(start, end);
    std::erase_if(points,
                  [&](singular_point const &p) { return !(p.where >= lo && p.where <= hi); });
    std::sort(points.begin(), points.end(), [](singular_point const &a, singular_point const &b) {
        return a.where < b.where || (a.where == b.where && a.order < b.order);
    });
    std::vector<singular_point> kept;
    for (singular_point const &p : points) {
        if (!kept.empty() &&
            p.where - kept.back().where <= same_place * std::max(1.0, std::fabs(p.where))) {
            kept.back().order = std::min(kept.back().order, p.order);
            continue;
        }
        kept.push_back(p);
    }
    hand_out_field(kept, where, [](singular_point const &p) { return p.where; });
    hand_out_field(kept, type, [](singular_point const &p) { return p.order; });
    hand_out_field(kept, period, [](singular_point const &) { return 0.0; });
    return static_cast<int>(kept.size());
}
