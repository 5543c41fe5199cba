#include <law/ops/elementary_laws.h>

#include <algorithm>

#include <law/core/deep_tree.h>
#include <law/eval/tape_builder.h>
#include <law/lang/law_list.h>
#include <law/lang/plain_code.h>
#include <law/ops/function_rows.h>
#include <law/ops/law_builders.h>

namespace {
template <class... Function>
struct registrations {
    law_list entries[sizeof...(Function)] = {law_list(new Function(nullptr))...};
};

registrations<not_law, even_law, odd_law, int_law, prime_law, set_law, natural_log_law, exp_law,
              floor_law, ceil_law, rand_law, sin_law, cos_law, tan_law, cot_law, sec_law, csc_law,
              arcsin_law, arccos_law, arccot_law, arcsec_law, arccsc_law, sinh_law, cosh_law,
              tanh_law, coth_law, sech_law, csch_law, arcsinh_law, arccosh_law, arctanh_law,
              arccoth_law, arcsech_law, arccsch_law, abs_law, sqrt_law>
    function_registrations;
}  // namespace

double function_law::value_at(double a) const { return row_->value.fn(a); }

void function_law::evaluate(double const *x, double *y) const {
    if (taped_evaluate(x, y)) return;
    if (!fsub()) law_error(LAW_EVAL);
    y[0] = row_->value.fn(sub_value(x));
}

// Only the first value of the sub-law counts, as in evaluate.
bool function_law::compiles_as_operation(side_operation &f) const {
    if (!fsub()) return false;
    f.sides[0] = fsub();
    f.count = 1;
    f.emit = [](tape_builder &t, law const *self, int a, int) {
        function_row const &row = *static_cast<function_law const *>(self)->row_;
        if (row.code != tape_code::call1) return t.op(row.code, a);
        return t.call1(row.value.fn, a);
    };
    return true;
}

bool function_law::plain_form_of(plain_form &f) const {
    if (!fsub()) return false;
    f.members = {fsub()};
    f.text = function_text(*row_);
    f.helpers.assign(function_helpers().begin(), function_helpers().end());
    return true;
}

int function_law::in_domain(double const *x) const {
    if (!fsub() || !unary_law::in_domain(x)) return 0;
    if (!row_->domain) return 1;
    try {
        return row_->domain(sub_value(x)) ? 1 : 0;
    } catch (vorn_exception const &) {
        return 0;
    }
}

int function_law::term_domain(int which, ZEM::interval &out) const {
    if (!row_->term_domain || !fsub()) return unary_law::term_domain(which, out);
    return row_->term_domain(fsub(), which, out);
}

ZEM::interval function_law::estimate_bounds(ZEM::interval const &domain, int &failed) const {
    if (!row_->bounds || !fsub()) return law::estimate_bounds(domain, failed);
    bounds_scope const scope(this, domain);
    failed = 0;
    ZEM::interval const a = bounds_scope::sub_bounds(fsub(), domain, failed);
    if (failed) return a;
    return row_->bounds(a, failed);
}

law *function_law::sub_simplify(int, char const *&rule_name) const {
    if (!row_->simplify || !fsub()) return nullptr;
    return row_->simplify(fsub(), rule_name).release();
}

int function_law::date() const { return std::max(unary_law::date(), row_->date_floor); }

law *function_law::deriv(int which) const {
    if (!fsub()) return nullptr;
    law_ptr const a = share(fsub());
    if (row_->derivative) return row_->derivative(a, which).release();
    if (!row_->factor) return nullptr;
    return build::times(row_->factor(a), build::d(a.get(), which)).release();
}
