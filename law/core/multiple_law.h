#pragma once
// Family base of the laws of an array of sub-laws, printed as NAME(a,b,...).
#include <law/core/law.h>

class multiple_law : public law {
    LAW_FAMILY_IDENTITY(multiple_law, law)
  public:
    multiple_law(law **subs, int n);
    law **fsub() const { return subs_; }
    int fsub_num() const { return n_; }
    // A new law of this class over the n sub-laws.
    virtual law *make_one(law **subs, int n) const;
    virtual int commutative() const { return 0; }

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
    ~multiple_law() override;
    int take_size() const override;
    int return_size() const override;

  private:
    law **subs_;
    int n_;
};
