#pragma once
// Law data over a path of the kernel: a curve, wire or parameter curve with a parameter range.
// The kernel's geometry wrappers implement the pure operations.
#include <law/base/vector.h>
#include <law/core/law_data.h>

class law;

class path_law_data : public law_data {
  public:
    path_law_data(double start, double end) : start_(start), end_(end) {}
    double data_start() const { return start_; }
    double data_end() const { return end_; }
    ZEM::interval data_range() const { return {start_, end_}; }

    int type() const override { return path_law_data_type; }
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    // Equal type codes and exactly equal ranges.
    bool operator==(law_data const &other) const override;

    // The point (nderiv 0) or its nderiv-th derivative at t, approached from side (-1 below,
    // 1 above, 0 either). A parameter curve answers in the first two components.
    virtual ZEM::vector eval(double t, int nderiv = 0, int side = 0) const = 0;
    virtual double curvature(double t) const = 0;
    // Singular parameters in [start, end] as new arrays (vorn_allocate) of places and orders;
    // returns their count. The base has none.
    virtual int singularities(double **where, int **type, double start, double end) const;

  private:
    double start_, end_;
};

class base_wire_law_data : public path_law_data {
  public:
    base_wire_law_data(double start, double end) : path_law_data(start, end) {}
    int type() const override { return wire_law_data_type; }
};

class base_pcurve_law_data : public path_law_data {
  public:
    base_pcurve_law_data(double start, double end) : path_law_data(start, end) {}
    int type() const override { return pcurve_law_data_type; }
};

class base_curve_law_data : public path_law_data {
  public:
    base_curve_law_data(double start, double end) : path_law_data(start, end) {}
    int type() const override { return curve_law_data_type; }

    // The parameter reached from start after the given arc length.
    virtual double length_param(double start, double length) const = 0;
    // The arc length from start to end (negative when end lies before start).
    virtual double length(double start, double end) const = 0;
    // The parameter of the foot of the perpendicular from p, searched from guess.
    virtual double point_perp(ZEM::position const &p, double guess) const = 0;
    virtual double point_perp(ZEM::position const &p) const = 0;
    // A new reference to a law that represents the curve; null when there is none.
    virtual law *law_form() const { return nullptr; }
    // The point and the first nderivs derivatives at t (derivs[i] receives derivative i + 1 and
    // may be null); returns the number of derivatives given. The base cannot: LAW_EVAL.
    virtual int evaluate(double t, ZEM::position &p, ZEM::vector **derivs, int nderivs,
                         int side) const;
    // Parameters in [start, end] where a derivative jumps, with the order of the first one that
    // does (new arrays, vorn_allocate); returns their count. The base cannot: LAW_EVAL.
    virtual int discontinuities(double **where, int **order, double start, double end) const;
};
