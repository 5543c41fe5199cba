#include <law/geom/cross_law.h>

#include <array>
#include <string>

#include <law/core/constant_law.h>
#include <law/eval/tape_builder.h>
#include <law/geom/geom_util.h>
#include <law/geom/vector_law.h>
#include <law/lang/law_list.h>
#include <law/lang/plain_code.h>
#include <law/ops/law_builders.h>

namespace {
law_list reg(new cross_law());

// A side of one value stands for the zero vector, as evaluateM_V reads it, and must then be 0
// (the derivative of a constant vector): CROSS(X,Y) has no meaning. A side of another number of
// values than three fails where it is evaluated as a vector (LAW_EVALVM).
void check_side(law const *side, char const *which) {
    if (side->return_dim() != 1 || zero_constant(side) || side->zero()) return;
    law_error(LAW_DIM, std::string("the ") + which + " side of CROSS is a scalar other than 0");
}

law **checked_pair(law **subs, int n) {
    if (n != 2 || !subs) law_error(LAW_CROSS_NUM, std::to_string(n) + " members");
    check_non_null(subs, n);
    check_side(subs[0], "first");
    check_side(subs[1], "second");
    return subs;
}
}  // namespace

cross_law::cross_law() : multiple_law(nullptr, 0) {}

cross_law::cross_law(law *a, law *b) : cross_law(std::array<law *, 2>{a, b}.data(), 2) {}

cross_law::cross_law(law **subs, int n) : multiple_law(checked_pair(subs, n), n) {}

void cross_law::evaluate(double const *x, double *answer) const {
    if (taped_evaluate(x, answer)) return;
    require_members();
    law const *a = fsub()[0], *b = fsub()[1];
    if (a == b) {
        answer[0] = answer[1] = answer[2] = 0.0;
        return;
    }
    ZEM::vector const u = a->evaluateM_V(x), v = b->evaluateM_V(x);
    answer[0] = u.y() * v.z() - u.z() * v.y();
    answer[1] = u.z() * v.x() - u.x() * v.z();
    answer[2] = u.x() * v.y() - u.y() * v.x();
}

namespace {
// The three components of a side of one or three values as evaluateM_V reads them: a scalar law
// as the zero vector; false when the side's tape does not give its three values.
bool vector_values(tape_builder &b, law const *side, tape_point const &at, int zero, int (&out)[3],
                   bool &pure) {
    if (side->return_dim() == 1) {
        out[0] = out[1] = out[2] = zero;
        return true;
    }
    tape_values const v = b.values_of(side, at);
    if (v.slots.size() != 3) return false;
    for (int i = 0; i < 3; ++i) out[i] = v.slots[i];
    pure = pure && v.pure;
    return true;
}
}  // namespace

tape_values cross_law::emit_tape(tape_builder &b, tape_point const &at) const {
    if (typeid(*this) != typeid(cross_law) || !has_members()) return b.call_law(this, at);
    law const *l = fsub()[0], *r = fsub()[1];
    int const zero = b.constant(0.0);
    if (l == r) return {{zero, zero, zero}, true};
    int u[3], v[3];
    bool pure = true;
    if (!vector_values(b, l, at, zero, u, pure) || !vector_values(b, r, at, zero, v, pure)) {
        b.refuse();
        return {{zero, zero, zero}, false};
    }
    auto const minor = [&](int i, int j) {
        return b.op(tape_code::sub, b.op(tape_code::mul, u[i], v[j]),
                    b.op(tape_code::mul, u[j], v[i]));
    };
    return {{minor(1, 2), minor(2, 0), minor(0, 1)}, pure};
}

// A scalar side is the zero vector, as evaluateM_V reads it.
bool cross_law::plain_form_of(plain_form &f) const {
    if (!has_members()) return false;
    law const *l = fsub()[0], *r = fsub()[1];
    auto const usable = [](law const *side) {
        return side && (side->return_dim() == 1 || side->return_dim() == 3);
    };
    if (typeid(*this) != typeid(cross_law) || !usable(l) || !usable(r)) return false;
    if (l == r) {
        f.write = [](plain_writer &, law const *, std::span<plain_values const>) {
            return plain_values{"0.0", "0.0", "0.0"};
        };
        return true;
    }
    f.members = {l, r};
    f.write = [](plain_writer &w, law const *self, std::span<plain_values const> v) {
        plain_values sides[2];
        for (int s = 0; s < 2; ++s) {
            bool const scalar = static_cast<cross_law const *>(self)->fsub()[s]->return_dim() == 1;
            sides[s] = scalar ? plain_values(3, "0.0") : v[static_cast<std::size_t>(s)];
            if (sides[s].size() != 3) w.refuse(self);
        }
        auto const minor = [&](int i, int j) {
            return w.value(sides[0][i] + " * " + sides[1][j] + " - " + sides[0][j] + " * " +
                           sides[1][i]);
        };
        return plain_values{minor(1, 2), minor(2, 0), minor(0, 1)};
    };
    return true;
}

law *cross_law::deriv(int which) const {
    require_members();
    law *a = fsub()[0], *b = fsub()[1];
    law_ptr const da = build::d(a, which), db = build::d(b, which);
    law_ptr const left = make_law<cross_law>(da.get(), b), right = make_law<cross_law>(a, db.get());
    return build::plus(left, right).release();
}

law *cross_law::sub_simplify(int, char const *&rule_name) const {
    if (!has_members()) return nullptr;
    if (zero_constant(fsub()[0]) || zero_constant(fsub()[1])) {
        note_rule(rule_name, "Cross(0,A)=Cross(A,0)=0");
        return new constant_law(0.0);
    }
    auto const *u = law_cast<vector_law>(fsub()[0]), *v = law_cast<vector_law>(fsub()[1]);
    if (!u || !v || !u->has_members() || !v->has_members() || u->fsub_num() != 3 ||
        v->fsub_num() != 3)
        return nullptr;
    note_rule(rule_name, "cross(vec,vec)");
    auto c = [](vector_law const *w, int i) { return share(w->fsub()[i]); };
    // Component i of u x v is u[j] v[k] - u[k] v[j] for the cyclic successors j, k of i.
    law_array comps(3);
    for (int i = 0; i < 3; ++i) {
        int const j = (i + 1) % 3, k = (i + 2) % 3;
        comps.push(build::minus(build::times(c(u, j), c(v, k)), build::times(c(u, k), c(v, j))));
    }
    return comps.make<vector_law>().release();
}
