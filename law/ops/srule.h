#pragma once
// Global rewrite rules of the simplifier, kept in three lists: 0 for the main phase, 1 for the
// deep phase (level 2 and above), 2 for the post phase.
class law;

class SRule {
  public:
    using rule_fn = law *(*)(law *);
    static constexpr int list_count = 3;

    // Pushes the rule at the head of list `list`: a list runs in the reverse of construction.
    SRule(rule_fn fn, int list, char const *name);
    SRule(SRule const &) = delete;
    SRule &operator=(SRule const &) = delete;

    // A new law replacing l, or null when the rule does not apply.
    law *apply(law *l) const { return fn_(l); }
    SRule const *next() const { return next_; }
    char const *name() const { return name_; }

    // The first rule of a list (null for an empty or unknown list).
    static SRule const *head(int list);

  private:
    rule_fn fn_;
    SRule const *next_;
    char const *name_;
};
