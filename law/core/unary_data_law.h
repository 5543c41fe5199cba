#pragma once
// Family base of the laws of one law data, printed as NAME(data).
#include <law/core/law.h>

class unary_data_law : public law {
    LAW_FAMILY_IDENTITY(unary_data_law, law)
  public:
    explicit unary_data_law(law_data *data);
    law_data *fsub() const { return data_; }
    virtual law *make_one(law_data *data) const;

    int same(law const *a, law const *b) const override;
    char *string(law_symbol_type type = law_symbol_default, int &count = NULL_REF,
                 law_data_node *&list = NULL_REF) const override;
    int date() const override;
    law *deep_copy(pointer_map *map = nullptr) const override;
    law *set_domain(ZEM::interval const *domains, int flag = 0) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    void hasa(int type, VOID_LIST &out) const override;

  protected:
    ~unary_data_law() override;

  private:
    law_data *data_;
};

// The law wrapped by a law data, or null when it wraps none.
law *wrapped_law(law_data const *d);
