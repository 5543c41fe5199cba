#pragma once
// Family base of the laws of one sub-law, printed as NAME(sub).
#include <law/core/law.h>

class unary_law : public law {
    LAW_FAMILY_IDENTITY(unary_law, law)
  public:
    explicit unary_law(law *sub);
    law *fsub() const { return sub_; }
    // A new law of this class over sub.
    virtual law *make_one(law *sub) const;

    int same(law const *a, law const *b) const override;
    char *string(law_symbol_type type = law_symbol_default, int &count = NULL_REF,
                 law_data_node *&list = NULL_REF) const override;
    int date() const override;
    law *deep_copy(pointer_map *map = nullptr) const override;
    int term_domain(int which, ZEM::interval &out) const override;
    int in_domain(double const *x) const override;
    law *set_domain(ZEM::interval const *domains, int flag = 0) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    void hasa(int type, VOID_LIST &out) const override;

  protected:
    ~unary_law() override;
    int take_size() const override { return sub_ ? sub_->take_dim() : 0; }
    int return_size() const override { return sub_ ? sub_->return_dim() : 1; }
    // The first value of the sub-law at x.
    double sub_value(double const *x) const { return first_value(sub_, x); }

  private:
    law *sub_;
};
