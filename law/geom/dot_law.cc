#include <law/geom/dot_law.h>

#include <algorithm>
#include <array>
#include <string>

#include <law/core/constant_law.h>
#include <law/core/eval_buffer.h>
#include <law/eval/tape_builder.h>
#include <law/geom/geom_util.h>
#include <law/geom/vector_law.h>
#include <law/lang/law_list.h>
#include <law/lang/plain_code.h>
#include <law/ops/law_builders.h>

namespace {
law_list reg(new dot_law());

law **checked_pair(law **subs, int n) {
    if (n != 2 || !subs) law_error(LAW_DOT_NUM, std::to_string(n) + " members");
    check_non_null(subs, n);
    return subs;
}
}  // namespace

dot_law::dot_law() : multiple_law(nullptr, 0) {}

dot_law::dot_law(law *a, law *b) : dot_law(std::array<law *, 2>{a, b}.data(), 2) {}

dot_law::dot_law(law **subs, int n) : multiple_law(checked_pair(subs, n), n) {}

void dot_law::evaluate(double const *x, double *answer) const {
    if (taped_evaluate(x, answer)) return;
    require_members();
    law const *a = fsub()[0], *b = fsub()[1];
    int const na = a->return_dim(), nb = b->return_dim();
    if (na == 1 || nb == 1) {
        answer[0] = first_value(a, x) * first_value(b, x);
        return;
    }
    eval_buffer va(na), vb(nb);
    a->evaluate(x, va);
    b->evaluate(x, vb);
    double sum = 0.0;
    for (int i = 0, n = std::min(na, nb); i < n; ++i) sum += va[i] * vb[i];
    answer[0] = sum;
}

// The products summed in evaluate's order, from 0.
tape_values dot_law::emit_tape(tape_builder &b, tape_point const &at) const {
    if (typeid(*this) != typeid(dot_law) || !has_members()) return b.call_law(this, at);
    tape_values const u = b.values_of(fsub()[0], at), v = b.values_of(fsub()[1], at);
    bool const pure = u.pure && v.pure;
    if (fsub()[0]->return_dim() == 1 || fsub()[1]->return_dim() == 1)
        return {{b.op(tape_code::mul, b.first(u), b.first(v))}, pure};
    int sum = b.constant(0.0);
    for (int i = 0, n = std::min(u.slots.size(), v.slots.size()); i < n; ++i)
        sum = b.op(tape_code::add, sum, b.op(tape_code::mul, u.slots[i], v.slots[i]));
    return {{sum}, pure};
}

// The products summed in evaluate's order, from 0.
bool dot_law::plain_form_of(plain_form &f) const {
    if (typeid(*this) != typeid(dot_law) || !has_members()) return false;
    f.members = {fsub()[0], fsub()[1]};
    if (fsub()[0]->return_dim() == 1 || fsub()[1]->return_dim() == 1) {
        f.text = "@1 * @2";
        return true;
    }
    f.write = [](plain_writer &w, law const *, std::span<plain_values const> v) {
        std::string sum = "0.0";
        for (std::size_t i = 0, n = std::min(v[0].size(), v[1].size()); i < n; ++i)
            sum = w.value(sum + " + " + v[0][i] + " * " + v[1][i]);
        return plain_values{sum};
    };
    return true;
}

law *dot_law::deriv(int which) const {
    require_members();
    law *a = fsub()[0], *b = fsub()[1];
    law_ptr const da = build::d(a, which), db = build::d(b, which);
    law_ptr const left = make_law<dot_law>(da.get(), b), right = make_law<dot_law>(a, db.get());
    return build::plus(left, right).release();
}

law *dot_law::sub_simplify(int, char const *&rule_name) const {
    if (!has_members()) return nullptr;
    law const *a = fsub()[0], *b = fsub()[1];
    if (zero_constant(a) || zero_constant(b)) {
        note_rule(rule_name, "Dot(0,A)=Dot(A,0)=0");
        return new constant_law(0.0);
    }
    auto const *u = law_cast<vector_law>(a), *v = law_cast<vector_law>(b);
    if (!u || !v || !u->has_members() || !v->has_members()) return nullptr;
    note_rule(rule_name, "dot(vec,vec)");
    // Missing components of the shorter vector count as 0.
    int const n = std::min(u->fsub_num(), v->fsub_num());
    law_ptr sum = build::constant(0.0);
    for (int i = 0; i < n; ++i) {
        law_ptr term = build::times(share(u->fsub()[i]), share(v->fsub()[i]));
        sum = i == 0 ? std::move(term) : build::plus(sum, term);
    }
    return sum.release();
}
