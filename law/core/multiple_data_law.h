#pragma once
// Family base of the laws of an array of law data, printed as NAME(d1,d2,...).
#include <law/core/law_data.h>
#include <law/core/member_family.h>

class multiple_data_law : public member_family<multiple_data_law, member_array<law_data>> {
    LAW_FAMILY_IDENTITY(multiple_data_law, law)
  public:
    multiple_data_law() : member_family(nullptr, 0) {}
    multiple_data_law(law_data **data, int n);
    law_data **fsubs() const { return members_.data(); }
    int fsize() const { return members_.size(); }
    virtual law *make_one(law_data **data, int n) const;

    LAW_MEMBER_FAMILY_OVERRIDES

  protected:
    ~multiple_data_law() override;
};
