#include <law/ops/extremum_laws.h>

#include <law/eval/tape_builder.h>
#include <law/lang/law_list.h>
#include <law/lang/plain_code.h>
#include <law/ops/elementary_laws.h>
#include <law/ops/law_builders.h>

namespace {
law_list reg_max(new max_law(nullptr, 0));
law_list reg_min(new min_law(nullptr, 0));
}  // namespace

void extremum_law::evaluate(double const *x, double *answer) const {
    if (taped_evaluate(x, answer)) return;
    require_non_null();
    law *const *subs = fsub();
    if (fsub_num() == 0) {
        answer[0] = 0.0;
        return;
    }
    double best = first_value(subs[0], x);
    for (int i = 1, n = fsub_num(); i < n; ++i) {
        double const v = first_value(subs[i], x);
        if (sign_ * (v - best) > 0) best = v;
    }
    answer[0] = best;
}

tape_values extremum_law::emit_tape(tape_builder &b, tape_point const &at) const {
    if ((typeid(*this) != typeid(max_law) && typeid(*this) != typeid(min_law)) ||
        (!has_members() && fsub_num() > 0))
        return b.call_law(this, at);
    if (fsub_num() == 0) return {{b.constant(0)}};
    tape_values const first = b.values_of(fsub()[0], at);
    tape_values out{{b.first(first)}, first.pure};
    for (int i = 1; i < fsub_num(); ++i) {
        tape_values const v = b.values_of(fsub()[i], at);
        out.slots[0] =
            b.op(sign_ > 0 ? tape_code::larger : tape_code::smaller, out.slots[0], b.first(v));
        out.pure = out.pure && v.pure;
    }
    return out;
}

// The members in turn, as tape_larger and tape_smaller take them.
bool extremum_law::plain_form_of(plain_form &f) const {
    if (typeid(*this) != typeid(max_law) && typeid(*this) != typeid(min_law)) return false;
    if (!has_members() && fsub_num() > 0) return false;
    f.members.assign(fsub(), fsub() + fsub_num());
    f.write = [](plain_writer &w, law const *self, std::span<plain_values const> v) {
        if (v.empty()) return plain_values{"0.0"};
        bool const larger = static_cast<extremum_law const *>(self)->sign_ > 0;
        std::string best = plain_writer::first(v[0]);
        for (std::size_t i = 1; i < v.size(); ++i) {
            std::string const next = plain_writer::first(v[i]), gap = next + " - " + best;
            best = w.value((larger ? gap : "-(" + gap + ")") + " > 0 ? " + next + " : " + best);
        }
        return plain_values{best};
    };
    return true;
}

law *extremum_law::deriv(int which) const {
    require_non_null();
    law *const *f = fsub();
    int const n = fsub_num();
    if (n == 1) return f[0]->derivative(which);
    law_ptr sum;
    for (int k = 0; k < n; ++k) {
        // f_k leads where it beats every other member.
        law_ptr term = build::d(f[k], which);
        for (int j = 0; j < n; ++j) {
            if (j == k) continue;
            law_ptr const gap = sign_ > 0 ? build::minus(share(f[k]), share(f[j]))
                                          : build::minus(share(f[j]), share(f[k]));
            term = build::times(build::apply<set_law>(gap), term);
        }
        sum = sum ? build::plus(sum, term) : std::move(term);
    }
    return sum.release();
}
