// law::bounds: the range of a law's outputs over a box, from samples refined where the law
// is far from linear between neighbours. The law base reaches it through its upper-layer hook.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include <law/core/constant_law.h>
#include <law/core/law.h>
#include <law/core/upper_layers.h>

namespace {
// Samples per input never reach this many.
constexpr int sample_cap = 100;

// The first samples of an input over [lo, hi]: the two ends and, between them, points moved off
// the even spacing by cos(j)/(10 n) so that they miss the symmetric points of a law.
std::vector<double> first_samples(double lo, double hi, int n) {
    std::vector<double> s(n);
    for (int j = 0; j < n; ++j) {
        double t = static_cast<double>(j) / (n - 1);
        if (j > 0 && j < n - 1) t += std::cos(j) / (10.0 * n);
        s[j] = lo + (hi - lo) * t;
    }
    return s;
}

class bounds_refiner {
  public:
    bounds_refiner(law const *f, double *min, double *max, double tol,
                   std::vector<std::vector<double>> samples)
        : f_(f),
          inputs_(f->take_dim()),
          outputs_(f->return_dim()),
          min_(min),
          max_(max),
          tol_(tol),
          samples_(std::move(samples)),
          point_(inputs_) {}

    // One pass over every input: new midpoints between neighbouring samples stay where the law
    // bends more than tol. True when one stayed; *error gets the largest bend kept (or tol).
    bool refine(double *error) {
        double e = tol_;
        bool changed = false;
        for (int d = 0; d < inputs_; ++d) {
            std::vector<double> &s = samples_[d];
            int const n = static_cast<int>(s.size());
            if (2 * n - 1 >= sample_cap) continue;
            std::vector<double> const bend = largest_bends(d);
            std::vector<double> kept{s[0]};
            for (int j = 1; j < n; ++j) {
                if (bend[j - 1] > tol_) {
                    kept.push_back((s[j - 1] + s[j]) / 2);
                    e = std::max(e, bend[j - 1]);
                    changed = true;
                }
                kept.push_back(s[j]);
            }
            s = std::move(kept);
        }
        *error = e;
        return changed;
    }

    double smallest_spacing(int d) const {
        std::vector<double> const &s = samples_[d];
        double gap = DBL_MAX;
        for (std::size_t j = 1; j < s.size(); ++j) gap = std::min(gap, std::fabs(s[j] - s[j - 1]));
        return s.size() > 1 ? gap : 0;
    }

  private:
    // For each pair of neighbouring samples of input d, the distance of f at their midpoint from
    // the chord between them, largest over every combination of the other inputs' samples. Every
    // point is evaluated in one batch, in the order the pairs and combinations come; every value
    // met widens the range.
    std::vector<double> largest_bends(int d) {
        std::vector<double> const &s = samples_[d];
        std::vector<double> points;
        int triples = 0;
        for (std::size_t j = 1; j < s.size(); ++j) {
            std::vector<int> digit(inputs_, 0);
            do {
                for (int i = 0; i < inputs_; ++i)
                    if (i != d) point_[i] = samples_[i][digit[i]];
                for (double t : {s[j - 1], (s[j - 1] + s[j]) / 2, s[j]}) {
                    point_[d] = t;
                    points.insert(points.end(), point_.begin(), point_.end());
                }
                ++triples;
            } while (next_combination(digit, d));
        }
        std::vector<double> y(static_cast<std::size_t>(3 * triples * outputs_));
        f_->evaluate_many(points.data(), y.data(), 3 * triples);
        for (std::size_t p = 0; p < y.size(); ++p) {
            int const k = static_cast<int>(p % outputs_);
            min_[k] = std::min(min_[k], y[p]);
            max_[k] = std::max(max_[k], y[p]);
        }
        std::vector<double> worst(s.size() - 1, 0);
        int const per_pair = triples / static_cast<int>(s.size() - 1);
        for (int t = 0; t < triples; ++t) {
            double const *v = y.data() + static_cast<std::ptrdiff_t>(3 * t) * outputs_;
            double sq = 0;
            for (int k = 0; k < outputs_; ++k) {
                double const off = v[outputs_ + k] - (v[k] + v[2 * outputs_ + k]) / 2;
                sq += off * off;
            }
            double &w = worst[static_cast<std::size_t>(t / per_pair)];
            w = std::max(w, std::sqrt(sq));
        }
        return worst;
    }

    // Advances the other inputs' indices like the digits of a number; false after the last.
    bool next_combination(std::vector<int> &digit, int skip) const {
        for (int i = 0; i < inputs_; ++i) {
            if (i == skip) continue;
            if (++digit[i] < static_cast<int>(samples_[i].size())) return true;
            digit[i] = 0;
        }
        return false;
    }

    law const *f_;
    int inputs_, outputs_;
    double *min_, *max_;
    double tol_;
    std::vector<std::vector<double>> samples_;
    std::vector<double> point_;
};

// The box of the inputs: the given ends, else the domain; every side must have a finite length
// (which also rules out infinite and NaN ends).
void input_box(law const *f, double const *start, double const *end, std::vector<double> &lo,
               std::vector<double> &hi) {
    if (!start != !end) law_error(LAW_NULL_LAW, "one end of the box is given without the other");
    for (int i = 0; i < f->take_dim(); ++i) {
        ZEM::interval domain;
        f->term_domain(i, domain);
        lo.push_back(start ? start[i] : domain.start_pt());
        hi.push_back(end ? end[i] : domain.end_pt());
        if (!std::isfinite(hi.back() - lo.back()))
            law_error(LAW_BAD_BOUNDS, "input " + std::to_string(i) + " has no finite range");
    }
}

double sampled_bounds(law const *f, double *min, double *max, double const *start,
                      double const *end, double tol, double *step) {
    int const inputs = f->take_dim(), outputs = f->return_dim();
    if (!min || !max) law_error(LAW_NULL_LAW, "no place for the bounds");
    if (!(tol >= 0)) law_error(LAW_BAD_TOLERANCE, "the tolerance " + number_string(tol));
    std::vector<double> lo, hi;
    input_box(f, start, end, lo, hi);
    std::fill(min, min + outputs, DBL_MAX);
    std::fill(max, max + outputs, -DBL_MAX);
    double e = tol;
    if (inputs == 0) {
        f->evaluate(nullptr, min);
        std::copy(min, min + outputs, max);
    } else {
        int const n = inputs == 1 ? 5 : 4;
        std::vector<std::vector<double>> samples;
        for (int i = 0; i < inputs; ++i) samples.push_back(first_samples(lo[i], hi[i], n));
        bounds_refiner refiner(f, min, max, tol, std::move(samples));
        while (refiner.refine(&e)) continue;
        for (int i = 0; step && i < inputs; ++i) step[i] = refiner.smallest_spacing(i);
    }
    for (int k = 0; k < outputs; ++k) {
        double const widen = std::max(2 * e, 0.01 * (max[k] - min[k]));
        min[k] -= widen;
        max[k] += widen;
    }
    return 2 * e;
}

[[maybe_unused]] bool const bounds_installed = (upper_layers().bounds = sampled_bounds, true);
}  // namespace
