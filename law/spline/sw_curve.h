#pragma once
// The library's own B-spline curve in space: a degree, knots, control points and optional
// weights in one packed block of doubles (the parameter order of the IGES rational B-spline
// curve), evaluated through a cache of one Bezier segment per span.
#include <atomic>
#include <mutex>

#include <law/base/accounting.h>
#include <law/base/memory.h>
#include <law/base/vector.h>
#include <law/spline/bezier_segment.h>

class sw_curve : public ZEM_heap {
  public:
    // From a packed block of get_data_size doubles (copied): K = last + 1 control points.
    sw_curve(int last, int degree, int planar, int closed, int polynomial, int periodic,
             double const *data);
    // From separate arrays: K + degree + 1 knots, K weights (null: all 1), 3 K coordinates, the
    // parameter range and the unit normal of a planar curve (null: zero).
    sw_curve(int K, int degree, int planar, int closed, int polynomial, int periodic,
             double const *knots, double const *weights, double const *points, double t0, double t1,
             double const *normal);
    // Each copy owns its block and fills its own caches.
    sw_curve(sw_curve const &other);
    sw_curve &operator=(sw_curve const &other);
    virtual ~sw_curve();
    // The object (when count_self), the packed block and the caches.
    virtual void full_size(SizeAccumulator &acc, int count_self = 1) const;

    // A new curve from this one's packed block: how the library copies a curve.
    sw_curve *copy_curve() const;

    int get_K() const { return K_; }
    int get_num_control_points() const { return K_; }
    int get_degree() const { return degree_; }
    int get_num_spans() const { return spans_; }
    int get_num_knots() const { return num_knots_; }
    int get_planar() const { return planar_; }
    int get_closed() const { return closed_; }
    int get_polynomial() const { return polynomial_; }
    int get_periodic() const { return periodic_; }
    int get_data_size() const { return data_size(K_, degree_); }
    static int data_size(int K, int degree) { return K + degree + 1 + 4 * K + 5; }
    double const *get_IGES_DATA() const { return data_; }
    double const *get_knot_vector() const { return knots_; }
    double const *get_weights() const { return weights_; }
    double const *get_control_points() const { return points_; }
    double const *get_unit_normal() const { return normal_; }
    double get_min_t() const { return min_t_; }
    double get_max_t() const { return max_t_; }

    // Three coordinates of control point i (no range check); setting marks the caches stale.
    void get_control_point(int i, double *p) const;
    void set_control_point(int i, double const *p);

    // Position and first two derivatives at t; any output may be null. Beyond the range (by
    // more than 1e-10) the curve goes on along its end tangent.
    void eval(double t, ZEM::position *p, ZEM::vector *d1 = nullptr,
              ZEM::vector *d2 = nullptr) const;
    // The dump "#sw_curve info:" on the debug file.
    void debug() const;

    // Not provided: each raises its NO_SW_* code.
    double eval_curvature(double t) const;
    double length_param(double start, double length) const;
    double length(double start, double end) const;
    double point_perp(ZEM::position const &p, double guess) const;

  protected:
    void init_caches() const;
    void set_caches() const;
    void check_caches() const;
    void delete_caches() const;

  private:
    void build(int K, int degree, int planar, int closed, int polynomial, int periodic,
               double const *data);
    void release();
    // The first span that holds t (within 1e-10) and is longer than 1e-10; -1 when none.
    int find_span(double t) const;
    void eval_in_span(int span, double t, ZEM::position *p, ZEM::vector *d1, ZEM::vector *d2) const;

    int K_ = 0;
    int degree_ = 0;
    int spans_ = 0;
    int num_knots_ = 0;
    int planar_ = 0, closed_ = 0, polynomial_ = 1, periodic_ = 0;
    double *data_ = nullptr;
    double *knots_ = nullptr, *weights_ = nullptr, *points_ = nullptr;
    double min_t_ = 0, max_t_ = 0;
    double *normal_ = nullptr;
    // Caches: segments of the position, first and second derivative (one per span each); a
    // rational curve keeps only the first. Filled once under the mutex; the flag is read without
    // it, so that a curve with filled caches evaluates from many threads at once.
    mutable std::atomic<bool> caches_valid_{false};
    mutable std::mutex cache_mutex_;
    mutable bezier_segment *caches_[3] = {nullptr, nullptr, nullptr};
};

// r = a + (b - a)(t - t0)/(t1 - t0), or a when t1 - t0 is below resmch; per coordinate for
// vectors.
void sw_ratio(double t0, double t, double t1, double a, double &r, double b);
void sw_ratio(double t0, double t, double t1, ZEM::vector const &a, ZEM::vector &r,
              ZEM::vector const &b);
