#pragma once
// A quotient of polynomials, numerator over a product of powers of factors, with the factors
// the numerator shares cancelled: the simplifier's canonical form of a rational function of its
// atoms. Each factor has a leading coefficient of 1, so that equal factors meet.
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include <law/ops/sparse_polynomial.h>

class rational_form {
  public:
    struct factor {
        sparse_polynomial base;
        std::int64_t power;  // positive
    };

    // Bounds on the work of one form: past them an operation gives nothing, and the law it
    // stands for stays as it was.
    static constexpr std::size_t max_terms = 4000;
    static constexpr std::int64_t max_degree = 4000;
    static constexpr std::size_t max_pairs = 250000;  // pairs of terms in one product

    rational_form() = default;
    explicit rational_form(sparse_polynomial p) : numerator_(std::move(p)) {}

    sparse_polynomial const &numerator() const { return numerator_; }
    std::vector<factor> const &denominator() const { return denominator_; }

    static std::optional<rational_form> sum(rational_form const &a, rational_form const &b);
    static std::optional<rational_form> product(rational_form const &a, rational_form const &b);
    rational_form negated() const;
    // The n-th power for any whole n (nothing for a negative power of zero).
    std::optional<rational_form> power(std::int64_t n) const;
    std::optional<rational_form> inverse() const;

  private:
    // The product of the denominator's factors, each to power + extra[i] (extra may be empty).
    std::optional<sparse_polynomial> expanded_denominator() const;
    // Puts the polynomial p as a factor of the given power: its numeric and monomial content
    // go to the numerator, the rest (made monic) joins the denominator.
    bool divide_by(sparse_polynomial const &p, std::int64_t power);
    void add_factor(sparse_polynomial base, std::int64_t power);
    // Cancels what the numerator shares with the factors.
    void cancel();
    bool within_bounds() const;

    sparse_polynomial numerator_;
    std::vector<factor> denominator_;
};
