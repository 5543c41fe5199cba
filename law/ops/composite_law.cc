#include <law/ops/composite_law.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

#include <law/base/tolerance.h>
#include <law/core/counted_array.h>
#include <law/core/deep_tree.h>
#include <law/core/eval_buffer.h>
#include <law/eval/tape_emit.h>
#include <law/lang/law_list.h>
#include <law/lang/list_utils.h>
#include <law/lang/plain_code.h>
#include <law/ops/law_builders.h>

namespace {
law_list composite_registration(new composite_law(nullptr, nullptr));

// A buffer for the inner law's output, wide enough for what the outer law reads; the inputs the
// inner law does not give read as 0.
class inner_output {
  public:
    inner_output(law const *outer, law const *inner)
        : filled_(inner->return_dim()),
          buffer_(std::max({filled_, outer->take_dim(), 1})),
          size_(std::max({filled_, outer->take_dim(), 1})) {}
    double *data() { return buffer_.data(); }
    void pad() {
        for (int i = filled_; i < size_; ++i) buffer_[i] = 0.0;
    }

  private:
    int filled_;
    eval_buffer buffer_;
    int size_;
};

}  // namespace

composite_law::composite_law(law *outer, law **inner, int n)
    : binary_law(outer, build::vector(inner, n).get()) {}

int composite_law::take_size() const { return inner() ? inner()->take_dim() : 0; }

int composite_law::return_size() const { return outer() ? outer()->return_dim() : 1; }

namespace {
// The tree walk, out of line so that evaluating through the tape stays short.
[[gnu::noinline]] void walk_composite_law(composite_law const *self, double const *x, double *y) {
    if (!self->outer() || !self->inner()) law_error(LAW_EVAL);
    inner_output mid(self->outer(), self->inner());
    self->inner()->evaluate(x, mid.data());
    mid.pad();
    self->outer()->evaluate(mid.data(), y);
}
}  // namespace

void composite_law::evaluate(double const *x, double *y) const {
    if (taped_evaluate(x, y)) return;
    walk_composite_law(this, x, y);
}

// The outer law compiles at a point of the inner law's values, padded with zeros as in evaluate.
tape_values composite_law::emit_tape(tape_builder &b, tape_point const &at) const {
    if (typeid(*this) != typeid(composite_law) || !outer() || !inner()) return b.call_law(this, at);
    tape_values const mid = b.values_of(inner(), at);
    std::vector<int> slots(mid.slots.begin(), mid.slots.end());
    while (static_cast<int>(slots.size()) < std::max(outer()->take_dim(), 1))
        slots.push_back(b.constant(0));
    tape_values out = b.values_of(outer(), b.point(std::move(slots)));
    out.pure = out.pure && mid.pure;
    return out;
}

// The outer law written at a point of the inner law's values, padded with zeros.
bool composite_law::plain_form_of(plain_form &f) const {
    if (typeid(*this) != typeid(composite_law) || !outer() || !inner()) return false;
    f.members = {inner()};
    f.write = [](plain_writer &w, law const *self, std::span<plain_values const> v) {
        law const *outer = static_cast<composite_law const *>(self)->outer();
        plain_values inputs = v[0];
        while (static_cast<int>(inputs.size()) < std::max(outer->take_dim(), 1))
            inputs.push_back("0.0");
        return w.values_at(outer, w.point(std::move(inputs)));
    };
    return true;
}

void composite_law::evaluate_with_guess(double const *x, double *y, double const *guess) const {
    if (!outer() || !inner()) law_error(LAW_EVAL);
    inner_output mid(outer(), inner());
    law_ptr const undo = adopt(outer()->inverse());
    if (undo && guess) {
        // The outer law's inverse turns the guess of the result into a guess of the inner output.
        eval_buffer inner_guess(std::max({undo->return_dim(), inner()->return_dim(), 1}));
        for (int i = 0; i < std::max({undo->return_dim(), inner()->return_dim(), 1}); ++i)
            inner_guess[i] = 0.0;
        undo->evaluate(guess, inner_guess.data());
        inner()->evaluate_with_guess(x, mid.data(), inner_guess.data());
    } else {
        inner()->evaluate(x, mid.data());
    }
    mid.pad();
    outer()->evaluate_with_guess(mid.data(), y, guess);
}

void composite_law::evaluateVAR(double const *x, double *&answer, int &answer_size) const {
    if (!outer() || !inner()) law_error(LAW_EVAL);
    double *mid = nullptr;
    int mid_size = 0;
    inner()->evaluateVAR(x, mid, mid_size);
    vorn_ptr<double> held(mid);
    int const needed = std::max(outer()->take_dim(), 1);
    if (mid_size < needed) {
        double *wider = VORN_ARRAY(double, needed);
        for (int i = 0; i < needed; ++i) wider[i] = i < mid_size ? mid[i] : 0.0;
        held.reset(wider);
    }
    outer()->evaluateVAR(held.get(), answer, answer_size);
}

int composite_law::in_domain(double const *x) const {
    // The outer law is asked at the inner law's values, which the held answers are not for.
    in_domain_scope const scope(this, x);
    if (!outer() || !inner() || !in_domain_scope::sub_in_domain(inner(), x)) return 0;
    inner_output mid(outer(), inner());
    inner()->evaluate(x, mid.data());
    mid.pad();
    return outer()->in_domain(mid.data()) ? 1 : 0;
}

int composite_law::term_domain(int which, ZEM::interval &out) const {
    if (!outer() || !inner()) return law::term_domain(which, out);
    ZEM::interval result;
    if (inner()->take_dim() == 1 && inner()->return_dim() == 1) {
        law_ptr const undo = adopt(inner()->inverse());
        ZEM::interval outer_domain;
        if (undo && outer()->term_domain(0, outer_domain) && outer_domain.finite()) {
            double const y0 = undo->eval(outer_domain.start_pt());
            double const y1 = undo->eval(outer_domain.end_pt());
            result = std::fabs(y0 - y1) < get_resnor()
                         ? ZEM::interval(y0, y0)
                         : ZEM::interval(std::min(y0, y1), std::max(y0, y1));
        }
    }
    ZEM::interval own;
    int const answer = inner()->term_domain(which, own);
    out = result & own;
    return answer;
}

law *composite_law::set_range(ZEM::interval const *range, int flag) const {
    if (!range || !outer() || !inner() || !range->finite()) return nullptr;
    if (outer()->return_dim() != 1 || outer()->take_dim() > 1 || inner()->return_dim() != 1 ||
        inner()->take_dim() > 1)
        return nullptr;
    law_ptr const undo = adopt(outer()->inverse());
    if (!undo) return nullptr;
    double const y0 = undo->eval(range->start_pt()), y1 = undo->eval(range->end_pt());
    ZEM::interval const inner_range(std::min(y0, y1), std::max(y0, y1));
    law_ptr const limited = adopt(inner()->set_range(&inner_range, flag));
    return limited ? make_one(outer(), limited.get()) : nullptr;
}

namespace {
// Singular points collected from several laws, handed out in arrays from vorn_allocate.
struct singular_points {
    std::vector<double> where;
    std::vector<int> order;
    std::vector<double> extra;

    void take(double *w, int *o, double *e, int n) {
        for (int i = 0; i < n; ++i) {
            where.push_back(w ? w[i] : 0.0);
            order.push_back(o ? o[i] : 0);
            extra.push_back(e ? e[i] : 0.0);
        }
        vorn_discard(w);
        vorn_discard(o);
        vorn_discard(e);
    }
    template <class T>
    static void hand_out(std::vector<T> const &v, T **out) {
        if (!out) return;
        *out = nullptr;
        if (v.empty()) return;
        *out = VORN_ARRAY(T, static_cast<int>(v.size()));
        std::copy(v.begin(), v.end(), *out);
    }
};
}  // namespace

int composite_law::singularities(double **where, int **type, double start, double end,
                                 double **period) const {
    singular_points points;
    if (outer() && inner()) {
        double *w = nullptr, *e = nullptr;
        int *o = nullptr;
        int n = inner()->singularities(&w, &o, start, end, &e);
        points.take(w, o, e, n);
        law_ptr const undo = adopt(inner()->inverse());
        if (undo) {
            w = nullptr;
            o = nullptr;
            n = outer()->singularities(&w, &o, start, end, nullptr);
            vorn_ptr<double> const held_where(w);
            vorn_ptr<int> const held_order(o);
            // The outer law's singular points, pulled back to this law's parameter.
            for (int i = 0; i < n; ++i) {
                points.where.push_back(undo->eval(w[i]));
                points.order.push_back(-1);
                points.extra.push_back(DBL_MAX);
            }
        }
    }
    singular_points::hand_out(points.where, where);
    singular_points::hand_out(points.order, type);
    singular_points::hand_out(points.extra, period);
    return static_cast<int>(points.where.size());
}

ZEM::interval composite_law::estimate_bounds(ZEM::interval const &domain, int &failed) const {
    failed = 0;
    if (!outer() || !inner()) law_error(LAW_BAD_BOUNDS);
    bounds_scope const scope(this, domain);
    ZEM::interval const mid = bounds_scope::sub_bounds(inner(), domain, failed);
    if (failed) return mid;
    return outer()->estimate_bounds(mid, failed);
}

law *composite_law::enable_branching() const {
    if (!outer() || !inner()) return nullptr;
    law_ptr const branching = adopt(inner()->enable_branching());
    return branching ? make_one(outer(), branching.get()) : nullptr;
}

int composite_law::branches() const { return inner() ? inner()->branches() : 0; }

law *composite_law::deriv(int which) const {
    law_ptr const a = share(outer()), b = share(inner());
    law_ptr const db = build::d(b.get(), which);
    int const n = b->return_dim();
    if (n <= 1) return build::times(build::compose(build::d(a.get(), 0), b), db).release();
    if (db->zero(get_resabs())) return build::constant(0).release();
    // The chain rule over the components of the inner law.
    law_array terms(n);
    for (int k = 0; k < n; ++k) {
        law_ptr const component = build::component(db, k + 1);
        terms.push(build::times(build::compose(build::d(a.get(), k), b), component));
    }
    law_ptr const joiner = make_law<plus_law>(nullptr, nullptr);
    return make_list_law(terms.data(), n, static_cast<binary_law const *>(joiner.get()));
}

law *composite_law::sub_inverse() const {
    if (!outer() || !inner()) return nullptr;
    law_ptr const undo_outer = adopt(outer()->inverse());
    law_ptr const undo_inner = adopt(inner()->inverse());
    if (!undo_outer || !undo_inner) return nullptr;
    return build::compose(undo_inner, undo_outer).release();
}
