#include <law/spline/law_to_sw_curve_in_pieces.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include <law/base/memory.h>
#include <law/base/tolerance.h>
#include <law/core/law.h>
#include <law/core/singular_points.h>
#include <law/spline/fit_input.h>
#include <law/spline/law_to_sw_curve.h>
#include <law/spline/sw_curve.h>

namespace {

// The spacing of the samples a piece is continued from: the largest difference step of the
// fitting's tangents (1.5e-3) is spanned by two of them.
constexpr double continuation_step = 1e-3;

// A curve law over [a, b] and, beyond its ends, the cubic through four of its values just inside
// the end, so that differences taken across an end see the piece's own smooth continuation, not
// the law beyond a kink. At an end the piece is the law's value where the law is continuous (a
// position at a kink), else the continuation: a derivative, whose value at a kink is one side's,
// or a position where the law jumps, whose value there belongs to one side alone.
class curve_piece : public law {
  public:
    curve_piece(law const *f, double a, double b, bool exact_a, bool exact_b)
        : f_(share(f)),
          a_(a),
          b_(b),
          step_(std::min(continuation_step, (b - a) / 5)),
          exact_a_(exact_a),
          exact_b_(exact_b) {}

    char const *class_name() const override { return "curve_piece"; }

    void evaluate(double const *x, double *y) const override {
        double const t = x[0];
        bool const inside = (a_ < t || (exact_a_ && t == a_)) && (t < b_ || (exact_b_ && t == b_));
        if (inside) return f_->evaluate(x, y);
        // Lagrange's cubic through the law at end + k * step inward, k = 1 .. 4.
        double const end = t <= a_ ? a_ : b_, inward = t <= a_ ? step_ : -step_;
        double const u = (t - end) / inward;  // t in units of the step, inward positive
        for (int c = 0; c < 3; ++c) y[c] = 0;
        for (int k = 1; k <= 4; ++k) {
            double weight = 1;
            for (int j = 1; j <= 4; ++j)
                if (j != k) weight *= (u - j) / (k - j);
            double const at = end + k * inward;
            double v[3];
            f_->evaluate(&at, v);
            for (int c = 0; c < 3; ++c) y[c] += weight * v[c];
        }
    }

  protected:
    int take_size() const override { return 1; }
    int return_size() const override { return 3; }
    law *deriv(int which) const override {
        law_ptr const d = adopt(f_->derivative(which));
        return new curve_piece(d.get(), a_, b_, false, false);
    }

  private:
    law_ptr f_;
    double a_, b_, step_;
    bool exact_a_, exact_b_;
};

// The pieces as one cubic B-spline: each piece's knots with its end knots once fewer at a join
// (a triple knot), its control points with the shared end point once (the mean of both ends).
sw_curve *joined(std::vector<std::unique_ptr<sw_curve>> const &pieces) {
    std::vector<double> knots, points;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        sw_curve const &c = *pieces[i];
        double const *k = c.get_knot_vector();
        int const first_knot = i == 0 ? 0 : 4;
        int const last_knot = i + 1 == pieces.size() ? c.get_num_knots() : c.get_num_knots() - 1;
        knots.insert(knots.end(), k + first_knot, k + last_knot);
        for (int j = 0; j < c.get_K(); ++j) {
            double p[3];
            c.get_control_point(j, p);
            if (i > 0 && j == 0) {
                for (int d = 0; d < 3; ++d)
                    points[points.size() - 3 + d] = (points[points.size() - 3 + d] + p[d]) / 2;
                continue;
            }
            points.insert(points.end(), p, p + 3);
        }
    }
    int const K = static_cast<int>(points.size() / 3);
    return new sw_curve(K, 3, 0, 0, 1, 0, knots.data(), nullptr, points.data(), knots[3], knots[K],
                        nullptr);
}

}  // namespace

sw_curve *law_to_sw_curve_in_pieces(law *f, ZEM::interval const &range, double tol,
                                    knot_removal_strategy strategy) {
    double const t0 = range.start_pt(), t1 = range.end_pt();
    check_fit_input(f, t0, t1, tol);
    std::vector<singular_point> ends = singular_points_inside(f, t0, t1);
    if (ends.empty()) return law_to_sw_curve(f, range, tol, strategy);
    ends.insert(ends.begin(), {t0, singular_point::kink});
    ends.push_back({t1, singular_point::kink});
    auto const continuous = [](singular_point const &p) { return p.order > singular_point::jump; };
    std::vector<std::unique_ptr<sw_curve>> pieces;
    for (std::size_t i = 0; i + 1 < ends.size(); ++i) {
        singular_point const &a = ends[i], &b = ends[i + 1];
        law_ptr const piece =
            make_law<curve_piece>(f, a.where, b.where, continuous(a), continuous(b));
        pieces.emplace_back(
            law_to_sw_curve(piece.get(), ZEM::interval(a.where, b.where), tol, strategy));
    }
    return joined(pieces);
}
