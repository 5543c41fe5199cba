#pragma once
// Exact curves of constant speed held as curve law data: a straight line, a circle and a helix.
// They serve the tests and the command-line tool, and show what a curve wrapper provides.
// Registered with the parser as LINE, CIRCLE and HELIX.
#include <law/data/path_law_data.h>

// Shared part of the curves whose speed |P'| is the same everywhere: length, arc-length
// parameter, curvature and the batched evaluation follow from eval and the speed.
class analytic_curve_law_data : public base_curve_law_data {
  public:
    using base_curve_law_data::base_curve_law_data;

    virtual double speed() const = 0;

    double curvature(double t) const override;
    double length_param(double start, double length) const override;
    double length(double start, double end) const override;
    double point_perp(ZEM::position const &p, double guess) const override {
        return foot(p, &guess);
    }
    double point_perp(ZEM::position const &p) const override { return foot(p, nullptr); }
    int evaluate(double t, ZEM::position &p, ZEM::vector **derivs, int nderivs,
                 int side) const override;
    // Smooth everywhere: none.
    int discontinuities(double **where, int **order, double start, double end) const override;

  protected:
    // The parameter of the foot of the perpendicular from p, the one nearest guess when given.
    virtual double foot(ZEM::position const &p, double const *guess) const = 0;
    // The checks of every constructor: a finite range that does not run backwards.
    void check_range() const;
    int same_range(analytic_curve_law_data const &o) const;
};

// P(t) = root + t dir, t in [start, end].
class line_law_data : public analytic_curve_law_data {
  public:
    line_law_data(ZEM::position const &root = ZEM::origin,
                  ZEM::vector const &dir = ZEM::vector(1, 0, 0), double start = 0, double end = 1);
    ZEM::position const &root() const { return root_; }
    ZEM::vector const &direction() const { return dir_; }

    char const *symbol(law_symbol_type) const override { return "LINE"; }
    void print(T4_ostream &out) const override;
    law_data *deep_copy(pointer_map *map = nullptr) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    bool operator==(law_data const &other) const override;
    ZEM::vector eval(double t, int nderiv = 0, int side = 0) const override;
    double speed() const override { return dir_.len(); }
    law *law_form() const override;

  protected:
    double foot(ZEM::position const &p, double const *guess) const override;

  private:
    ZEM::position root_;
    ZEM::vector dir_;
};

// P(t) = centre + cos t M + sin t (N x M) + pitch t / (2 pi) N, with M the major axis (its
// length the radius, made perpendicular to N) and N the unit axis; t in [start, end]. A circle is
// the helix of pitch 0.
class helix_law_data : public analytic_curve_law_data {
  public:
    helix_law_data(ZEM::position const &centre = ZEM::origin,
                   ZEM::vector const &axis = ZEM::vector(0, 0, 1),
                   ZEM::vector const &major = ZEM::vector(1, 0, 0), double pitch = 1,
                   double start = 0, double end = 2 * M_PI);
    ZEM::position const &centre() const { return centre_; }
    ZEM::unit_vector const &axis() const { return axis_; }
    ZEM::vector major() const { return x_ * radius_; }
    double radius() const { return radius_; }
    double pitch() const { return 2 * M_PI * rise_; }

    char const *symbol(law_symbol_type) const override { return "HELIX"; }
    void print(T4_ostream &out) const override;
    law_data *deep_copy(pointer_map *map = nullptr) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    bool operator==(law_data const &other) const override;
    ZEM::vector eval(double t, int nderiv = 0, int side = 0) const override;
    double speed() const override { return std::hypot(radius_, rise_); }
    law *law_form() const override;

  protected:
    // An exact copy: rebuilding from the parameters would normalise the axes again.
    helix_law_data(helix_law_data const &other);
    double foot(ZEM::position const &p, double const *guess) const override;

  private:
    // LAW_NO_VALUE unless a foot this far along (or NaN) has turns that can be told apart.
    static void check_turns(double farthest);

    ZEM::position centre_;
    ZEM::unit_vector axis_, x_, y_;
    double radius_;
    double rise_;  // axial advance per radian
};

// The helix of pitch 0: P(t) = centre + cos t M + sin t (N x M), t in [start, end].
class circle_law_data : public helix_law_data {
  public:
    circle_law_data(ZEM::position const &centre = ZEM::origin,
                    ZEM::vector const &normal = ZEM::vector(0, 0, 1),
                    ZEM::vector const &major = ZEM::vector(1, 0, 0), double start = 0,
                    double end = 2 * M_PI);

    char const *symbol(law_symbol_type) const override { return "CIRCLE"; }
    law_data *deep_copy(pointer_map *map = nullptr) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
};
