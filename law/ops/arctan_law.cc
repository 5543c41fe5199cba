#include <law/ops/arctan_law.h>

#include <array>
#include <cmath>
#include <numbers>
#include <string>

#include <law/core/constant_law.h>
#include <law/core/counted_array.h>
#include <law/core/deep_tree.h>
#include <law/eval/tape_builder.h>
#include <law/lang/law_list.h>
#include <law/lang/plain_code.h>
#include <law/ops/comparison_laws.h>
#include <law/ops/law_builders.h>

namespace {
law_list reg(new arctan_law(nullptr, 0));

constexpr double half_pi = 1.5707963267948966;

// The C library's own, so that compiled code sees a function that never raises.
constexpr plain_value1 atan_value = LAW_LIBRARY_VALUE(atan);

law **checked_members(law **subs, int n) {
    if (subs && n != 1 && n != 2)
        law_error(LAW_SYNTAX, "ARCTAN takes one or two members, not " + std::to_string(n));
    check_non_null(subs, n);
    return subs;
}

template <class T>
law_ptr both(law_ptr const &a, law_ptr const &b) {
    return make_law<T>(a.get(), b.get());
}

// The angle of (x, y): atan(y/x) shifted by pi into the left half plane, +-pi/2 on the y axis.
// At the origin the last pair, pi/2, is the value.
law_ptr quadrant_law(law *y_law, law *x_law) {
    law_ptr const y = share(y_law), x = share(x_law);
    law_ptr const zero = build::constant(0.0), pi = make_law<pi_law>();
    law_ptr const slope = make_law<arctan_law>(build::divide(y, x).get());
    law_ptr const x_neg = both<less_than_law>(x, zero), x_zero = both<equal_law>(x, zero);
    law_ptr const y_neg = both<less_than_law>(y, zero);
    law_array pairs(10);
    pairs.push(both<less_than_law>(zero, x));
    pairs.push(slope);
    pairs.push(both<and_law>(x_neg, y_neg));
    pairs.push(build::minus(slope, pi));
    pairs.push(both<and_law>(x_neg, both<less_than_or_equal_law>(zero, y)));
    pairs.push(build::plus(slope, pi));
    pairs.push(both<and_law>(x_zero, y_neg));
    pairs.push(build::constant(-half_pi));
    pairs.push(both<and_law>(x_zero, both<less_than_law>(zero, y)));
    pairs.push(build::constant(half_pi));
    // PIECEWISE lives with the structural laws above; the registry builds it.
    return adopt(make_registered_law(law_id::piecewise_law, pairs.data(), pairs.size()));
}
}  // namespace

arctan_law::arctan_law(law *u) : arctan_law(&u, 1) {}

arctan_law::arctan_law(law **subs, int n) : multiple_law(checked_members(subs, n), n) {
    if (subs && n == 2) quadrants_ = quadrant_law(subs[0], subs[1]);
}

void arctan_law::evaluate(double const *x, double *answer) const {
    if (taped_evaluate(x, answer)) return;
    require_members();
    if (quadrants_) return quadrants_->evaluate(x, answer);
    answer[0] = atan_value.fn(first_value(fsub()[0], x));
}

tape_values arctan_law::emit_tape(tape_builder &b, tape_point const &at) const {
    if (typeid(*this) != typeid(arctan_law) || !has_members()) return b.call_law(this, at);
    if (quadrants_) return b.values_of(quadrants_.get(), at);
    tape_values const u = b.values_of(fsub()[0], at);
    return {{b.call1(atan_value.fn, b.first(u))}, u.pure};
}

// Two members are the quadrant law's pieces.
bool arctan_law::plain_form_of(plain_form &f) const {
    if (typeid(*this) != typeid(arctan_law) || !has_members()) return false;
    if (quadrants_) {
        f.members = {quadrants_.get()};
        f.write = [](plain_writer &, law const *, std::span<plain_values const> v) { return v[0]; };
        return true;
    }
    f.members = {fsub()[0]};
    f.text = plain_text_of(atan_value);
    return true;
}

law *arctan_law::deriv(int which) const {
    require_members();
    if (!quadrants_) {
        law_ptr const u = share(fsub()[0]);
        law_ptr const one_plus_u2 = build::plus(build::constant(1.0), build::times(u, u));
        return build::divide(build::d(u.get(), which), one_plus_u2).release();
    }
    law_ptr const y = share(fsub()[0]), x = share(fsub()[1]);
    law_ptr const num = build::minus(build::times(x, build::d(y.get(), which)),
                                     build::times(y, build::d(x.get(), which)));
    return build::divide(num, build::plus(build::times(x, x), build::times(y, y))).release();
}

ZEM::interval arctan_law::estimate_bounds(ZEM::interval const &domain, int &failed) const {
    failed = 0;
    if (quadrants_) return ZEM::interval(-std::numbers::pi, std::numbers::pi);
    require_members();
    int inner_failed = 0;
    bounds_scope const scope(this, domain);
    ZEM::interval const u = bounds_scope::sub_bounds(fsub()[0], domain, inner_failed);
    if (inner_failed) return ZEM::interval(-half_pi, half_pi);
    return ZEM::interval(std::atan(u.start_pt()), std::atan(u.end_pt()));
}

void arctan_law::full_size(SizeAccumulator &acc, int count_self) const {
    multiple_law::full_size(acc, count_self);
    if (quadrants_) quadrants_->full_size(acc, 1);
}
