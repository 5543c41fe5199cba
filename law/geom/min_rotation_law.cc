#include <law/geom/min_rotation_law.h>

#include <algorithm>
#include <cmath>
#include <string>

#include <law/base/options.h>
#include <law/base/tolerance.h>
#include <law/core/constant_law.h>
#include <law/geom/tree_arithmetic.h>
#include <law/lang/law_list.h>

namespace {
law_list reg(new min_rotation_law());

// Cosine of one degree: the refined step may turn this far from the plain one.
constexpr double refined_agreement = 0.9998476952;
constexpr double chord_tiny = 1e-12;
// A tangent this much shorter than at the samples around it counts as vanished; the golden
// sections narrow the search to 0.618^80 (1e-17) of a step.
constexpr double vanishing_tangent = 1e-6;
constexpr int golden_steps = 80;

// The path, the start vector and the two ends.
std::vector<law_ptr> rotation_members(law **subs, int n) {
    if (!subs || (n != 2 && n != 4)) law_error(LAW_MR_NUM, std::to_string(n) + " members");
    check_non_null(subs, n);
    if (subs[0]->take_dim() > 1 || subs[0]->return_dim() != 3 || subs[1]->return_dim() != 3)
        law_error(LAW_DIM);
    std::vector<law_ptr> out{share(subs[0]), share(subs[1])};
    if (n == 4) {
        if (subs[2]->take_dim() != 0 || subs[3]->take_dim() != 0) law_error(LAW_BASE_C);
        out.push_back(share(subs[2]));
        out.push_back(share(subs[3]));
        return out;
    }
    ZEM::interval dom;
    if (!subs[0]->term_domain(0, dom) || !dom.finite()) law_error(LAW_MR_NUM);
    out.push_back(build::constant(dom.start_pt()));
    out.push_back(build::constant(dom.end_pt()));
    return out;
}

std::vector<law *> raw(std::vector<law_ptr> const &members) {
    std::vector<law *> out;
    for (law_ptr const &m : members) out.push_back(m.get());
    return out;
}

// v with its part along the unit vector t removed, of length one; LAW_MR when nothing is left.
ZEM::vector normal_part(ZEM::vector const &v, ZEM::vector const &t) {
    ZEM::vector const n = v - (v % t) * t;
    double const len = n.len();
    if (!(len > get_resnor() * std::max(1.0, v.len()))) law_error(LAW_MR);
    return n / len;
}

ZEM::vector reflected(ZEM::vector const &v, ZEM::vector const &normal, double normal_sq) {
    return v - (2 * (normal % v) / normal_sq) * normal;
}

int sample_count(int requested) {
    if (requested >= 1) return requested;
    return std::max(1, get_option("min_rot_samples"));
}
}  // namespace

min_rotation_law::min_rotation_law() : multiple_law(nullptr, 0) {}

min_rotation_law::min_rotation_law(law **laws, int n, int samples)
    : min_rotation_law(laws, n, samples, 0) {}

min_rotation_law::min_rotation_law(law **laws, int n, int samples, int alt)
    : multiple_law(raw(rotation_members(laws, n)).data(), 4),
      tangent_(adopt(fsub()[0]->derivative(0))),
      requested_(samples),
      alt_(alt) {
    build_table();
}

law *min_rotation_law::make_one(law **subs, int n) const {
    return new min_rotation_law(subs, n, requested_, alt_);
}

double min_rotation_law::start() const { return fsub()[2]->eval(0.0); }
double min_rotation_law::end() const { return fsub()[3]->eval(0.0); }

ZEM::vector min_rotation_law::unit_tangent(double t) const {
    ZEM::vector const d = tangent_->evaluateR_V(t);
    double const len = d.len();
    if (!(len > 0) || !std::isfinite(len))
        law_error(LAW_NO_TANGENT, "the path of MINROT has no tangent at " + number_string(t));
    return d / len;
}

// Where the tangent turns back between two samples (at a cusp, as (X^2,X^3,0) at 0) the path
// has no tangent direction in between and no frame can be carried across: the smallest length
// of the tangent on [a, b], found by golden sections, tells a cusp from a path that bends more
// than a right angle between two samples.
void min_rotation_law::check_turn(double a, double b, ZEM::vector const &da,
                                  ZEM::vector const &db) const {
    if (!(da % db < 0)) return;
    constexpr double ratio = 0.6180339887498949;
    auto length = [this](double t) { return tangent_->evaluateR_V(t).len(); };
    double lo = a, hi = b;
    double u = hi - ratio * (hi - lo), v = lo + ratio * (hi - lo);
    double lu = length(u), lv = length(v);
    for (int i = 0; i < golden_steps; ++i) {
        if (lu < lv) {
            hi = v, v = u, lv = lu;
            u = hi - ratio * (hi - lo), lu = length(u);
        } else {
            lo = u, u = v, lu = lv;
            v = lo + ratio * (hi - lo), lv = length(v);
        }
    }
    double const smallest = std::min(lu, lv), scale = std::max(da.len(), db.len());
    if (smallest <= vanishing_tangent * scale)
        law_error(LAW_NO_TANGENT, "the tangent of the path of MINROT vanishes near " +
                                      number_string(lu < lv ? u : v));
}

ZEM::vector min_rotation_law::carried(ZEM::vector const &v, double t, double to) const {
    ZEM::vector const t1 = unit_tangent(to);
    ZEM::vector const plain = normal_part(v, t1);
    if (!alt_) return plain;
    law const *path = fsub()[0];
    ZEM::vector const chord = path->evaluateR_P(to) - path->evaluateR_P(t);
    double const c1 = chord.len_sq();
    if (!(c1 > chord_tiny)) return plain;
    ZEM::vector const t0 = unit_tangent(t);
    // The first reflection maps the frame at t onto the frame's mirror at the new point; the
    // second, in the plane bisecting the mirrored and the new tangent, restores the tangent.
    ZEM::vector const r = reflected(normal_part(v, t0), chord, c1);
    ZEM::vector const bisector = t1 - reflected(t0, chord, c1);
    double const c2 = bisector.len_sq();
    ZEM::vector const refined = normal_part(c2 > 0 ? reflected(r, bisector, c2) : r, t1);
    return refined % plain >= refined_agreement ? refined : plain;
}

void min_rotation_law::build_table() {
    int const n = sample_count(requested_);
    double const t0 = start(), t1 = end();
    if (!std::isfinite(t0) || !std::isfinite(t1))
        law_error(LAW_MR, "the ends " + number_string(t0) + " and " + number_string(t1) +
                              " are not both finite");
    table_.assign(1, fsub()[1]->evaluateR_V(0.0));
    // The start vector needs a part normal to the tangent.
    normal_part(table_[0], unit_tangent(t0));
    table_.reserve(static_cast<std::size_t>(n));
    ZEM::vector before = tangent_->evaluateR_V(t0);
    for (int k = 1; k < n; ++k) {
        double const a = t0 + (k - 1) * (t1 - t0) / (n - 1), b = t0 + k * (t1 - t0) / (n - 1);
        ZEM::vector const after = tangent_->evaluateR_V(b);
        check_turn(a, b, before, after);
        before = after;
        table_.push_back(carried(table_.back(), a, b));
    }
}

void min_rotation_law::set_alt_eval(int flag) {
    if (!fsub()) return;
    alt_ = flag != 0;
    build_table();
}

void min_rotation_law::evaluate(double const *x, double *answer) const {
    if (table_.empty()) law_error(LAW_EVAL);
    int const n = samples();
    double const t0 = start(), step = n > 1 ? (end() - t0) / (n - 1) : 0;
    double const t = x[0];
    double const where = step != 0 ? std::trunc((t - t0) / step) : 0;
    int const k = static_cast<int>(std::clamp(std::isnan(where) ? 0.0 : where, 0.0, n - 1.0));
    ZEM::vector const v = carried(table_[k], t0 + k * step, t);
    for (int i = 0; i < 3; ++i) answer[i] = v[i];
}

int min_rotation_law::term_domain(int which, ZEM::interval &out) const {
    if (!fsub() || which != 0) return multiple_law::term_domain(which, out);
    out = ZEM::interval(std::min(start(), end()), std::max(start(), end()));
    return 1;
}

law *min_rotation_law::deriv(int which) const {
    using namespace tree;
    if (!fsub()) law_error(LAW_DERIV);
    if (which != 0) return num(0).release();
    law_ptr const self = adopt(make_one(fsub(), fsub_num()));
    law_ptr const tangent = unit(tangent_);
    return (-(dot(self, d(tangent, 0)) * tangent)).release();
}

void min_rotation_law::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(min_rotation_law) - sizeof(multiple_law));
    acc.addSize(sizeof(ZEM::vector) * table_.capacity());
    multiple_law::full_size(acc, count_self);
    if (tangent_) tangent_->full_size(acc, 1);
}
