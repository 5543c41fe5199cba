#include <law/ops/polynomial_forms.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <vector>

#include <law/core/binary_chain.h>
#include <law/core/counted_array.h>
#include <law/core/deep_tree.h>
#include <law/core/multiple_law.h>
#include <law/core/unary_law.h>
#include <law/ops/rational_form.h>
#include <law/ops/rule_support.h>

using namespace rules;

namespace {

// Inputs below this index are the variables of the same number; other atoms come after them,
// so that terms list X before Y before anything else.
constexpr int input_variables = 64;
// Levels of a law that its fingerprint reads.
constexpr int fingerprint_depth = 4;

// How a law takes part in a polynomial.
enum class shape {
    number,       // a plain constant
    chain,        // a sum or product: its operands are the chain's
    difference,   // A - B
    quotient,     // A / B
    whole_power,  // A ^ n, n a whole constant
    negation,     // -A
    other,        // an atom, or a law whose members may hold polynomials
};

bool scalar(law const *l) { return l && l->return_dim() == 1; }

shape shape_of(law const *l) {
    if (!scalar(l)) return shape::other;
    int const t = l->type();
    if (t == law_id::constant_law) return shape::number;
    if (t == law_id::negate_law)
        return scalar(static_cast<unary_law const *>(l)->fsub()) ? shape::negation : shape::other;
    if (t != law_id::plus_law && t != law_id::times_law && t != law_id::minus_law &&
        t != law_id::division_law && t != law_id::exponent_law)
        return shape::other;
    auto const *b = static_cast<binary_law const *>(l);
    if (!scalar(b->fleft()) || !scalar(b->fright())) return shape::other;
    switch (t) {
        case law_id::minus_law:
            return shape::difference;
        case law_id::division_law:
            return shape::quotient;
        case law_id::exponent_law: {
            auto const *c = as_constant(b->fright());
            if (!c || c->type() != law_id::constant_law || !whole(c->value()) ||
                std::fabs(c->value()) > static_cast<double>(rational_form::max_degree))
                return shape::other;
            return shape::whole_power;
        }
        default:
            return shape::chain;
    }
}

std::size_t mix(std::size_t h, std::size_t v) {
    return h ^ (v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
}

// A hash that equal laws share (the converse is left to same_law): the class, the tree's size,
// constants' values and inputs' numbers, and the members a few levels down, in any order for a
// commutative law.
std::size_t fingerprint(law const *l, int depth) {
    std::size_t h = mix(static_cast<std::size_t>(l->type()), l->tree_size());
    if (auto const *c = as_constant(l)) {
        double const v = c->value() == 0.0 ? 0.0 : c->value();
        std::uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return mix(h, bits);
    }
    if (auto const *x = law_cast<identity_law>(l))
        return mix(h, static_cast<std::size_t>(x->index()));
    if (depth == 0) return h;
    bool const unordered =
        (law_isa<binary_law>(l) && static_cast<binary_law const *>(l)->commutative()) ||
        (law_isa<multiple_law>(l) && static_cast<multiple_law const *>(l)->commutative());
    std::size_t members = 0;
    for (int i = 0; law const *sub = sub_law_at(l, i); ++i) {
        std::size_t const s = fingerprint(sub, depth - 1);
        members = unordered ? members + s : mix(members, s);
    }
    return mix(h, members);
}

class polynomial_phase {
  public:
    law_ptr run(law const *root) {
        walk(root);
        return final_form(root);
    }

  private:
    struct node {
        law_ptr form;                     // the law with its members' forms
        std::optional<rational_form> rf;  // what it stands for, when it has a polynomial shape
        law_ptr final;                    // the form chosen for it where a polynomial ends
    };

    // The members a walk goes through: the operands of a chain, the sides of the other shapes.
    static std::vector<law const *> members_of(law const *l, shape s) {
        std::vector<law const *> out;
        if (s == shape::number) return out;
        if (s == shape::chain) {
            small_list<law *> operands;
            binary_law::collect_chain(static_cast<binary_law const *>(l), operands);
            out.assign(operands.begin(), operands.end());
            return out;
        }
        if (s == shape::whole_power) {
            out.push_back(static_cast<binary_law const *>(l)->fleft());
            return out;
        }
        for (int i = 0; law const *sub = sub_law_at(l, i); ++i) out.push_back(sub);
        return out;
    }

    // Every law below root is done before the laws above it, with a stack of the walk's own.
    void walk(law const *root) {
        struct frame {
            law const *l;
            shape s;
            std::vector<law const *> members;
            std::size_t next = 0;
        };
        std::vector<frame> stack;
        auto push = [&stack](law const *l) {
            shape const s = shape_of(l);
            stack.push_back({l, s, members_of(l, s)});
        };
        push(root);
        while (!stack.empty()) {
            frame &f = stack.back();
            if (f.next < f.members.size()) {
                law const *m = f.members[f.next++];
                if (m && !done_.count(m)) push(m);
                continue;
            }
            frame const top = std::move(f);
            stack.pop_back();
            if (!done_.count(top.l)) done_[top.l] = finish(top.l, top.s, top.members);
        }
    }

    node finish(law const *l, shape s, std::vector<law const *> const &members) {
        node out;
        if (s != shape::other) {
            out.rf = combine(l, s, members);
            if (out.rf) {
                out.form = rebuilt(l, s, members, false);
                return out;
            }
        }
        // Not a polynomial (or one past the bounds): an atom of what contains it, with each
        // member's polynomial in its chosen form.
        out.form = rebuilt(l, s, members, true);
        return out;
    }

    std::optional<rational_form> combine(law const *l, shape s,
                                         std::vector<law const *> const &members) {
        if (s == shape::number) {
            return rational_form(sparse_polynomial::constant(as_constant(l)->value()));
        }
        std::vector<rational_form> parts;
        for (law const *m : members) {
            if (!m) return std::nullopt;
            parts.push_back(form_of(m));
        }
        switch (s) {
            case shape::chain: {
                bool const sum = l->type() == law_id::plus_law;
                std::optional<rational_form> acc = parts[0];
                for (std::size_t i = 1; i < parts.size() && acc; ++i)
                    acc = sum ? rational_form::sum(*acc, parts[i])
                              : rational_form::product(*acc, parts[i]);
                return acc;
            }
            case shape::difference:
                return rational_form::sum(parts[0], parts[1].negated());
            case shape::quotient: {
                std::optional<rational_form> const inv = parts[1].inverse();
                return inv ? rational_form::product(parts[0], *inv) : std::nullopt;
            }
            case shape::whole_power: {
                auto const *b = static_cast<binary_law const *>(l);
                return parts[0].power(static_cast<std::int64_t>(as_constant(b->fright())->value()));
            }
            case shape::negation:
                return parts[0].negated();
            default:
                return std::nullopt;
        }
    }

    // What a member stands for: its own form when it has one, else an atom.
    rational_form form_of(law const *m) {
        node const &n = done_.at(m);
        if (n.rf) return *n.rf;
        return rational_form(sparse_polynomial::variable(atom_of(n.form.get())));
    }

    int atom_of(law const *form) {
        if (auto const *x = law_cast<identity_law>(form); x && x->index() < input_variables) {
            if (!inputs_[x->index()]) inputs_[x->index()] = share(form);
            return x->index();
        }
        std::size_t const h = fingerprint(form, fingerprint_depth);
        std::vector<int> &bucket = by_fingerprint_[h];
        for (int id : bucket)
            if (same_law(atoms_[id - input_variables].get(), form)) return id;
        int const id = input_variables + static_cast<int>(atoms_.size());
        atoms_.push_back(share(form));
        bucket.push_back(id);
        return id;
    }

    law const *atom_law(int id) const {
        return id < input_variables ? inputs_[id].get() : atoms_[id - input_variables].get();
    }

    // l over its members' forms (their chosen forms when `chosen`): l itself when none changed.
    law_ptr rebuilt(law const *l, shape s, std::vector<law const *> const &members, bool chosen) {
        std::vector<law_ptr> forms;
        bool changed = false;
        for (law const *m : members) {
            forms.push_back(!m ? nullptr : chosen ? final_form(m) : done_.at(m).form);
            changed = changed || forms.back().get() != m;
        }
        if (!changed) return share(l);
        law_array subs(static_cast<int>(forms.size()));
        for (law_ptr const &f : forms) subs.push(f);
        if (s == shape::chain)
            return chain(subs.data(), forms.size(), *static_cast<binary_law const *>(l));
        if (s == shape::whole_power)
            return adopt(static_cast<binary_law const *>(l)->make_one(
                subs[0], static_cast<binary_law const *>(l)->fright()));
        if (auto const *b = law_cast<binary_law>(l)) return adopt(b->make_one(subs[0], subs[1]));
        if (auto const *u = law_cast<unary_law>(l)) return adopt(u->make_one(subs[0]));
        return adopt(static_cast<multiple_law const *>(l)->make_one(subs.data(), subs.size()));
    }

    // Where a polynomial ends (below a law of another kind, or at the root): its canonical form
    // when that is the smaller tree, else its form.
    law_ptr final_form(law const *m) {
        node &n = done_.at(m);
        if (n.final) return n.final;
        n.final = n.form;
        if (n.rf) {
            law_ptr const written = write(*n.rf);
            if (written->tree_size() < n.form->tree_size()) n.final = written;
        }
        return n.final;
    }

    // ---- writing a form back as a law

    law_ptr write_monomial(sparse_polynomial::monomial const &powers) {
        law_ptr out;
        for (auto const &[v, e] : powers) {
            law_ptr f = share(atom_law(v));
            if (e != 1) f = build::power(f, build::constant(static_cast<double>(e)));
            out = out ? build::times(out, f) : f;
        }
        return out;
    }

    // The terms from the constant up, each as its coefficient times its powers.
    law_ptr write(sparse_polynomial const &p) {
        if (p.is_zero()) return build::constant(0);
        law_ptr out;
        for (auto const &t : p.terms()) {
            law_ptr term = write_monomial(t.powers);
            if (!term)
                term = build::constant(t.value);
            else if (t.value != 1.0)
                term = build::times(build::constant(t.value), term);
            out = out ? build::plus(out, term) : term;
        }
        return out;
    }

    // Each factor of the denominator is written with whole coefficients where a small multiple
    // gives them ((1+2*X)^-1, not 0.5*(0.5+X)^-1), and the first factor of power 1 takes a
    // further multiple that makes the numerator whole too; the numerator takes the multiples
    // back.
    law_ptr write(rational_form const &rf) {
        sparse_polynomial numerator = rf.numerator();
        std::vector<double> scale;
        for (auto const &f : rf.denominator()) {
            scale.push_back(whole_multiple(f.base));
            numerator = numerator.scaled(std::pow(scale.back(), static_cast<double>(f.power)));
        }
        for (std::size_t i = 0; i < scale.size(); ++i) {
            if (rf.denominator()[i].power != 1) continue;
            double const m = whole_multiple(numerator);
            scale[i] *= m;
            numerator = numerator.scaled(m);
            break;
        }
        law_ptr denominator;
        for (std::size_t i = 0; i < scale.size(); ++i) {
            auto const &f = rf.denominator()[i];
            law_ptr const p = build::power(write(f.base.scaled(scale[i])),
                                           build::constant(-static_cast<double>(f.power)));
            denominator = denominator ? build::times(denominator, p) : p;
        }
        if (!denominator) return write(numerator);
        bool const unit = numerator.is_constant() && numerator.constant_value() == 1.0;
        return unit ? denominator : build::times(write(numerator), denominator);
    }

    // The least whole k up to 100 that makes every coefficient of p whole, else 1.
    static double whole_multiple(sparse_polynomial const &p) {
        for (int k = 1; k <= 100; ++k) {
            bool all = true;
            for (auto const &t : p.terms()) all = all && whole(t.value * k);
            if (all) return k;
        }
        return 1;
    }

    std::unordered_map<law const *, node> done_;
    law_ptr inputs_[input_variables];
    std::vector<law_ptr> atoms_;
    std::unordered_map<std::size_t, std::vector<int>> by_fingerprint_;
};

}  // namespace

law_ptr polynomial_forms(law const *l) {
    if (!l) return nullptr;
    polynomial_phase phase;
    return phase.run(l);
}
