#pragma once
// A law wrapped as law data; it prints as the law itself.
#include <law/core/law.h>
#include <law/core/law_data.h>

class law_law_data : public law_data {
  public:
    law_law_data() : law_(nullptr) {}
    explicit law_law_data(law *l);
    law *data_law() const { return law_; }

    char const *symbol(law_symbol_type) const override { return "LAW"; }
    char *string(law_symbol_type type, int &count, law_data_node *&list) const override;
    int date() const override;
    int type() const override { return law_law_data_type; }
    law_data *deep_copy(pointer_map *map = nullptr) const override;
    law_data *set_domain(ZEM::interval const *domains) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    bool operator==(law_data const &other) const override;

  protected:
    ~law_law_data() override;

  private:
    law *law_;
};

// The law wrapped by a law data, or null when it is not a law_law_data or wraps none.
law *wrapped_law(law_data const *d);
