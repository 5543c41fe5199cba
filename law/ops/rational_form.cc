#include <law/ops/rational_form.h>

#include <algorithm>
#include <cmath>

namespace {

using factor = rational_form::factor;

// A fixed order of polynomials, so that equal forms list their factors alike.
bool polynomial_before(sparse_polynomial const &a, sparse_polynomial const &b) {
    if (a.degree() != b.degree()) return a.degree() < b.degree();
    if (a.size() != b.size()) return a.size() < b.size();
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto const &x = a.terms()[i];
        auto const &y = b.terms()[i];
        if (x.powers != y.powers) return monomial_before(x.powers, y.powers);
        if (x.value != y.value) return x.value < y.value;
    }
    return false;
}

bool small_enough(sparse_polynomial const &p) {
    return p.size() <= rational_form::max_terms && p.degree() <= rational_form::max_degree;
}

std::int64_t power_in(std::vector<factor> const &list, sparse_polynomial const &base) {
    for (factor const &f : list)
        if (f.base == base) return f.power;
    return 0;
}

// The product of base^power over the list, each power less what `have` already holds.
std::optional<sparse_polynomial> missing_part(std::vector<factor> const &common,
                                              std::vector<factor> const &have) {
    sparse_polynomial out = sparse_polynomial::constant(1.0);
    for (factor const &f : common) {
        std::int64_t const n = f.power - power_in(have, f.base);
        if (n == 0) continue;
        std::optional<sparse_polynomial> p =
            f.base.power(n, rational_form::max_terms, rational_form::max_pairs);
        if (!p) return std::nullopt;
        std::optional<sparse_polynomial> next = out.times(*p, rational_form::max_pairs);
        if (!next || !small_enough(*next)) return std::nullopt;
        out = std::move(*next);
    }
    return out;
}

}  // namespace

bool rational_form::within_bounds() const {
    if (!small_enough(numerator_)) return false;
    for (factor const &f : denominator_)
        if (!small_enough(f.base) || f.power > max_degree) return false;
    return true;
}

void rational_form::add_factor(sparse_polynomial base, std::int64_t power) {
    for (factor &f : denominator_) {
        if (f.base == base) {
            f.power += power;
            return;
        }
    }
    denominator_.push_back({std::move(base), power});
}

bool rational_form::divide_by(sparse_polynomial const &p, std::int64_t power) {
    if (p.is_zero()) return false;
    double const lead = p.leading().value;
    numerator_ = numerator_.scaled(std::pow(lead, static_cast<double>(-power)));
    sparse_polynomial const monic = p.scaled(1.0 / lead);
    sparse_polynomial::monomial const common = monic.common_monomial();
    for (auto const &[v, e] : common) add_factor(sparse_polynomial::variable(v), e * power);
    sparse_polynomial rest = monic.without(common);
    if (!rest.is_constant()) add_factor(std::move(rest), power);
    return true;
}

void rational_form::cancel() {
    if (numerator_.is_zero()) {
        denominator_.clear();
        return;
    }
    for (std::size_t i = 0; i < denominator_.size(); ++i) {
        while (denominator_[i].power > 0) {
            std::optional<sparse_polynomial> q = numerator_.divided_by(denominator_[i].base);
            if (!q) break;
            numerator_ = std::move(*q);
            --denominator_[i].power;
        }
        if (denominator_[i].power == 0) continue;
        std::optional<sparse_polynomial> const g = common_factor(numerator_, denominator_[i].base);
        if (!g) continue;
        // base = g * rest: one power of g cancels, the rest stays a factor of its own (looked at
        // again when the loop reaches it).
        numerator_ = *numerator_.divided_by(*g);
        sparse_polynomial rest = *denominator_[i].base.divided_by(*g);
        --denominator_[i].power;
        if (!rest.is_constant()) add_factor(std::move(rest), 1);
        --i;
    }
    std::erase_if(denominator_, [](factor const &f) { return f.power == 0; });
    std::sort(denominator_.begin(), denominator_.end(),
              [](factor const &a, factor const &b) { return polynomial_before(a.base, b.base); });
}

std::optional<rational_form> rational_form::sum(rational_form const &a, rational_form const &b) {
    rational_form out;
    out.denominator_ = a.denominator_;
    for (factor const &f : b.denominator_) {
        bool found = false;
        for (factor &g : out.denominator_) {
            if (g.base == f.base) {
                g.power = std::max(g.power, f.power);
                found = true;
            }
        }
        if (!found) out.denominator_.push_back(f);
    }
    std::optional<sparse_polynomial> const ma = missing_part(out.denominator_, a.denominator_);
    std::optional<sparse_polynomial> const mb = missing_part(out.denominator_, b.denominator_);
    if (!ma || !mb) return std::nullopt;
    std::optional<sparse_polynomial> const na = a.numerator_.times(*ma, max_pairs);
    std::optional<sparse_polynomial> const nb = b.numerator_.times(*mb, max_pairs);
    if (!na || !nb) return std::nullopt;
    out.numerator_ = *na + *nb;
    if (!out.within_bounds()) return std::nullopt;
    out.cancel();
    return out;
}

std::optional<rational_form> rational_form::product(rational_form const &a,
                                                    rational_form const &b) {
    rational_form out;
    std::optional<sparse_polynomial> n = a.numerator_.times(b.numerator_, max_pairs);
    if (!n) return std::nullopt;
    out.numerator_ = std::move(*n);
    out.denominator_ = a.denominator_;
    for (factor const &f : b.denominator_) out.add_factor(f.base, f.power);
    if (!out.within_bounds()) return std::nullopt;
    out.cancel();
    return out;
}

rational_form rational_form::negated() const {
    rational_form out = *this;
    out.numerator_ = numerator_.negated();
    return out;
}

std::optional<sparse_polynomial> rational_form::expanded_denominator() const {
    return missing_part(denominator_, {});
}

std::optional<rational_form> rational_form::inverse() const {
    if (numerator_.is_zero()) return std::nullopt;
    std::optional<sparse_polynomial> d = expanded_denominator();
    if (!d) return std::nullopt;
    rational_form out{std::move(*d)};
    out.divide_by(numerator_, 1);
    if (!out.within_bounds()) return std::nullopt;
    out.cancel();
    return out;
}

std::optional<rational_form> rational_form::power(std::int64_t n) const {
    if (n == 0) return rational_form(sparse_polynomial::constant(1.0));
    if (n < 0) {
        std::optional<rational_form> const inv = inverse();
        return inv ? inv->power(-n) : std::nullopt;
    }
    if (n > max_degree) return std::nullopt;
    std::optional<sparse_polynomial> p = numerator_.power(n, max_terms, max_pairs);
    if (!p || !small_enough(*p)) return std::nullopt;
    rational_form out{std::move(*p)};
    out.denominator_ = denominator_;
    for (factor &f : out.denominator_) f.power *= n;
    if (!out.within_bounds()) return std::nullopt;
    return out;
}
