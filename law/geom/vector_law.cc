#include <law/geom/vector_law.h>

#include <law/core/constant_law.h>
#include <law/eval/tape_emit.h>
#include <law/geom/geom_util.h>
#include <law/lang/law_list.h>
#include <law/lang/plain_code.h>

namespace {
law_list reg(new vector_law(nullptr, 0));

law_array constants(std::initializer_list<double> values) {
    law_array a(static_cast<int>(values.size()));
    for (double v : values) a.push(make_law<constant_law>(v));
    return a;
}
}  // namespace

vector_law::vector_law(ZEM::vector const &v)
    : vector_law(constants({v.x(), v.y(), v.z()}).data(), 3) {}
vector_law::vector_law(ZEM::position const &p)
    : vector_law(constants({p.x(), p.y(), p.z()}).data(), 3) {}
vector_law::vector_law(ZEM::unit_vector const &u)
    : vector_law(static_cast<ZEM::vector const &>(u)) {}
vector_law::vector_law(ZEM::par_pos const &uv) : vector_law(constants({uv.u, uv.v}).data(), 2) {}

namespace {
// The tree walk, out of line so that evaluating through the tape stays short.
[[gnu::noinline]] void walk_vector_law(vector_law const *self, double const *x, double *answer) {
    law *const *subs = self->fsub();
    for (int i = 0, n = self->fsub_num(); i < n; ++i) answer[i] = first_value(subs[i], x);
}
}  // namespace

void vector_law::evaluate(double const *x, double *answer) const {
    if (taped_evaluate(x, answer)) return;
    require_non_null();
    walk_vector_law(this, x, answer);
}

tape_values vector_law::emit_tape(tape_builder &b, tape_point const &at) const {
    if (typeid(*this) != typeid(vector_law) || (!has_members() && fsub_num() > 0))
        return b.call_law(this, at);
    tape_values out;
    for (int i = 0; i < fsub_num(); ++i) {
        tape_values const v = b.values_of(fsub()[i], at);
        out.slots.push_back(b.first(v));
        out.pure = out.pure && v.pure;
    }
    return out;
}

// The first value of each member.
bool vector_law::plain_form_of(plain_form &f) const {
    if (typeid(*this) != typeid(vector_law) || (!has_members() && fsub_num() > 0)) return false;
    f.members.assign(fsub(), fsub() + fsub_num());
    f.write = [](plain_writer &, law const *, std::span<plain_values const> v) {
        plain_values out;
        for (plain_values const &m : v) out.push_back(plain_writer::first(m));
        return out;
    };
    return true;
}

law *vector_law::deriv(int which) const {
    require_non_null();
    law_array d(fsub_num());
    for (int i = 0; i < fsub_num(); ++i) d.push(adopt(fsub()[i]->derivative(which)));
    return d.make<vector_law>().release();
}

law *vector_law::sub_simplify(int, char const *&rule_name) const {
    if (!has_members()) return nullptr;
    if (fsub_num() == 1) {
        note_rule(rule_name, "vec(c)=c");
        return share(fsub()[0]).release();
    }
    if (take_dim() != 0) return nullptr;
    for (int i = 0; i < fsub_num(); ++i)
        if (!zero_constant(fsub()[i])) return nullptr;
    note_rule(rule_name, "vec(0)=0");
    return new constant_law(0.0);
}
