#pragma once
// Leaves: a constant value, and the named constants PI, E, TRUE and FALSE.
#include <law/base/output.h>
#include <law/core/law.h>

class constant_law : public law {
    LAW_IDENTITY(constant_law, law)
  public:
    explicit constant_law(double value) : value_(value) {}
    double value() const { return value_; }
    virtual law *make_one(double value) const { return new constant_law(value); }

    void evaluate(double const *, double *answer) const override { answer[0] = value_; }
    int same(law const *a, law const *b) const override;
    char *string(law_symbol_type type = law_symbol_default, int &count = NULL_REF,
                 law_data_node *&list = NULL_REF) const override;
    law *deep_copy(pointer_map *map = nullptr) const override;
    ZEM::interval estimate_bounds(ZEM::interval const &domain, int &failed) const override;
    law_polynomial *polynomial(law *in) const override;

  protected:
    law *deriv(int which) const override;
    int take_size() const override { return 0; }

  private:
    double value_;
};

// "%.16g" of the value: the text of a constant in a printed law.
std::string number_string(double value);

// A named constant: its class, value and its two printed names come from one template.
template <int Id>
class named_constant_law : public table_law<Id, constant_law> {
  public:
    named_constant_law();
    law *make_one(double) const override { return new named_constant_law; }
    char *string(law_symbol_type type = law_symbol_default, int & = NULL_REF,
                 law_data_node *& = NULL_REF) const override {
        return zem_new_str_from(this->symbol(type));
    }
};

using pi_law = named_constant_law<law_id::pi_law>;
using e_law = named_constant_law<law_id::e_law>;
using true_law = named_constant_law<law_id::true_law>;
using false_law = named_constant_law<law_id::false_law>;

extern template class named_constant_law<law_id::pi_law>;
extern template class named_constant_law<law_id::e_law>;
extern template class named_constant_law<law_id::true_law>;
extern template class named_constant_law<law_id::false_law>;

// Inputs of a law: a variable's index stays below this, so that a point of every input a law
// takes (which the entry points of fewer values make, padded with zeros) stays small.
inline constexpr int law_variable_limit = 100000;

// Returns the variable-index-th input.
class identity_law : public law {
    LAW_IDENTITY(identity_law, law)
  public:
    // The index counts from 0 and stays below law_variable_limit (else LAW_DIM); the letter,
    // which names the variable in print, is an upper-case letter (else LAW_SYNTAX).
    explicit identity_law(int index = 0, char letter = 'X');
    int index() const { return index_; }
    char letter() const { return letter_; }

    void evaluate(double const *x, double *answer) const override { answer[0] = x[index_]; }
    int same(law const *a, law const *b) const override;
    char *string(law_symbol_type type = law_symbol_default, int &count = NULL_REF,
                 law_data_node *&list = NULL_REF) const override;
    law *deep_copy(pointer_map *map = nullptr) const override;
    ZEM::interval estimate_bounds(ZEM::interval const &domain, int &failed) const override;

  protected:
    law *deriv(int which) const override;
    law *sub_inverse() const override;
    int take_size() const override { return index_ + 1; }

  private:
    int index_;
    char letter_;
};
