#pragma once
// Family base of the laws of an array of law data, printed as NAME(d1,d2,...).
#include <law/core/law.h>

class multiple_data_law : public law {
    LAW_FAMILY_IDENTITY(multiple_data_law, law)
  public:
    multiple_data_law() : data_(nullptr), n_(0) {}
    multiple_data_law(law_data **data, int n);
    law_data **fsubs() const { return data_; }
    int fsize() const { return n_; }
    virtual law *make_one(law_data **data, int n) const;

    int same(law const *a, law const *b) const override;
    char *string(law_symbol_type type = law_symbol_default, int &count = NULL_REF,
                 law_data_node *&list = NULL_REF) const override;
    int date() const override;
    law *deep_copy(pointer_map *map = nullptr) const override;
    law *set_domain(ZEM::interval const *domains, int flag = 0) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    void hasa(int type, VOID_LIST &out) const override;

  protected:
    ~multiple_data_law() override;

  private:
    law_data **data_;
    int n_;
};
