#include <law/ops/sparse_polynomial.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

using monomial = sparse_polynomial::monomial;
using term = sparse_polynomial::term;

// A coefficient within this many roundings of the magnitudes added into it is a cancellation.
constexpr double cancelled_within = 64 * DBL_EPSILON;
// Steps of an exact division or a Euclidean remainder before the search gives up.
constexpr int division_step_limit = 20000;

bool cancelled(term const &t) {
    return t.value == 0.0 || std::fabs(t.value) <= cancelled_within * t.scale;
}

std::int64_t total_degree(monomial const &m) {
    std::int64_t d = 0;
    for (auto const &[v, e] : m) d += e;
    return d;
}

monomial product(monomial const &a, monomial const &b) {
    monomial out;
    out.reserve(a.size() + b.size());
    std::size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        if (j == b.size() || (i < a.size() && a[i].first < b[j].first))
            out.push_back(a[i++]);
        else if (i == a.size() || b[j].first < a[i].first)
            out.push_back(b[j++]);
        else {
            out.emplace_back(a[i].first, a[i].second + b[j].second);
            ++i, ++j;
        }
    }
    return out;
}

// a / b when b divides a.
std::optional<monomial> quotient(monomial const &a, monomial const &b) {
    monomial out;
    std::size_t j = 0;
    for (auto const &[v, e] : a) {
        if (j < b.size() && b[j].first < v) return std::nullopt;
        std::int64_t rest = e;
        if (j < b.size() && b[j].first == v) rest -= b[j++].second;
        if (rest < 0) return std::nullopt;
        if (rest > 0) out.emplace_back(v, rest);
    }
    if (j != b.size()) return std::nullopt;
    return out;
}

}  // namespace

bool monomial_before(monomial const &a, monomial const &b) {
    std::int64_t const da = total_degree(a), db = total_degree(b);
    if (da != db) return da < db;
    // Equal degrees: the greater power of the first variable comes first (X^2, X*Y, Y^2).
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i].first != b[i].first) return a[i].first < b[i].first;
        if (a[i].second != b[i].second) return a[i].second > b[i].second;
    }
    return a.size() < b.size();
}

sparse_polynomial sparse_polynomial::normalised(std::vector<term> terms) {
    std::sort(terms.begin(), terms.end(),
              [](term const &a, term const &b) { return monomial_before(a.powers, b.powers); });
    std::vector<term> out;
    out.reserve(terms.size());
    for (term &t : terms) {
        if (!out.empty() && out.back().powers == t.powers) {
            out.back().value += t.value;
            out.back().scale += t.scale;
        } else {
            if (!out.empty() && cancelled(out.back())) out.pop_back();
            out.push_back(std::move(t));
        }
    }
    if (!out.empty() && cancelled(out.back())) out.pop_back();
    return sparse_polynomial(std::move(out));
}

sparse_polynomial sparse_polynomial::constant(double c) {
    if (c == 0.0) return {};
    return sparse_polynomial({term{{}, c, std::fabs(c)}});
}

sparse_polynomial sparse_polynomial::variable(int v) {
    return sparse_polynomial({term{{{v, 1}}, 1.0, 1.0}});
}

std::int64_t sparse_polynomial::degree() const {
    return terms_.empty() ? 0 : total_degree(terms_.back().powers);
}

int sparse_polynomial::single_variable() const {
    int found = -1;
    for (term const &t : terms_) {
        for (auto const &[v, e] : t.powers) {
            if (found >= 0 && v != found) return -1;
            found = v;
        }
    }
    return found;
}

sparse_polynomial sparse_polynomial::operator+(sparse_polynomial const &b) const {
    std::vector<term> all = terms_;
    all.insert(all.end(), b.terms_.begin(), b.terms_.end());
    return normalised(std::move(all));
}

sparse_polynomial sparse_polynomial::operator-(sparse_polynomial const &b) const {
    return *this + b.negated();
}

sparse_polynomial sparse_polynomial::negated() const { return scaled(-1.0); }

sparse_polynomial sparse_polynomial::scaled(double c) const {
    if (c == 0.0) return {};
    std::vector<term> out = terms_;
    for (term &t : out) {
        t.value *= c;
        t.scale *= std::fabs(c);
    }
    return sparse_polynomial(std::move(out));
}

sparse_polynomial sparse_polynomial::operator*(sparse_polynomial const &b) const {
    std::vector<term> all;
    all.reserve(terms_.size() * b.terms_.size());
    for (term const &x : terms_)
        for (term const &y : b.terms_)
            all.push_back(term{product(x.powers, y.powers), x.value * y.value, x.scale * y.scale});
    return normalised(std::move(all));
}

std::optional<sparse_polynomial> sparse_polynomial::times(sparse_polynomial const &b,
                                                          std::size_t max_pairs) const {
    if (terms_.size() * b.terms_.size() > max_pairs) return std::nullopt;
    return *this * b;
}

std::optional<sparse_polynomial> sparse_polynomial::power(std::int64_t n, std::size_t max_terms,
                                                          std::size_t max_pairs) const {
    sparse_polynomial result = constant(1.0), base = *this;
    // A single term raises its exponents: no product is expanded.
    if (terms_.size() == 1) {
        term t = terms_[0];
        for (auto &[v, e] : t.powers) e *= n;
        t.value = std::pow(t.value, static_cast<double>(n));
        t.scale = std::fabs(t.value);
        if (!std::isfinite(t.value)) return std::nullopt;
        return normalised({t});
    }
    for (; n > 0; n >>= 1) {
        if (n & 1) {
            std::optional<sparse_polynomial> next = result.times(base, max_pairs);
            if (!next || next->size() > max_terms) return std::nullopt;
            result = std::move(*next);
        }
        if (n > 1) {
            std::optional<sparse_polynomial> square = base.times(base, max_pairs);
            if (!square || square->size() > max_terms) return std::nullopt;
            base = std::move(*square);
        }
    }
    return result;
}

std::optional<sparse_polynomial> sparse_polynomial::divided_by(sparse_polynomial const &d) const {
    if (d.is_zero()) return std::nullopt;
    term const &lead = d.leading();
    sparse_polynomial const rest(std::vector<term>(d.terms_.begin(), d.terms_.end() - 1));
    sparse_polynomial r = *this;
    std::vector<term> q;
    for (int step = 0; !r.is_zero(); ++step) {
        if (step == division_step_limit) return std::nullopt;
        term const top = r.leading();
        std::optional<monomial> m = quotient(top.powers, lead.powers);
        if (!m) return std::nullopt;
        double const c = top.value / lead.value;
        term const t{*m, c, std::fabs(c)};
        // The leading terms cancel by construction; the rest of d is taken away from the rest.
        r.terms_.pop_back();
        r = r - sparse_polynomial({t}) * rest;
        q.push_back(t);
    }
    return normalised(std::move(q));
}

monomial sparse_polynomial::common_monomial() const {
    if (terms_.empty()) return {};
    monomial common = terms_[0].powers;
    for (term const &t : terms_) {
        monomial kept;
        std::size_t j = 0;
        for (auto const &[v, e] : common) {
            while (j < t.powers.size() && t.powers[j].first < v) ++j;
            if (j < t.powers.size() && t.powers[j].first == v)
                kept.emplace_back(v, std::min(e, t.powers[j].second));
        }
        common = std::move(kept);
        if (common.empty()) break;
    }
    return common;
}

sparse_polynomial sparse_polynomial::without(monomial const &m) const {
    std::vector<term> out = terms_;
    for (term &t : out) t.powers = *quotient(t.powers, m);
    return sparse_polynomial(std::move(out));
}

bool sparse_polynomial::operator==(sparse_polynomial const &b) const {
    if (terms_.size() != b.terms_.size()) return false;
    for (std::size_t i = 0; i < terms_.size(); ++i)
        if (terms_[i].powers != b.terms_[i].powers || terms_[i].value != b.terms_[i].value)
            return false;
    return true;
}

namespace {

// Dense coefficients in one variable, lowest power first.
using dense = std::vector<double>;

dense to_dense(sparse_polynomial const &p) {
    dense c(static_cast<std::size_t>(p.degree()) + 1, 0.0);
    for (term const &t : p.terms()) c[t.powers.empty() ? 0 : t.powers[0].second] = t.value;
    return c;
}

double largest(dense const &c) {
    double m = 0;
    for (double v : c) m = std::max(m, std::fabs(v));
    return m;
}

// Drops the leading coefficients at or below limit.
void trim(dense &c, double limit) {
    while (!c.empty() && std::fabs(c.back()) <= limit) c.pop_back();
}

// The polynomial divided by its leading coefficient.
void make_monic(dense &c) {
    double const lead = c.back();
    for (double &v : c) v /= lead;
}

// The remainder of a by b (b with a non-zero leading coefficient).
dense remainder(dense a, dense const &b) {
    std::size_t const nb = b.size();
    for (std::size_t top = a.size(); top >= nb; --top) {
        double const c = a[top - 1] / b[nb - 1];
        for (std::size_t k = 0; k < nb; ++k) a[top - nb + k] -= c * b[k];
        a[top - 1] = 0.0;
    }
    a.resize(nb - 1);
    return a;
}

// A coefficient within a few roundings of a whole number is taken as that number.
double tidy(double c) {
    double const r = std::nearbyint(c);
    return std::fabs(c - r) <= 1e-9 * std::max(1.0, std::fabs(c)) ? r : c;
}

}  // namespace

std::optional<sparse_polynomial> common_factor(sparse_polynomial const &a,
                                               sparse_polynomial const &b) {
    int const v = a.single_variable();
    if (v < 0 || b.single_variable() != v || a.degree() > division_step_limit ||
        b.degree() > division_step_limit)
        return std::nullopt;
    // Euclid's algorithm with a loose test for a vanishing remainder; the exact divisions at
    // the end decide.
    constexpr double vanishing = 1e-10;
    dense x = to_dense(a), y = to_dense(b);
    if (x.size() < y.size()) std::swap(x, y);
    make_monic(x);
    make_monic(y);
    while (y.size() > 1) {
        dense r = remainder(x, y);
        trim(r, vanishing * std::max(largest(x), largest(y)));
        x = std::move(y);
        y = std::move(r);
        if (!y.empty()) make_monic(y);
    }
    // A non-zero constant remainder: nothing in common.
    if (!y.empty() || x.size() < 2) return std::nullopt;
    std::vector<term> terms;
    for (std::size_t k = 0; k < x.size(); ++k) {
        double const c = tidy(x[k]);
        if (c == 0.0) continue;
        sparse_polynomial::monomial m;
        if (k > 0) m.emplace_back(v, static_cast<std::int64_t>(k));
        terms.push_back(term{m, c, std::fabs(c)});
    }
    sparse_polynomial const g = sparse_polynomial::from_terms(std::move(terms));
    if (g.degree() < 1 || !a.divided_by(g) || !b.divided_by(g)) return std::nullopt;
    return g;
}
