#pragma once
// Family base of the laws of one law data, printed as NAME(data).
#include <law/core/law.h>

class unary_data_law : public law {
    LAW_FAMILY_IDENTITY(unary_data_law, law)
  public:
    explicit unary_data_law(law_data *data);
    law_data *fsub() const { return data_; }
    virtual law *make_one(law_data *data) const;

    LAW_FAMILY_OVERRIDES

  protected:
    ~unary_data_law() override;
    // The law data; LAW_NULL_LAW, naming the class, for a law of none (the registry's
    // prototype), which has nothing to evaluate or differentiate.
    law_data *required_data() const;

  private:
    law_data *data_;
};
