#pragma once
// A polynomial in several variables with real coefficients, the simplifier's canonical form of
// the polynomial parts of a law. Variables are numbers that the caller gives its atoms (laws that
// are not sums, products or whole powers). Terms are kept in one fixed order, so that equal
// polynomials hold equal terms; a coefficient that cancels within the rounding of what was added
// into it is dropped.
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class sparse_polynomial {
  public:
    // (variable, exponent) pairs by increasing variable, each exponent positive.
    using monomial = std::vector<std::pair<int, std::int64_t>>;
    struct term {
        monomial powers;
        double value;
        double scale;  // the sum of the magnitudes that went into value
    };

    sparse_polynomial() = default;
    static sparse_polynomial constant(double c);
    static sparse_polynomial variable(int v);
    // The sum of the terms, in any order and with repeated monomials.
    static sparse_polynomial from_terms(std::vector<term> terms) {
        return normalised(std::move(terms));
    }

    bool is_zero() const { return terms_.empty(); }
    // Whether the polynomial has no variable (zero included).
    bool is_constant() const {
        return terms_.empty() || (terms_.size() == 1 && terms_[0].powers.empty());
    }
    double constant_value() const { return terms_.empty() ? 0.0 : terms_[0].value; }
    std::size_t size() const { return terms_.size(); }
    // The greatest total degree of a term (0 for a constant or zero).
    std::int64_t degree() const;
    // The terms in the canonical order: by total degree, the constant first.
    std::vector<term> const &terms() const { return terms_; }
    // The term of greatest order; the polynomial must not be zero.
    term const &leading() const { return terms_.back(); }
    // The one variable that the polynomial has, -1 for none or several.
    int single_variable() const;

    sparse_polynomial operator+(sparse_polynomial const &b) const;
    sparse_polynomial operator-(sparse_polynomial const &b) const;
    sparse_polynomial operator*(sparse_polynomial const &b) const;
    // The product, or nothing when it would multiply more than max_pairs pairs of terms.
    std::optional<sparse_polynomial> times(sparse_polynomial const &b, std::size_t max_pairs) const;
    sparse_polynomial negated() const;
    sparse_polynomial scaled(double c) const;
    // The n-th power (n >= 0), or nothing when it would hold more than max_terms terms or
    // multiply more than max_pairs pairs of terms on the way.
    std::optional<sparse_polynomial> power(std::int64_t n, std::size_t max_terms,
                                           std::size_t max_pairs) const;
    // The quotient q with *this = q d, when d divides the polynomial (d not zero).
    std::optional<sparse_polynomial> divided_by(sparse_polynomial const &d) const;
    // The product of the variables to the least exponent each has in every term (the constant 1
    // when a variable is missing from some term, and for zero).
    monomial common_monomial() const;
    // The polynomial divided by a monomial that divides every term.
    sparse_polynomial without(monomial const &m) const;

    // Same terms with the same coefficients.
    bool operator==(sparse_polynomial const &b) const;

  private:
    explicit sparse_polynomial(std::vector<term> terms) : terms_(std::move(terms)) {}
    // Sorts, merges equal monomials and drops the terms that cancelled.
    static sparse_polynomial normalised(std::vector<term> terms);

    std::vector<term> terms_;
};

// Whether monomial a comes before b in the canonical order.
bool monomial_before(sparse_polynomial::monomial const &a, sparse_polynomial::monomial const &b);

// The greatest common divisor, with leading coefficient 1, of two polynomials in the same one
// variable, when it has a degree of at least 1 and divides both exactly.
std::optional<sparse_polynomial> common_factor(sparse_polynomial const &a,
                                               sparse_polynomial const &b);
