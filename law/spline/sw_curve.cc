#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include <law/base/output.h>
#include <law/base/tolerance.h>
#include <law/core/lawutil_errors.h>
#include <law/spline/bezier.h>
#include <law/spline/span_to_bezier.h>
#include <law/spline/sw_curve.h>

namespace {

// Parameters this close to an end or a knot count as on it.
constexpr double knot_slack = 1e-10;

double *new_block(int n) {
    return static_cast<double *>(vorn_allocate(sizeof(double) * static_cast<std::size_t>(n),
                                               VORN_MEM_DEFAULT, VORN_CALL_ARRAY, "sw_curve.cxx",
                                               __LINE__));
}

bezier_segment *new_segments(int n) {
    auto *s = static_cast<bezier_segment *>(
        vorn_allocate(sizeof(bezier_segment) * static_cast<std::size_t>(n), VORN_MEM_DEFAULT,
                      VORN_CALL_ARRAY, "sw_curve.cxx", __LINE__));
    for (int i = 0; i < n; ++i) new (s + i) bezier_segment();
    return s;
}

// What every curve must be before its block is taken: enough points for its degree, and knots
// that are numbers and do not decrease. Weights are checked where they are used, by the Bezier
// evaluation of each span (SW_BAD_WEIGHTS).
void check_curve(int K, int degree, double const *data) {
    if (degree < 0 || K < degree + 1) law_error(SW_BAD_ORDER);
    if (!data) law_error(LAW_NULL_LAW, "the block of the curve is null");
    int const nk = K + degree + 1;
    for (int i = 0; i < nk; ++i) {
        if (!std::isfinite(data[i]) || (i > 0 && data[i] < data[i - 1])) law_error(SW_BAD_KNOTS);
    }
}

}  // namespace

sw_curve::sw_curve(int last, int degree, int planar, int closed, int polynomial, int periodic,
                   double const *data) {
    build(last + 1, degree, planar, closed, polynomial, periodic, data);
}

sw_curve::sw_curve(int K, int degree, int planar, int closed, int polynomial, int periodic,
                   double const *knots, double const *weights, double const *points, double t0,
                   double t1, double const *normal) {
    if (degree < 0 || K < degree + 1) law_error(SW_BAD_ORDER);
    if (!knots || !points) law_error(LAW_NULL_LAW, "the knots or the points of the curve are null");
    int const nk = K + degree + 1;
    vorn_ptr<double> block(new_block(data_size(K, degree)));
    double *d = block.get();
    std::memcpy(d, knots, sizeof(double) * static_cast<std::size_t>(nk));
    for (int i = 0; i < K; ++i) d[nk + i] = weights ? weights[i] : 1.0;
    std::memcpy(d + nk + K, points, sizeof(double) * 3 * static_cast<std::size_t>(K));
    d[nk + 4 * K] = t0;
    d[nk + 4 * K + 1] = t1;
    for (int c = 0; c < 3; ++c) d[nk + 4 * K + 2 + c] = normal ? normal[c] : 0.0;
    build(K, degree, planar, closed, polynomial, periodic, d);
}

sw_curve::sw_curve(sw_curve const &o) : ZEM_heap() {
    build(o.K_, o.degree_, o.planar_, o.closed_, o.polynomial_, o.periodic_, o.data_);
}

// o is a valid curve, so building from its block cannot fail on its content.
sw_curve &sw_curve::operator=(sw_curve const &o) {
    if (this == &o) return *this;
    release();
    build(o.K_, o.degree_, o.planar_, o.closed_, o.polynomial_, o.periodic_, o.data_);
    return *this;
}

sw_curve::~sw_curve() { release(); }

void sw_curve::release() {
    delete_caches();
    vorn_discard(data_, VORN_CALL_ARRAY);
    data_ = nullptr;
}

void sw_curve::build(int K, int degree, int planar, int closed, int polynomial, int periodic,
                     double const *data) {
    check_curve(K, degree, data);
    K_ = K;
    degree_ = degree;
    spans_ = K - degree;
    num_knots_ = K + degree + 1;
    planar_ = planar;
    closed_ = closed;
    polynomial_ = polynomial;
    periodic_ = periodic;
    int const n = data_size(K, degree);
    data_ = new_block(n);
    std::memcpy(data_, data, sizeof(double) * static_cast<std::size_t>(n));
    knots_ = data_;
    weights_ = knots_ + num_knots_;
    points_ = weights_ + K;
    normal_ = points_ + 3 * K + 2;
    min_t_ = std::fmax(points_[3 * K], knots_[degree]);
    max_t_ = std::fmin(points_[3 * K + 1], knots_[spans_ + degree]);
    init_caches();
}

void sw_curve::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(*this));
    acc.addSize(sizeof(double) * static_cast<std::size_t>(get_data_size()));
    for (bezier_segment const *c : caches_) {
        if (!c) continue;
        acc.addSize(sizeof(bezier_segment) * static_cast<std::size_t>(spans_));
        for (int i = 0; i < spans_; ++i) {
            std::size_t const n = static_cast<std::size_t>(c[i].count);
            acc.addSize(n * sizeof(ZEM::position) + (c[i].weights ? n * sizeof(double) : 0));
        }
    }
}

sw_curve *sw_curve::copy_curve() const {
    return new sw_curve(K_ - 1, degree_, planar_, closed_, polynomial_, periodic_, data_);
}

void sw_curve::get_control_point(int i, double *p) const {
    for (int c = 0; c < 3; ++c) p[c] = points_[3 * i + c];
}

void sw_curve::set_control_point(int i, double const *p) {
    for (int c = 0; c < 3; ++c) points_[3 * i + c] = p[c];
    std::lock_guard lock(cache_mutex_);
    caches_valid_.store(false, std::memory_order_release);
}

// ---- caches

void sw_curve::init_caches() const {
    int const arrays = polynomial_ ? 3 : 1;
    for (int a = 0; a < arrays; ++a) {
        caches_[a] = new_segments(spans_);
        for (int i = 0; i < spans_; ++i) caches_[a][i].init(degree_ + 1 - a, !polynomial_);
    }
}

namespace {
// The differences of a segment's points times a factor: the derivative segment's points.
void difference_segment(bezier_segment const &from, double factor, bezier_segment &to) {
    for (int j = 0; j < to.count; ++j) {
        to.points[j] = ZEM::origin + (from.points[j + 1] - from.points[j]) * factor;
    }
}
}  // namespace

void sw_curve::set_caches() const {
    std::vector<ZEM::position> span_points(static_cast<std::size_t>(degree_ + 1));
    for (int i = 0; i < spans_; ++i) {
        for (int j = 0; j <= degree_; ++j) {
            double const *q = points_ + 3 * (i + j);
            span_points[j] = ZEM::position(q[0], q[1], q[2]);
        }
        bezier_segment &s = caches_[0][i];
        if (!polynomial_) {
            rational_span_to_bezier(degree_, knots_ + i, span_points.data(), weights_ + i, s.points,
                                    s.weights);
            continue;
        }
        span_to_bezier(degree_, knots_ + i, span_points.data(), s.points);
        difference_segment(s, degree_, caches_[1][i]);
        difference_segment(caches_[1][i], degree_ - 1, caches_[2][i]);
    }
}

void sw_curve::check_caches() const {
    if (caches_valid_.load(std::memory_order_acquire)) return;
    std::lock_guard lock(cache_mutex_);
    if (caches_valid_.load(std::memory_order_relaxed)) return;
    set_caches();
    caches_valid_.store(true, std::memory_order_release);
}

void sw_curve::delete_caches() const {
    for (bezier_segment *&c : caches_) {
        if (!c) continue;
        for (int i = 0; i < spans_; ++i) c[i].release();
        vorn_discard(c, VORN_CALL_ARRAY);
        c = nullptr;
    }
    caches_valid_.store(false, std::memory_order_release);
}

// ---- evaluation

int sw_curve::find_span(double t) const {
    // The first span whose end reaches t, then on past spans of no length.
    int lo = 0, hi = spans_;
    while (lo < hi) {
        int const mid = (lo + hi) / 2;
        if (knots_[degree_ + mid + 1] + knot_slack >= t) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    for (int i = lo; i < spans_; ++i) {
        double const start = knots_[degree_ + i], end = knots_[degree_ + i + 1];
        if (start - knot_slack > t) return -1;
        if (end - start > knot_slack) return i;
    }
    return -1;
}

void sw_curve::eval_in_span(int span, double t, ZEM::position *p, ZEM::vector *d1,
                            ZEM::vector *d2) const {
    double const start = knots_[degree_ + span];
    double const h = knots_[degree_ + span + 1] - start;
    double const u = h < resmch ? 0 : (t - start) / h;
    if (!polynomial_) {
        ZEM::vector r1, r2;
        rational_bezier_derivs(caches_[0][span], u, p, d1 ? &r1 : nullptr, d2 ? &r2 : nullptr);
        if (d1) *d1 = r1 / h;
        if (d2) *d2 = r2 / (h * h);
        return;
    }
    if (p) *p = bezier_eval(caches_[0][span], u);
    if (d1) *d1 = bezier_eval_vector(caches_[1][span].count, caches_[1][span].points, u) / h;
    if (d2) {
        *d2 = bezier_eval_vector(caches_[2][span].count, caches_[2][span].points, u) / (h * h);
    }
}

void sw_curve::eval(double t, ZEM::position *p, ZEM::vector *d1, ZEM::vector *d2) const {
    check_caches();
    if (t < min_t_ || t > max_t_) {
        double const end = t < min_t_ ? min_t_ : max_t_;
        if (std::fabs(t - end) <= knot_slack) {
            t = end;
        } else {
            // Continued along the end tangent.
            ZEM::position pe;
            ZEM::vector de;
            int const span = find_span(end);
            if (span < 0) return;
            eval_in_span(span, end, &pe, &de, nullptr);
            if (p) *p = pe + de * (t - end);
            if (d1) *d1 = de;
            if (d2) *d2 = ZEM::null_vector;
            return;
        }
    }
    int const span = find_span(t);
    if (span >= 0) eval_in_span(span, t, p, d1, d2);
}

// ---- dump and the queries it does not answer

void sw_curve::debug() const {
    zem_printf("#sw_curve info:\n");
    zem_printf("#degree: %i\n", degree_);
    zem_printf("#control points: %i\n", K_);
    zem_printf("#knots: %i\n", num_knots_);
    zem_printf("#spans: %i\n", spans_);
    zem_printf(polynomial_ ? "Polynomial\n" : "Rational\n");
    int const extra = num_knots_ - K_;
    int const before = extra - extra / 2;
    for (int i = 0; i < num_knots_; ++i) {
        int const point = i - before;
        if (point < 0 || point >= K_) {
            if (polynomial_) {
                zem_printf(
                    "#       (                  ,                   ,                   ), "
                    "%18.13lf\n",
                    knots_[i]);
            } else {
                zem_printf(
                    "#       (                  ,                   ,                   ),"
                    "                   , %18.13lf\n",
                    knots_[i]);
            }
            continue;
        }
        double const *q = points_ + 3 * point;
        if (polynomial_) {
            zem_printf("#       (%18.13lf, %18.13lf, %18.13lf), %18.13lf\n", q[0], q[1], q[2],
                       knots_[i]);
        } else {
            zem_printf("#       (%18.13lf, %18.13lf, %18.13lf), %18.13lf, %18.13lf\n", q[0], q[1],
                       q[2], weights_[point], knots_[i]);
        }
    }
}

double sw_curve::eval_curvature(double) const { law_error(NO_SW_EVAL_CURVATURE); }
double sw_curve::length_param(double, double) const { law_error(NO_SW_LENGTH_PARAM); }
double sw_curve::length(double, double) const { law_error(NO_SW_LENGTH); }
double sw_curve::point_perp(ZEM::position const &, double) const { law_error(NO_SW_POINT_PERP); }

void sw_ratio(double t0, double t, double t1, double a, double &r, double b) {
    double const h = t1 - t0;
    r = h < resmch ? a : a + (b - a) * (t - t0) / h;
}

void sw_ratio(double t0, double t, double t1, ZEM::vector const &a, ZEM::vector &r,
              ZEM::vector const &b) {
    for (int c = 0; c < 3; ++c) sw_ratio(t0, t, t1, a[c], r[c], b[c]);
}
