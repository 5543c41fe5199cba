#pragma once
// What a derivative-free search learns of a function's curvature: a quasi-Newton (BFGS) estimate
// of the inverse Hessian, built from slopes the search estimated at the points it polled.
#include <vector>

class secant_model {
  public:
    explicit secant_model(int n) : n_(n) {}

    // The slope g (and the curvature along each axis, where known) estimated at the point x.
    // The first point seeds the estimate from the curvatures; each later one corrects it by the
    // change of slope since the point before. A pair whose slope does not grow along the way
    // (no convex curvature seen) leaves the estimate as it was.
    void observe(std::vector<double> const &x, std::vector<double> const &g,
                 std::vector<double> const &curvature);
    // Forgets the last point: the slopes after it are not to be compared with its own.
    void forget() { has_point_ = false; }

    // The quasi-Newton step -H g from the last point observed, or empty when there is none or
    // it does not go downhill.
    std::vector<double> newton_step() const;

  private:
    void seed(std::vector<double> const &curvature);
    void correct(std::vector<double> const &s, std::vector<double> const &y);
    double &h(int i, int j) { return h_[static_cast<std::size_t>(i * n_ + j)]; }
    double h(int i, int j) const { return h_[static_cast<std::size_t>(i * n_ + j)]; }

    int n_;
    std::vector<double> h_;  // the inverse Hessian, n x n by rows; empty until seeded
    std::vector<double> x_, g_;
    bool has_point_ = false;
};
