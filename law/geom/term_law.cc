#include <law/geom/term_law.h>

#include <array>
#include <climits>
#include <cmath>
#include <string>

#include <law/core/constant_law.h>
#include <law/core/eval_buffer.h>
#include <law/eval/tape_builder.h>
#include <law/geom/geom_util.h>
#include <law/geom/vector_law.h>
#include <law/lang/law_list.h>
#include <law/lang/plain_code.h>

namespace {
law_list reg(new term_law());

// The component (from 0) of an index counted from 1; LAW_TL_SYNTAX for an index that is not a
// whole number from 1 to the largest int.
int component_of(double k) {
    if (!(k >= 1 && k <= INT_MAX) || k != std::trunc(k))
        law_error(LAW_TL_SYNTAX, "the index " + number_string(k) +
                                     " is not a whole number from 1 to " + std::to_string(INT_MAX));
    return static_cast<int>(k) - 1;
}

// The component index (from 0) that a constant index member selects.
int checked_component(law **subs, int n) {
    if (n != 2) law_error(LAW_TL_NUM, std::to_string(n) + " members");
    check_non_null(subs, n);
    law const *k = subs[1];
    if (!law_isa<constant_law>(k)) law_error(LAW_TL_SYNTAX, "the index is not a constant");
    double const whole = std::trunc(k->eval(1.1));
    if (whole != k->eval(1.2)) law_error(LAW_TL_SYNTAX, "the index is not a whole number");
    return component_of(whole);
}

int checked_component(law *v, int k) {
    if (!v) law_error(LAW_NULL_LAW, "the vector of TERM is null");
    return component_of(k);
}

law_ptr index_law(int k) { return make_law<constant_law>(k); }
}  // namespace

term_law::term_law() : multiple_law(nullptr, 0) {}

term_law::term_law(law **subs, int n)
    : multiple_law(subs, n), component_(checked_component(subs, n)) {}

term_law::term_law(law *v, int k)
    : multiple_law(std::array<law *, 2>{v, index_law(k).get()}.data(), 2),
      component_(checked_component(v, k)) {}

void term_law::evaluate(double const *x, double *answer) const {
    if (taped_evaluate(x, answer)) return;
    require_members();
    law const *v = fsub()[0];
    int const n = v->return_dim();
    if (component_ >= n) {  // a short vector reads as padded with zeros
        answer[0] = 0.0;
        return;
    }
    eval_buffer y(n);
    v->evaluate(x, y);
    answer[0] = y[component_];
}

tape_values term_law::emit_tape(tape_builder &b, tape_point const &at) const {
    if (typeid(*this) != typeid(term_law) || !has_members()) return b.call_law(this, at);
    law const *v = fsub()[0];
    if (component_ >= v->return_dim()) return {{b.constant(0.0)}, true};
    tape_values const values = b.values_of(v, at);
    if (component_ >= values.slots.size()) return b.call_law(this, at);
    return {{values.slots[component_]}, values.pure};
}

bool term_law::plain_form_of(plain_form &f) const {
    if (typeid(*this) != typeid(term_law) || !has_members()) return false;
    law const *v = fsub()[0];
    if (component_ >= v->return_dim()) {
        f.write = [](plain_writer &, law const *, std::span<plain_values const>) {
            return plain_values{"0.0"};
        };
        return true;
    }
    f.members = {v};
    f.write = [](plain_writer &w, law const *self, std::span<plain_values const> v) {
        auto const k = static_cast<std::size_t>(static_cast<term_law const *>(self)->component_);
        if (k >= v[0].size()) w.refuse(self);
        return plain_values{v[0][k]};
    };
    return true;
}

law *term_law::deriv(int which) const {
    require_members();
    law_ptr const dv = adopt(fsub()[0]->derivative(which));
    return new term_law(dv.get(), component_ + 1);
}

law *term_law::sub_simplify(int, char const *&rule_name) const {
    if (!has_members()) return nullptr;
    law const *v = fsub()[0];
    if (auto const *vec = law_cast<vector_law>(v)) {
        note_rule(rule_name, "term(vec)=sub");
        if (component_ < vec->fsub_num()) return share(vec->fsub()[component_]).release();
        return new constant_law(0.0);
    }
    if (zero_constant(v) && v->return_dim() == 1) {
        note_rule(rule_name, "term(vec)=sub");
        return share(v).release();
    }
    return nullptr;
}
