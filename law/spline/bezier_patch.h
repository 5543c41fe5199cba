#pragma once
// A Bezier patch of order p in s and q in t: the points row by row (row j, column i at j*p + i),
// with weights when rational.
#include <law/base/memory.h>
#include <law/base/vector.h>

class bezier_patch : public ZEM_heap {
  public:
    static constexpr int max_rows = 100;

    bezier_patch() = default;
    ~bezier_patch();
    bezier_patch(bezier_patch const &) = delete;
    bezier_patch &operator=(bezier_patch const &) = delete;

    // Allocates p*q points (and weights when rational); any earlier contents are released.
    void init(int p, int q, int rational);

    int order_s() const { return p_; }
    int order_t() const { return q_; }
    ZEM::position *points() const { return points_; }
    double *weights() const { return weights_; }
    ZEM::position &point(int i, int j) const { return points_[j * p_ + i]; }

    // The point at local parameters (u, v) in [0, 1]^2; w (when given) receives the weight sum.
    ZEM::position eval(double u, double v, double *w = nullptr) const;

  private:
    void release();
    int p_ = 0;
    int q_ = 0;
    ZEM::position *points_ = nullptr;
    double *weights_ = nullptr;
};
