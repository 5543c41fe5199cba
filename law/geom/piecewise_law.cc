#include <law/geom/piecewise_law.h>

#include <algorithm>

#include <law/eval/tape_builder.h>
#include <law/geom/geom_util.h>
#include <law/lang/law_list.h>
#include <law/lang/plain_code.h>

namespace {
law_list reg(new piecewise_law(nullptr, 0));
}  // namespace

law const *piecewise_law::chosen(double const *x) const {
    law *const *subs = fsub();
    int const n = fsub_num();
    for (int i = 0; i + 1 < n; i += 2)
        if (first_value(subs[i], x) != 0.0) return subs[i + 1];
    return n > 0 ? subs[n - 1] : nullptr;
}

void piecewise_law::evaluate(double const *x, double *answer) const {
    if (taped_evaluate(x, answer)) return;
    require_non_null();
    int const width = return_dim();
    if (law const *value = chosen(x)) return evaluate_fitted(value, x, answer, width);
    std::fill(answer, answer + width, 0.0);
}

// Scalar pieces compile as branches: each condition in turn, then the value it picks.
tape_values piecewise_law::emit_tape(tape_builder &b, tape_point const &at) const {
    int const n = fsub_num();
    law *const *subs = fsub();
    bool scalar = typeid(*this) == typeid(piecewise_law) && has_members() && return_dim() == 1;
    for (int i = 0; scalar && i < n; ++i)
        scalar = i % 2 == 0 && i + 1 < n ? true : subs[i]->return_dim() == 1;
    if (!scalar) return b.call_law(this, at);
    int const result = b.reserve_value();
    bool pure = true;
    auto const take = [&](law const *value) {
        auto const mark = b.mark();
        tape_values const v = b.values_of(value, at);
        b.copy_to(result, b.first(v));
        pure = pure && v.pure;
        b.forget(mark);
    };
    std::vector<int> done;
    tape_builder::scope conditional;  // what follows the first condition runs on some paths
    for (int i = 0; i + 1 < n; i += 2) {
        tape_values const c = b.values_of(subs[i], at);
        pure = pure && c.pure;
        if (i == 0) conditional = b.mark();
        int const next = b.jump(tape_code::jump_if_zero, b.first(c));
        take(subs[i + 1]);
        done.push_back(b.jump(tape_code::jump));
        b.land(next);
    }
    take(subs[n - 1]);
    if (n > 1) b.forget(conditional);
    for (int j : done) b.land(j);
    return {{result}, pure};
}

// Every condition and piece is written; the value is the piece of the first condition that is
// not 0, or the last piece.
bool piecewise_law::plain_form_of(plain_form &f) const {
    int const n = fsub_num();
    law *const *subs = fsub();
    bool scalar = typeid(*this) == typeid(piecewise_law) && has_members() && return_dim() == 1;
    for (int i = 0; scalar && i < n; ++i)
        scalar = subs[i] && (i % 2 == 0 && i + 1 < n ? true : subs[i]->return_dim() == 1);
    if (!scalar) return false;
    f.members.assign(subs, subs + n);
    f.write = [](plain_writer &w, law const *, std::span<plain_values const> v) {
        // The pairs (condition, piece) from the last one back; with an even count the last piece
        // is also the value when no condition holds.
        std::string chosen = plain_writer::first(v.back());
        for (std::size_t i = v.size() % 2 ? v.size() - 1 : v.size(); i >= 2; i -= 2)
            chosen = plain_writer::first(v[i - 2]) + " != 0 ? " + plain_writer::first(v[i - 1]) +
                     " : " + chosen;
        return plain_values{v.size() > 1 ? w.value(chosen) : chosen};
    };
    return true;
}

int piecewise_law::return_size() const {
    int const n = fsub_num();
    int const values = widest_return(fsub(), 1, 2, n);
    return n % 2 ? std::max(values, fsub()[n - 1] ? fsub()[n - 1]->return_dim() : 0) : values;
}

law *piecewise_law::deriv(int which) const {
    require_non_null();
    law_array subs(fsub_num());
    int const n = fsub_num();
    for (int i = 0; i < n; ++i) {
        bool const condition = i % 2 == 0 && i + 1 < n;
        if (condition)
            subs.push_shared(fsub()[i]);
        else
            subs.push(adopt(fsub()[i]->derivative(which)));
    }
    return subs.make<piecewise_law>().release();
}
