#pragma once
// The scalar functions of one argument (SIN, LN, ARCCOSH, EVEN?, ...). Every one of them is a
// function_law driven by one row of the table of functions (its value with its domain error, its
// domain, derivative, bounds, rewrite rule and tape operation; function_rows.h);
// elementary_law<Id> only adds the class identity.
#include <law/core/unary_law.h>

struct function_row;
// The row of a function class; raises LAW_EVAL for an id that has none.
function_row const &function_row_of(int id);

class function_law : public unary_law {
  public:
    // The value of the function at a (first component of the sub-law).
    double value_at(double a) const;

    void evaluate(double const *x, double *y) const override;
    bool compiles_as_operation(side_operation &f) const override;
    bool plain_form_of(plain_form &f) const override;
    int in_domain(double const *x) const override;
    int term_domain(int which, ZEM::interval &out) const override;
    ZEM::interval estimate_bounds(ZEM::interval const &domain, int &failed) const override;
    law *sub_simplify(int level, char const *&rule_name = NULL_REF) const override;
    int date() const override;
    // The sub-law's, and where the function jumps, bends or has a pole (function_breaks.cc).
    int singularities(double **where, int **type, double start, double end,
                      double **period = nullptr) const override;

  protected:
    function_law(law *sub, function_row const &row) : unary_law(sub), row_(&row) {}
    law *deriv(int which) const override;
    int return_size() const override { return 1; }

  private:
    function_row const *row_;
};

template <int Id>
class elementary_law final : public table_law<Id, function_law> {
  public:
    explicit elementary_law(law *sub) : table_law<Id, function_law>(sub, function_row_of(Id)) {}
    law *make_one(law *sub) const override { return new elementary_law(sub); }
};

using not_law = elementary_law<law_id::not_law>;
using even_law = elementary_law<law_id::even_law>;
using odd_law = elementary_law<law_id::odd_law>;
using int_law = elementary_law<law_id::int_law>;
using prime_law = elementary_law<law_id::prime_law>;
using set_law = elementary_law<law_id::set_law>;
using natural_log_law = elementary_law<law_id::natural_log_law>;
using exp_law = elementary_law<law_id::exp_law>;
using floor_law = elementary_law<law_id::floor_law>;
using ceil_law = elementary_law<law_id::ceil_law>;
using rand_law = elementary_law<law_id::rand_law>;
using sin_law = elementary_law<law_id::sin_law>;
using cos_law = elementary_law<law_id::cos_law>;
using tan_law = elementary_law<law_id::tan_law>;
using cot_law = elementary_law<law_id::cot_law>;
using sec_law = elementary_law<law_id::sec_law>;
using csc_law = elementary_law<law_id::csc_law>;
using arcsin_law = elementary_law<law_id::arcsin_law>;
using arccos_law = elementary_law<law_id::arccos_law>;
using arccot_law = elementary_law<law_id::arccot_law>;
using arcsec_law = elementary_law<law_id::arcsec_law>;
using arccsc_law = elementary_law<law_id::arccsc_law>;
using sinh_law = elementary_law<law_id::sinh_law>;
using cosh_law = elementary_law<law_id::cosh_law>;
using tanh_law = elementary_law<law_id::tanh_law>;
using coth_law = elementary_law<law_id::coth_law>;
using sech_law = elementary_law<law_id::sech_law>;
using csch_law = elementary_law<law_id::csch_law>;
using arcsinh_law = elementary_law<law_id::arcsinh_law>;
using arccosh_law = elementary_law<law_id::arccosh_law>;
using arctanh_law = elementary_law<law_id::arctanh_law>;
using arccoth_law = elementary_law<law_id::arccoth_law>;
using arcsech_law = elementary_law<law_id::arcsech_law>;
using arccsch_law = elementary_law<law_id::arccsch_law>;
using abs_law = elementary_law<law_id::abs_law>;
using sqrt_law = elementary_law<law_id::sqrt_law>;
