#pragma once
// Family base of the laws of an array of law data, printed as NAME(d1,d2,...).
#include <law/core/law.h>
#include <law/core/member_array.h>

class multiple_data_law : public law {
    LAW_FAMILY_IDENTITY(multiple_data_law, law)
  public:
    multiple_data_law() : data_(nullptr, 0) {}
    multiple_data_law(law_data **data, int n);
    law_data **fsubs() const { return data_.data(); }
    int fsize() const { return data_.size(); }
    virtual law *make_one(law_data **data, int n) const;

    LAW_FAMILY_OVERRIDES

  protected:
    ~multiple_data_law() override;

  private:
    member_array<law_data> data_;
};
