#include <law/ops/negate_law.h>

#include <memory>

#include <law/core/deep_tree.h>
#include <law/core/law_polynomial.h>
#include <law/eval/tape_emit.h>
#include <law/lang/law_list.h>
#include <law/lang/plain_code.h>
#include <law/ops/law_builders.h>

namespace {
law_list negate_registration(new negate_law(nullptr));
}  // namespace

namespace {
// The tree walk, out of line so that evaluating through the tape stays short.
[[gnu::noinline]] void walk_negate_law(negate_law const *self, double const *x, double *y) {
    if (!self->fsub()) law_error(LAW_EVAL);
    self->fsub()->evaluate(x, y);
    for (int i = 0, n = self->fsub()->return_dim(); i < n; ++i) y[i] = -y[i];
}
}  // namespace

void negate_law::evaluate(double const *x, double *y) const {
    if (taped_evaluate(x, y)) return;
    walk_negate_law(this, x, y);
}

tape_values negate_law::emit_tape(tape_builder &b, tape_point const &at) const {
    return emit_each_value(this, b, at,
                           [](tape_builder &t, int s) { return t.op(tape_code::neg, s); });
}

// Each value negated, as the tape takes it.
bool negate_law::plain_form_of(plain_form &f) const {
    if (typeid(*this) != typeid(negate_law) || !fsub()) return false;
    f.members = {fsub()};
    f.write = [](plain_writer &w, law const *, std::span<plain_values const> v) {
        plain_values out;
        for (std::string const &s : v[0]) out.push_back(w.value("-" + s));
        return out;
    };
    return true;
}

law *negate_law::deriv(int which) const { return build::negate(build::d(fsub(), which)).release(); }

law_polynomial *negate_law::polynomial(law *in) const {
    if (!fsub()) law_error(LAW_EVAL);
    polynomial_scope const scope(this, in);
    std::unique_ptr<law_polynomial> const p(polynomial_scope::sub_polynomial(fsub(), in));
    if (!p) return law::polynomial(in);
    return new law_polynomial(-*p);
}

ZEM::interval negate_law::estimate_bounds(ZEM::interval const &domain, int &failed) const {
    if (!fsub()) law_error(LAW_BAD_BOUNDS);
    bounds_scope const scope(this, domain);
    failed = 0;
    ZEM::interval const a = bounds_scope::sub_bounds(fsub(), domain, failed);
    if (failed) return a;
    return {-a.high(), -a.low()};
}

law *negate_law::sub_simplify(int, char const *&rule_name) const {
    if (!fsub()) return nullptr;
    note_rule(rule_name, "-(A)=(-1)*A");
    return build::times(build::constant(-1), share(fsub())).release();
}
