#pragma once
// A law of several members whose value is a tree of laws built from them once, when the law is
// made: its evaluation, derivatives, inputs and outputs are those of the tree. A class of this
// kind is its count rule and its formula (a builder of the tree).
#include <array>
#include <type_traits>

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

// The class of one row of the class table whose tree is Build(members, n). Build checks the
// count rule and raises its code; the prototype (made with no members) builds nothing. Rule,
// when given, is the class's own simplification.
template <int Id, law_ptr (*Build)(law **subs, int n), member_rule Rule = no_member_rule>
class built_law_of final : public table_law<Id, built_law> {
    using base = table_law<Id, built_law>;

  public:
    built_law_of() : base(nullptr, 0, law_ptr()) {}
    built_law_of(law **subs, int n) : base(subs, n, Build(subs, n)) {}
    // The members one by one: built_law_of(v, path, angle).
    template <class... L>
    requires(sizeof...(L) > 0 &&
             (std::is_convertible_v<L, law *> && ...)) explicit built_law_of(L... members)
        : built_law_of(std::array<law *, sizeof...(L)>{members...}) {}
    law *make_one(law **subs, int n) const override { return new built_law_of(subs, n); }

    law *sub_simplify(int level, char const *&rule_name = NULL_REF) const override {
        if (this->internal())
            if (law_ptr rewritten = Rule(this->fsub(), this->fsub_num(), rule_name))
                return rewritten.release();
        return base::sub_simplify(level, rule_name);
    }

  private:
    template <std::size_t N>
    explicit built_law_of(std::array<law *, N> members)
        : built_law_of(members.data(), static_cast<int>(N)) {}
};
