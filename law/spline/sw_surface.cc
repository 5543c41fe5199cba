#include <law/spline/sw_surface.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include <law/base/output.h>
#include <law/base/par_pos.h>
#include <law/base/tolerance.h>
#include <law/core/law.h>
#include <law/core/lawutil_errors.h>
#include <law/spline/span_to_bezier.h>

namespace {

ZEM::vector as_vector(ZEM::position const &p) { return p - ZEM::origin; }
ZEM::position as_position(ZEM::vector const &v) { return ZEM::origin + v; }

// A patch's value as a vector; a patch with no points (a second derivative of a linear
// direction) is zero.
ZEM::vector patch_vector(bezier_patch const &b, double u, double v) {
    if (b.order_s() < 1 || b.order_t() < 1) return ZEM::null_vector;
    return as_vector(b.eval(u, v));
}

// dst = (order - 1) times the forward differences of src in s (in_s) or in t.
void difference(bezier_patch const &src, bezier_patch &dst, bool in_s) {
    int const p = src.order_s() - (in_s ? 1 : 0), q = src.order_t() - (in_s ? 0 : 1);
    dst.init(p, q, 0);
    if (p < 1 || q < 1) return;
    double const degree = in_s ? p : q;
    for (int j = 0; j < q; ++j)
        for (int i = 0; i < p; ++i) {
            ZEM::position const &a = src.point(i, j);
            ZEM::position const &b = in_s ? src.point(i + 1, j) : src.point(i, j + 1);
            dst.point(i, j) = as_position((b - a) * degree);
        }
}

// Span search with a stored hint, as the evaluation of curves does it in one direction.
int find_span(double x, double const *knots, int degree, int spans, int &hint) {
    double const eps = get_resabs();
    if (hint < 0 || hint >= spans || x < knots[degree + hint] - eps) hint = 0;
    while (hint < spans && x > knots[degree + hint + 1] - eps) ++hint;
    if (hint >= spans) {
        hint = spans - 1;
        while (hint > 0 && knots[degree + hint + 1] - knots[degree + hint] < eps) --hint;
    }
    return hint;
}

// Moves a parameter within get_resabs outside [lo, hi] onto the end; farther out is an error.
double onto_range(double x, double lo, double hi) {
    double const eps = get_resabs();
    if (!(x >= lo - eps && x <= hi + eps)) law_error(SW_SURFACE_EVAL);
    return std::clamp(x, lo, hi);
}

// Bernstein to power basis of a cubic: power coefficient a of the points b.
constexpr double cubic_to_power[4][4] = {
    {1, 0, 0, 0}, {-3, 3, 0, 0}, {3, -6, 3, 0}, {-1, 3, -3, 1}};

}  // namespace

// ---- construction

// Before anything is allocated: degrees the patches can hold, enough points for them, and knots
// that are numbers and do not decrease.
void sw_surface::check_shape(int K1, int K2, int degree1, int degree2, double const *knots1,
                             double const *knots2) {
    for (int d : {degree1, degree2})
        if (d < 1 || d >= bezier_patch::max_rows) law_error(SW_BAD_ORDER);
    if (K1 <= degree1 || K2 <= degree2) law_error(SW_BAD_ORDER);
    if (!knots1 || !knots2) law_error(LAW_NULL_LAW, "the knots of the surface are null");
    auto check = [](double const *k, int n) {
        for (int i = 0; i < n; ++i)
            if (!std::isfinite(k[i]) || (i > 0 && k[i] < k[i - 1])) law_error(SW_BAD_KNOTS);
    };
    check(knots1, K1 + degree1 + 1);
    check(knots2, K2 + degree2 + 1);
}

void sw_surface::allocate_block(char const *file) {
    data_ = static_cast<double *>(
        vorn_allocate(sizeof(double) * static_cast<std::size_t>(get_data_size()), VORN_MEM_DEFAULT,
                      VORN_CALL_ARRAY, file, __LINE__));
}

// The shape and flags, checked, and a block of the right size; the public constructors fill it.
sw_surface::sw_surface(int K1, int K2, int degree1, int degree2, int const (&flags)[5],
                       double const *knots1, double const *knots2)
    : K1_(K1),
      K2_(K2),
      degree1_(degree1),
      degree2_(degree2),
      closed1_(flags[0]),
      closed2_(flags[1]),
      polynomial_(flags[2]),
      periodic1_(flags[3]),
      periodic2_(flags[4]) {
    check_shape(K1, K2, degree1, degree2, knots1, knots2);
    allocate_block("sw_surface.cxx");
}

sw_surface::sw_surface(int last1, int last2, int degree1, int degree2, int closed1, int closed2,
                       int polynomial, int periodic1, int periodic2, double const *data)
    : sw_surface(last1 + 1, last2 + 1, degree1, degree2,
                 {closed1, closed2, polynomial, periodic1, periodic2}, data,
                 data ? data + last1 + 1 + degree1 + 1 : nullptr) {
    std::memcpy(data_, data, sizeof(double) * static_cast<std::size_t>(get_data_size()));
    finish_init();
}

sw_surface::sw_surface(int K1, int K2, int degree1, int degree2, int closed1, int closed2,
                       int polynomial, int periodic1, int periodic2, double *knots1, double *knots2,
                       double *weights, ZEM::position *points, double min_s, double max_s,
                       double min_t, double max_t)
    : sw_surface(K1, K2, degree1, degree2, {closed1, closed2, polynomial, periodic1, periodic2},
                 knots1, knots2) {
    // The shape's constructor has run: the destructor gives the block back.
    if (!points) law_error(LAW_NULL_LAW, "the points of the surface are null");
    int const n1 = K1 + degree1 + 1, n2 = K2 + degree2 + 1, n = K1 * K2;
    double *out = data_;
    out = std::copy(knots1, knots1 + n1, out);
    out = std::copy(knots2, knots2 + n2, out);
    for (int k = 0; k < n; ++k) *out++ = weights ? weights[k] : 1.0;
    for (int k = 0; k < n; ++k)
        for (int c = 0; c < 3; ++c) *out++ = points[k][c];
    *out++ = min_s;
    *out++ = max_s;
    *out++ = min_t;
    *out = max_t;
    finish_init();
}

sw_surface::sw_surface(sw_surface const &other)
    : sw_surface(other.get_K1(), other.get_K2(), other.degree1_, other.degree2_, other.closed1_,
                 other.closed2_, other.polynomial_, other.periodic1_, other.periodic2_,
                 other.data_) {}

sw_surface &sw_surface::operator=(sw_surface const &other) {
    if (this == &other) return *this;
    sw_surface copy(other);
    std::swap(K1_, copy.K1_);
    std::swap(K2_, copy.K2_);
    std::swap(degree1_, copy.degree1_);
    std::swap(degree2_, copy.degree2_);
    std::swap(closed1_, copy.closed1_);
    std::swap(closed2_, copy.closed2_);
    std::swap(polynomial_, copy.polynomial_);
    std::swap(periodic1_, copy.periodic1_);
    std::swap(periodic2_, copy.periodic2_);
    std::swap(data_, copy.data_);
    delete_caches();
    finish_init();
    return *this;
}

sw_surface::~sw_surface() {
    delete_caches();
    vorn_discard(data_);
}

sw_surface *sw_surface::copy_surface() const { return new sw_surface(*this); }

void sw_surface::finish_init() {
    order1_ = degree1_ + 1;
    order2_ = degree2_ + 1;
    spans1_ = K1_ - degree1_;
    spans2_ = K2_ - degree2_;
    knots1_count_ = K1_ + degree1_ + 1;
    knots2_count_ = K2_ + degree2_ + 1;
    knots1_ = data_;
    knots2_ = knots1_ + knots1_count_;
    weights_ = knots2_ + knots2_count_;
    points_ = reinterpret_cast<ZEM::position *>(weights_ + K1_ * K2_);
    double const *range = weights_ + 4 * K1_ * K2_;
    min_s_ = std::max(range[0], knots1_[degree1_]);
    max_s_ = std::min(range[1], knots1_[spans1_ + degree1_]);
    min_t_ = std::max(range[2], knots2_[degree2_]);
    max_t_ = std::min(range[3], knots2_[spans2_ + degree2_]);
    hint_s_ = hint_t_ = 0;
    bicubic_ = degree1_ == 3 && degree2_ == 3 && polynomial_;
    init_caches();
}

void sw_surface::set_control_point(int i, int j, ZEM::position &p) {
    points_[K1_ * j + i] = p;
    delete_caches();
}

void sw_surface::get_control_point(int i, int j, ZEM::position &p) const {
    p = points_[K1_ * j + i];
}

// ---- caches

void sw_surface::init_caches() {
    cache_level_ = -1;
    work_net_.assign(static_cast<std::size_t>(4 * order1_ * order2_), 1.0);
}

void sw_surface::delete_caches() {
    value_patches_.clear();
    derivative_patches_.clear();
    weight_derivative_patches_.clear();
    power_values_.clear();
    power_derivatives_.clear();
    cache_level_ = -1;
}

void sw_surface::check_caches(int derivatives) {
    if (cache_level_ < 0 || (derivatives && cache_level_ < 2)) set_caches(derivatives);
}

void sw_surface::set_caches(int derivatives) {
    std::size_t const n = static_cast<std::size_t>(spans1_ * spans2_);
    if (cache_level_ < 0) {
        value_patches_ = std::vector<bezier_patch>(n);
        if (bicubic_) power_values_.resize(n);
        for (int j = 0; j < spans2_; ++j)
            for (int i = 0; i < spans1_; ++i) {
                bspline_to_bezier_patch(i, j);
                if (bicubic_) bezier_patch_to_power_patch(i, j);
            }
        cache_level_ = 0;
    }
    if (derivatives && cache_level_ < 2) {
        if (bicubic_) {
            power_derivatives_.resize(n);
        } else {
            derivative_patches_ = std::vector<derivative_patches>(n);
            if (!polynomial_) weight_derivative_patches_ = std::vector<derivative_patches>(n);
        }
        for (int j = 0; j < spans2_; ++j)
            for (int i = 0; i < spans1_; ++i) {
                if (bicubic_)
                    set_derivative_p_caches(i, j);
                else
                    set_derivative_b_caches(i, j);
            }
        cache_level_ = 2;
    }
}

// Rows of the span pair's net go to Bezier form in s, then the columns of the result in t, as
// weighted points (x w, y w, z w, w) so that one conversion serves both kinds of surface.
void sw_surface::bspline_to_bezier_patch(int i, int j) {
    bezier_patch &patch = value_patches_[static_cast<std::size_t>(spans1_ * j + i)];
    patch.init(order1_, order2_, !polynomial_);
    double *net = work_net_.data();  // 4 doubles per point of the patch, row by row
    double in[4 * bezier_patch::max_rows], out[4 * bezier_patch::max_rows];
    for (int b = 0; b < order2_; ++b) {
        for (int a = 0; a < order1_; ++a) {
            int const k = K1_ * (j + b) + i + a;
            for (int c = 0; c < 3; ++c) in[4 * a + c] = points_[k][c] * weights_[k];
            in[4 * a + 3] = weights_[k];
        }
        span_to_bezier(degree1_, knots1_ + i, 4, in, net + 4 * order1_ * b);
    }
    for (int a = 0; a < order1_; ++a) {
        for (int b = 0; b < order2_; ++b)
            for (int c = 0; c < 4; ++c) in[4 * b + c] = net[4 * (order1_ * b + a) + c];
        span_to_bezier(degree2_, knots2_ + j, 4, in, out);
        for (int b = 0; b < order2_; ++b) {
            double const w = out[4 * b + 3];
            patch.point(a, b) =
                ZEM::position(out[4 * b] / w, out[4 * b + 1] / w, out[4 * b + 2] / w);
            if (!polynomial_) patch.weights()[b * order1_ + a] = w;
        }
    }
}

void sw_surface::bezier_patch_to_power_patch(int i, int j) {
    std::size_t const k = static_cast<std::size_t>(spans1_ * j + i);
    bezier_patch const &patch = value_patches_[k];
    power_patch33 &power = power_values_[k];
    for (int a = 0; a < 4; ++a)
        for (int b = 0; b < 4; ++b) {
            ZEM::vector c = ZEM::null_vector;
            for (int x = 0; x <= a; ++x)
                for (int y = 0; y <= b; ++y)
                    c += as_vector(patch.point(x, y)) *
                         (cubic_to_power[a][x] * cubic_to_power[b][y]);
            power.coefficient(a, b) = c;
        }
}

void sw_surface::set_derivative_p_caches(int i, int j) {
    std::size_t const k = static_cast<std::size_t>(spans1_ * j + i);
    power_patch33 const &value = power_values_[k];
    power_derivatives &d = power_derivatives_[k];
    d.s = value.d_u();
    d.t = value.d_v();
    d.ss = d.s.d_u();
    d.st = d.s.d_v();
    d.tt = d.t.d_v();
}

// Differences of the value patch (of its weighted points and weights when rational).
void sw_surface::set_derivative_b_caches(int i, int j) {
    std::size_t const k = static_cast<std::size_t>(spans1_ * j + i);
    bezier_patch const &value = value_patches_[k];
    auto fill = [](bezier_patch const &base, derivative_patches &d) {
        difference(base, d.d[d_s], true);
        difference(base, d.d[d_t], false);
        difference(d.d[d_s], d.d[d_ss], true);
        difference(d.d[d_s], d.d[d_st], false);
        difference(d.d[d_t], d.d[d_tt], false);
    };
    if (polynomial_) {
        fill(value, derivative_patches_[k]);
        return;
    }
    bezier_patch weighted, weights;
    weighted.init(order1_, order2_, 0);
    weights.init(order1_, order2_, 0);
    for (int b = 0; b < order2_; ++b)
        for (int a = 0; a < order1_; ++a) {
            double const w = value.weights()[b * order1_ + a];
            weighted.point(a, b) = as_position(as_vector(value.point(a, b)) * w);
            weights.point(a, b) = ZEM::position(w, 0, 0);
        }
    fill(weighted, derivative_patches_[k]);
    fill(weights, weight_derivative_patches_[k]);
}

// ---- evaluation

sw_surface::local_point sw_surface::locate(double s, double t) {
    s = onto_range(s, min_s_, max_s_);
    t = onto_range(t, min_t_, max_t_);
    int const i = find_span(s, knots1_, degree1_, spans1_, hint_s_);
    int const j = find_span(t, knots2_, degree2_, spans2_, hint_t_);
    double const s0 = knots1_[degree1_ + i], t0 = knots2_[degree2_ + j];
    double const hs = knots1_[degree1_ + i + 1] - s0, ht = knots2_[degree2_ + j + 1] - t0;
    return {spans1_ * j + i, hs < resmch ? 0 : (s - s0) / hs, ht < resmch ? 0 : (t - t0) / ht, hs,
            ht};
}

void sw_surface::eval(double s, double t, ZEM::position *P) {
    check_caches(0);
    local_point const at = locate(s, t);
    if (!P) return;
    std::size_t const k = static_cast<std::size_t>(at.patch);
    *P = bicubic_ ? as_position(power_values_[k].eval(at.u, at.v))
                  : value_patches_[k].eval(at.u, at.v);
}

void sw_surface::rational_derivatives(local_point const &at, ZEM::position const &P, double w,
                                      ZEM::vector out[derivative_kinds]) const {
    std::size_t const k = static_cast<std::size_t>(at.patch);
    ZEM::vector A[derivative_kinds];
    double W[derivative_kinds];
    for (int d = 0; d < derivative_kinds; ++d) {
        A[d] = patch_vector(derivative_patches_[k].d[d], at.u, at.v);
        W[d] = patch_vector(weight_derivative_patches_[k].d[d], at.u, at.v).x();
    }
    ZEM::vector const p = as_vector(P);
    out[d_s] = (A[d_s] - p * W[d_s]) / w;
    out[d_t] = (A[d_t] - p * W[d_t]) / w;
    out[d_ss] = (A[d_ss] - out[d_s] * (2 * W[d_s]) - p * W[d_ss]) / w;
    out[d_st] = (A[d_st] - out[d_t] * W[d_s] - out[d_s] * W[d_t] - p * W[d_st]) / w;
    out[d_tt] = (A[d_tt] - out[d_t] * (2 * W[d_t]) - p * W[d_tt]) / w;
}

void sw_surface::eval_derivatives(double s, double t, ZEM::position *P, ZEM::vector *Ps,
                                  ZEM::vector *Pt, ZEM::vector *Pss, ZEM::vector *Pst,
                                  ZEM::vector *Ptt) {
    check_caches(1);
    local_point const at = locate(s, t);
    std::size_t const k = static_cast<std::size_t>(at.patch);
    ZEM::position value;
    ZEM::vector d[derivative_kinds];
    if (bicubic_) {
        power_derivatives const &p = power_derivatives_[k];
        value = as_position(power_values_[k].eval(at.u, at.v));
        d[d_s] = p.s.eval(at.u, at.v);
        d[d_t] = p.t.eval(at.u, at.v);
        d[d_ss] = p.ss.eval(at.u, at.v);
        d[d_st] = p.st.eval(at.u, at.v);
        d[d_tt] = p.tt.eval(at.u, at.v);
    } else if (polynomial_) {
        value = value_patches_[k].eval(at.u, at.v);
        for (int n = 0; n < derivative_kinds; ++n)
            d[n] = patch_vector(derivative_patches_[k].d[n], at.u, at.v);
    } else {
        double w = 1;
        value = value_patches_[k].eval(at.u, at.v, &w);
        rational_derivatives(at, value, w, d);
    }
    // Local derivatives to those in s and t; a span of no length contributes none.
    double const fs = at.hs < resmch ? 0 : 1 / at.hs, ft = at.ht < resmch ? 0 : 1 / at.ht;
    if (P) *P = value;
    if (Ps) *Ps = d[d_s] * fs;
    if (Pt) *Pt = d[d_t] * ft;
    if (Pss) *Pss = d[d_ss] * (fs * fs);
    if (Pst) *Pst = d[d_st] * (fs * ft);
    if (Ptt) *Ptt = d[d_tt] * (ft * ft);
}

// ---- the dump

void sw_surface::debug() const {
    zem_printf("#sw_surface info:\n");
    zem_printf("#degree: %i by %i\n", degree1_, degree2_);
    zem_printf("#control points: %i by %i\n", K1_, K2_);
    zem_printf("#knots: %i by %i\n", knots1_count_, knots2_count_);
    zem_printf("#spans: %i by %i\n", spans1_, spans2_);
    for (int i = 0; i < K1_; ++i) zem_printf("%17.2lf", knots1_[degree1_ + i - 1]);
    zem_printf("\n");
    for (int j = 0; j < K2_; ++j) {
        zem_printf("%5.2lf ", knots2_[degree2_ + j - 1]);
        for (int i = 0; i < K1_; ++i) {
            ZEM::position const &p = points_[K1_ * j + i];
            zem_printf("(%5.2lf%5.2lf%5.2lf)", p.x(), p.y(), p.z());
        }
        zem_printf("\n");
    }
}

double sw_surface_accuracy(law *f, sw_surface *S) {
    int const n1 = 2 * S->get_num_control_points1() + 2, n2 = 2 * S->get_num_control_points2() + 2;
    double const s0 = S->get_min_s(), s1 = S->get_max_s(), t0 = S->get_min_t(), t1 = S->get_max_t();
    double worst = 0;
    for (int b = 0; b < n2; ++b)
        for (int a = 0; a < n1; ++a) {
            double const s = s0 + (s1 - s0) * a / (n1 - 1), t = t0 + (t1 - t0) * b / (n2 - 1);
            ZEM::position P;
            S->eval(s, t, &P);
            ZEM::vector const v = f->evaluatePP_V(ZEM::par_pos(s, t));
            worst = std::max(worst, (as_vector(P) - v).len_sq());
        }
    return std::sqrt(worst);
}
