#pragma once
// Family base of the laws of one law data, printed as NAME(data).
#include <law/core/member_family.h>

class unary_data_law : public member_family<unary_data_law, one_member<law_data>> {
    LAW_FAMILY_IDENTITY(unary_data_law, law)
  public:
    explicit unary_data_law(law_data *data);
    law_data *fsub() const { return members_.get(); }
    virtual law *make_one(law_data *data) const;

    LAW_MEMBER_FAMILY_OVERRIDES

  protected:
    ~unary_data_law() override;
    // The law data; LAW_NULL_LAW, naming the class, for a law of none (the registry's
    // prototype), which has nothing to evaluate or differentiate.
    law_data *required_data() const {
        require_members();
        return fsub();
    }
};
