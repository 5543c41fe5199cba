#include <law/ops/log_law.h>

#include <array>
#include <cmath>
#include <string>

#include <law/base/tolerance.h>
#include <law/core/constant_law.h>
#include <law/core/deep_tree.h>
#include <law/core/law_sample.h>
#include <law/eval/tape_builder.h>
#include <law/lang/law_list.h>
#include <law/lang/plain_code.h>
#include <law/ops/law_builders.h>

namespace {
law_list reg_log(new log_law(nullptr, 0));
law_list reg_mod(new mod_law());

law **checked_log(law **subs, int n) {
    if (!subs) return subs;
    if (n < 1 || n > 2) law_error(LAW_BASE_C, std::to_string(n) + " members");
    check_non_null(subs, n);
    if (n == 2 && !law_isa<constant_law>(subs[1]))
        law_error(LAW_BASE_C, "the base is not a constant");
    return subs;
}

law **checked_mod(law **subs, int n) {
    if (!subs || n != 2) law_error(LAW_SYNTAX, "MOD takes two members, not " + std::to_string(n));
    check_non_null(subs, n);
    return subs;
}

// log(a) to the base whose natural log is b.
constexpr plain_value2 log_to_base_value = LAW_CHECKED_VALUE2(a <= 0, LAW_LOG, std::log(a) / b);
// The remainder of a by b.
constexpr plain_value2 remainder_value =
    LAW_CHECKED_VALUE2(b == 0.0, LAW_ZERODIVIDE, a - std::floor(a / b) * b);

}  // namespace

log_law::log_law(law **subs, int n) : multiple_law(checked_log(subs, n), n) {}

double log_law::base() const {
    if (fsub_num() < 2) return 10.0;
    double const b = value_at(fsub()[1], 1.0);
    if (b <= 0 || std::fabs(b - 1) <= resmch) law_error(LAW_BASE_P);
    return b;
}

void log_law::evaluate(double const *x, double *answer) const {
    if (taped_evaluate(x, answer)) return;
    require_members();
    double const b = base();
    answer[0] = log_to_base_value.fn(first_value(fsub()[0], x), std::log(b));
}

// The base is a constant law, read once; a bad base is left to evaluate, which raises its error.
bool log_law::constant_ln_base(double &ln_base) const {
    int const n = fsub_num();
    bool const usable = n == 1 || (n == 2 && law_isa<constant_law>(fsub()[1]));
    if (typeid(*this) != typeid(log_law) || !usable || !has_members()) return false;
    try {
        ln_base = std::log(base());
    } catch (vorn_exception const &) {
        return false;
    }
    return true;
}

tape_values log_law::emit_tape(tape_builder &b, tape_point const &at) const {
    double ln_base;
    if (!constant_ln_base(ln_base)) return b.call_law(this, at);
    tape_values const a = b.values_of(fsub()[0], at);
    return {{b.call2(log_to_base_value.fn, b.first(a), b.constant(ln_base))}, a.pure};
}

bool log_law::plain_form_of(plain_form &f) const {
    double ln_base;
    if (!constant_ln_base(ln_base)) return false;
    f.members = {fsub()[0]};
    f.text =
        plain_text(log_to_base_value.text, {{"a", "@1"}, {"b", plain_writer::literal(ln_base)}});
    return true;
}

int log_law::in_domain(double const *x) const {
    if (!has_members()) return 0;
    in_domain_scope const scope(this, x);
    law const *a = fsub()[0];
    if (!in_domain_scope::sub_in_domain(a, x) || first_value(a, x) <= 0) return 0;
    for (int i = 1; i < fsub_num(); ++i)
        if (!in_domain_scope::sub_in_domain(fsub()[i], x)) return 0;
    return 1;
}

law *log_law::deriv(int which) const {
    require_members();
    law_ptr const a = share(fsub()[0]);
    law_ptr const ln_base = build::constant(std::log(base()));
    return build::divide(build::d(a.get(), which), build::times(a, ln_base)).release();
}

ZEM::interval log_law::estimate_bounds(ZEM::interval const &domain, int &failed) const {
    require_members();
    bounds_scope const scope(this, domain);
    ZEM::interval const a = bounds_scope::sub_bounds(fsub()[0], domain, failed);
    double const b = base();
    if (failed || !a.bounded_below() || a.start_pt() <= 0) {
        failed = 1;
        return {};
    }
    // The logarithm is monotonic: increasing for a base above 1, decreasing below.
    double const ln_b = std::log(b);
    double const from = std::log(a.start_pt()) / ln_b;
    if (!a.bounded_above())
        return ln_b > 0 ? ZEM::interval::below(from) : ZEM::interval::above(from);
    double const to = std::log(a.end_pt()) / ln_b;
    return ln_b > 0 ? ZEM::interval(from, to) : ZEM::interval(to, from);
}

mod_law::mod_law() : multiple_law(nullptr, 0) {}

mod_law::mod_law(law *a, law *b) : mod_law(std::array<law *, 2>{a, b}.data(), 2) {}

mod_law::mod_law(law **subs, int n) : multiple_law(checked_mod(subs, n), n) {}

void mod_law::evaluate(double const *x, double *answer) const {
    if (taped_evaluate(x, answer)) return;
    require_members();
    double const a = first_value(fsub()[0], x), b = first_value(fsub()[1], x);
    answer[0] = remainder_value.fn(a, b);
}

tape_values mod_law::emit_tape(tape_builder &b, tape_point const &at) const {
    if (typeid(*this) != typeid(mod_law) || !has_members()) return b.call_law(this, at);
    tape_values const u = b.values_of(fsub()[0], at), v = b.values_of(fsub()[1], at);
    return {{b.call2(remainder_value.fn, b.first(u), b.first(v))}, u.pure && v.pure};
}

bool mod_law::plain_form_of(plain_form &f) const {
    if (typeid(*this) != typeid(mod_law) || !has_members()) return false;
    f.members = {fsub()[0], fsub()[1]};
    f.text = plain_text_of(remainder_value);
    return true;
}

law *mod_law::deriv(int) const { return new constant_law(0.0); }
