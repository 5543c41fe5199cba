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

    LAW_FAMILY_OVERRIDES

  protected:
    ~multiple_data_law() override;
    // LAW_NULL_LAW, naming the class, for a law of no law data (the registry's prototype) or a
    // null one.
    void require_data() const;

  private:
    law_data **data_;
    int n_;
};
