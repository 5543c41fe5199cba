#include <law/core/law_polynomial.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include <law/base/output.h>
#include <law/core/constant_law.h>

law_polynomial::law_polynomial(double coefficient, int power, law *variable)
    : degree_(power), variable_(variable) {
    if (variable_) variable_->add();
    reserve(1);
    append(coefficient, power);
}

law_polynomial::law_polynomial(law_polynomial const &other)
    : degree_(other.degree_), variable_(other.variable_) {
    if (variable_) variable_->add();
    reserve(other.count_);
    for (int i = 0; i < other.count_; ++i) append(other.coefficients_[i], other.powers_[i]);
}

law_polynomial &law_polynomial::operator=(law_polynomial const &other) {
    if (this == &other) return *this;
    law_polynomial copy(other);
    std::swap(degree_, copy.degree_);
    std::swap(count_, copy.count_);
    std::swap(coefficients_, copy.coefficients_);
    std::swap(powers_, copy.powers_);
    std::swap(variable_, copy.variable_);
    return *this;
}

law_polynomial::~law_polynomial() {
    vorn_discard(coefficients_);
    vorn_discard(powers_);
    if (variable_) variable_->remove();
}

// Room for n more terms; the arrays only grow through here.
void law_polynomial::reserve(int n) {
    if (n <= 0) return;
    int const size = count_ + n;
    auto *c = VORN_ARRAY(double, size);
    auto *p = VORN_ARRAY(int, size);
    if (count_) {
        std::memcpy(c, coefficients_, sizeof(double) * static_cast<std::size_t>(count_));
        std::memcpy(p, powers_, sizeof(int) * static_cast<std::size_t>(count_));
    }
    vorn_discard(coefficients_);
    vorn_discard(powers_);
    coefficients_ = c;
    powers_ = p;
}

void law_polynomial::append(double coefficient, int power) {
    coefficients_[count_] = coefficient;
    powers_[count_] = power;
    ++count_;
}

void law_polynomial::update_degree() {
    degree_ = 0;
    for (int i = 0; i < count_; ++i) degree_ = std::max(degree_, powers_[i]);
}

law_polynomial law_polynomial::failed() {
    law_polynomial p;
    p.degree_ = -1;
    return p;
}

bool law_polynomial::common_variable(law_polynomial const &other, law *&variable) const {
    variable = variable_ ? variable_ : other.variable_;
    if (!variable_ || !other.variable_ || variable_ == other.variable_) return true;
    return variable_->type() == other.variable_->type() &&
           variable_->same(variable_, other.variable_);
}

std::unordered_map<int, int> law_polynomial::term_of_power() const {
    std::unordered_map<int, int> term;
    for (int i = count_ - 1; i >= 0; --i) term[powers_[i]] = i;  // the first term of each power
    return term;
}

law_polynomial law_polynomial::operator+(law_polynomial other) const {
    law *variable = nullptr;
    if (!common_variable(other, variable)) return failed();
    law_polynomial sum;
    sum.variable_ = variable;
    if (variable) variable->add();
    sum.reserve(count_ + other.count_);
    // The right operand's terms in order, each merged with the left term of its power (a
    // polynomial's powers are distinct; the index keeps long sums linear), then the left terms
    // that none merged with.
    std::unordered_map<int, int> unmerged = term_of_power();
    for (int j = 0; j < other.count_; ++j) {
        double c = other.coefficients_[j];
        bool cancelled = false;
        if (auto const it = unmerged.find(other.powers_[j]); it != unmerged.end()) {
            cancelled = coefficients_[it->second] == -c;
            c += coefficients_[it->second];
            unmerged.erase(it);
        }
        if (!cancelled) sum.append(c, other.powers_[j]);
    }
    for (int i = 0; i < count_; ++i)
        if (unmerged.contains(powers_[i])) sum.append(coefficients_[i], powers_[i]);
    sum.update_degree();
    return sum;
}

law_polynomial law_polynomial::operator-() const {
    law_polynomial negated(*this);
    for (int i = 0; i < negated.count_; ++i) negated.coefficients_[i] = -negated.coefficients_[i];
    return negated;
}

law_polynomial law_polynomial::operator-(law_polynomial other) const { return *this + -other; }

law_polynomial law_polynomial::operator*(law_polynomial other) const {
    law *variable = nullptr;
    if (degree_ + other.degree_ > largest_degree) return failed();
    if (!common_variable(other, variable)) return failed();
    law_polynomial product;
    product.variable_ = variable;
    if (variable) variable->add();
    product.reserve(count_ * other.count_);
    // Power -> its term in the product, or -1: by index for the powers up to the product's
    // degree (a power of a long polynomial multiplies thousands of terms, once per factor),
    // hashed for any other.
    std::vector<int> term_by_index(
        static_cast<std::size_t>(std::max(degree_ + other.degree_, 0)) + 1, -1);
    std::unordered_map<int, int> term_by_hash;
    auto const term_of = [&](int power) -> int & {
        if (power >= 0 && static_cast<std::size_t>(power) < term_by_index.size())
            return term_by_index[static_cast<std::size_t>(power)];
        return term_by_hash.try_emplace(power, -1).first->second;
    };
    for (int i = 0; i < count_; ++i) {
        for (int j = 0; j < other.count_; ++j) {
            double const c = coefficients_[i] * other.coefficients_[j];
            int const power = powers_[i] + other.powers_[j];
            int &term = term_of(power);
            if (term < 0) {
                term = product.count_;
                product.append(c, power);
            } else {
                product.coefficients_[term] += c;
            }
        }
    }
    // Drop the terms that cancelled exactly.
    int kept = 0;
    for (int k = 0; k < product.count_; ++k) {
        if (product.coefficients_[k] == 0.0) continue;
        product.coefficients_[kept] = product.coefficients_[k];
        product.powers_[kept] = product.powers_[k];
        ++kept;
    }
    product.count_ = kept;
    product.update_degree();
    return product;
}

law_polynomial law_polynomial::operator^(int n) const {
    if (n < 1) return law_polynomial(1.0, 0, variable_);
    if (degree_ > 0 && n > largest_degree / degree_) return failed();
    law_polynomial power(*this);
    for (int k = 1; k < n && power.degree_ >= 0; ++k) power = power * *this;
    return power;
}

double law_polynomial::coefficent(int power) const {
    for (int i = 0; i < count_; ++i)
        if (powers_[i] == power) return coefficients_[i];
    return 0.0;
}

law *law_polynomial::in() const {
    if (variable_) variable_->add();
    return variable_;
}

void law_polynomial::print() const {
    if (variable_) {
        vorn_ptr<char> text(variable_->string(law_symbol_default));
        zem_printf("Polynomial in %s\n", text.get());
    } else {
        zem_printf("Polynomial\n");
    }
    zem_printf("Of degree %d\n", degree_);
    for (int i = 0; i < count_; ++i) zem_printf("Term %d = %f\n", powers_[i], coefficients_[i]);
}

double polynomial_multiple(law_polynomial const &p, law_polynomial const &q) {
    if (p.degree() != q.degree() || p.term_count() != q.term_count()) return 0;
    if (p.variable() && q.variable() && *p.variable() != *q.variable()) return 0;
    double m = 0;
    for (int i = 0; i < p.term_count(); ++i) {
        int const power = p.term_power(i);
        int j = 0;
        while (j < q.term_count() && q.term_power(j) != power) ++j;
        if (j == q.term_count() || p.term_coefficient(i) == 0.0) return 0;
        double const ratio = q.term_coefficient(j) / p.term_coefficient(i);
        if (i == 0)
            m = ratio;
        else if (std::fabs(ratio - m) > 1e-15)
            return 0;
    }
    return m;
}

// The law as its own variable of degree 1: every law that knows no better form.
law_polynomial *law::polynomial(law *) const {
    return new law_polynomial(1.0, 1, const_cast<law *>(this));
}

law_polynomial *constant_law::polynomial(law *) const {
    return new law_polynomial(value(), 0, nullptr);
}
