#pragma once
// A sparse polynomial in one variable, the variable being itself a law.
#include <unordered_map>

#include <law/core/law.h>

class law_polynomial : public ZEM_heap {
  public:
    // No terms, degree 0, no variable.
    law_polynomial() = default;
    // A polynomial of one term; the variable gets one more use (null for a constant).
    law_polynomial(double coefficient, int power, law *variable);
    law_polynomial(law_polynomial const &other);
    law_polynomial &operator=(law_polynomial const &other);
    ~law_polynomial();

    law_polynomial operator+(law_polynomial other) const;
    law_polynomial operator-(law_polynomial other) const;
    law_polynomial operator-() const;
    // A product or power of a degree above largest_degree fails: multiplying out costs the
    // square of the degree, and a law's polynomial is no use past a few thousand terms.
    static constexpr int largest_degree = 4096;
    law_polynomial operator*(law_polynomial other) const;
    // The n-th power for n >= 1; n < 1 gives the constant 1 in the same variable.
    law_polynomial operator^(int n) const;

    // The greatest power, 0 without terms, -1 after a failed combination.
    int degree() const { return degree_; }
    int term_count() const { return count_; }
    double term_coefficient(int i) const { return coefficients_[i]; }
    int term_power(int i) const { return powers_[i]; }
    // The coefficient of the term of that power, 0.0 when there is none.
    double coefficent(int power) const;
    // The variable with one more use for the caller (null when there is none).
    law *in() const;
    // The variable without a new use.
    law const *variable() const { return variable_; }
    void print() const;

  private:
    static law_polynomial failed();
    // The variable of a two-operand result, or false when the variables differ.
    bool common_variable(law_polynomial const &other, law *&variable) const;
    void append(double coefficient, int power);
    void reserve(int n);
    void update_degree();
    // The index of the term of each power.
    std::unordered_map<int, int> term_of_power() const;

    int degree_ = 0;
    int count_ = 0;
    double *coefficients_ = nullptr;
    int *powers_ = nullptr;
    law *variable_ = nullptr;
};

// The ratio m with q = m p, or 0 when there is none.
double polynomial_multiple(law_polynomial const &p, law_polynomial const &q);
