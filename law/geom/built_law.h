#pragma once
// A law of several members whose value is a tree of laws built from them once, when the law is
// made: its evaluation, derivatives, inputs and outputs are those of the tree. A class of this
// kind is its count rule and its formula (a builder of the tree).
#include <array>
#include <concepts>
#include <type_traits>

#include <law/core/counted_array.h>
#include <law/core/multiple_law.h>

class built_law : public multiple_law {
  public:
    // The tree (no new reference); null for a prototype.
    law *internal() const { return internal_.get(); }

    void evaluate(double const *x, double *y) const override;
    int term_domain(int which, ZEM::interval &out) const override;
    int in_domain(double const *x) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    void hasa(int type, VOID_LIST &out) const override;

  protected:
    built_law(law **subs, int n, law_ptr internal)
        : multiple_law(subs, n), internal_(std::move(internal)) {}
    law *deriv(int which) const override;
    int take_size() const override;
    int return_size() const override;

  private:
    law_ptr internal_;
};

// A rewrite of a law of this kind from its members, with the rule's name; null when it does
// not apply.
using member_rule = law_ptr (*)(law *const *subs, int n, char const *&rule_name);
inline law_ptr no_member_rule(law *const *, int, char const *&) { return {}; }

// The law that undoes a law of this kind, over the same members (a new law); null when there is
// none.
using member_inverse = law *(*)(law **subs, int n);
inline law *no_member_inverse(law **, int) { return nullptr; }

// How a class whose members stand for geometry makes them from that geometry: a specialisation
// for the class's id with a static make(...) returning the members gives the class a constructor
// from the same arguments.
template <int Id>
struct built_members {};

// The class of one row of the class table whose tree is Build(members, n). Build checks the
// count rule and raises its code; the prototype (made with no members) builds nothing. Rule,
// when given, is the class's own simplification, and Inverse the law that undoes it.
template <int Id, law_ptr (*Build)(law **subs, int n), member_rule Rule = no_member_rule,
          member_inverse Inverse = no_member_inverse>
class built_law_of final : public table_law<Id, built_law> {
    using base = table_law<Id, built_law>;

  public:
    built_law_of() : base(nullptr, 0, law_ptr()) {}
    built_law_of(law **subs, int n) : base(subs, n, Build(subs, n)) {}
    // Given the law it undoes, which it holds and answers as its inverse.
    built_law_of(law **subs, int n, law *undoes) : built_law_of(subs, n) {
        this->set_inverse(undoes);
    }
    // The members one by one: built_law_of(v, path, angle).
    template <class... L>
    requires(sizeof...(L) > 0 &&
             (std::is_convertible_v<L, law *> && ...)) explicit built_law_of(L... members)
        : built_law_of(std::array<law *, sizeof...(L)>{members...}) {}
    // The members made from geometry by the class's built_members<Id>::make.
    template <class... A>
    requires requires(A const &...a) {
        { built_members<Id>::make(a...) } -> std::same_as<law_array>;
    }
    explicit built_law_of(A const &...geometry)
        : built_law_of(built_members<Id>::make(geometry...)) {}
    law *make_one(law **subs, int n) const override { return new built_law_of(subs, n); }

    law *sub_simplify(int level, char const *&rule_name = NULL_REF) const override {
        if (this->internal())
            if (law_ptr rewritten = Rule(this->fsub(), this->fsub_num(), rule_name))
                return rewritten.release();
        return base::sub_simplify(level, rule_name);
    }

  protected:
    law *sub_inverse() const override {
        return this->internal() ? Inverse(this->fsub(), this->fsub_num()) : nullptr;
    }

  private:
    template <std::size_t N>
    explicit built_law_of(std::array<law *, N> members)
        : built_law_of(members.data(), static_cast<int>(N)) {}
    explicit built_law_of(law_array &&members) : built_law_of(members.data(), members.size()) {}
};
