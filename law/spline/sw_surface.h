#pragma once
// The library's own tensor-product B-spline surface: degrees, knot vectors, control net and
// optional weights in one packed block of doubles (knots1, knots2, K1*K2 weights, 3*K1*K2
// coordinates with the point of column i, row j at K1*j + i, then min_s, max_s, min_t, max_t).
// Evaluation goes through per-patch Bezier caches, or power-basis patches for polynomial
// bicubic surfaces.
#include <vector>

#include <law/base/memory.h>
#include <law/base/vector.h>
#include <law/spline/bezier_patch.h>
#include <law/spline/power_patch.h>

class law;

class sw_surface : public ZEM_heap {
  public:
    // last1, last2: the index of the last control point in s and t; data: a packed block.
    sw_surface(int last1, int last2, int degree1, int degree2, int closed1, int closed2,
               int polynomial, int periodic1, int periodic2, double const *data);
    // From separate arrays: K1 x K2 control points (column i, row j at K1*j + i); null weights
    // give all weights 1.
    sw_surface(int K1, int K2, int degree1, int degree2, int closed1, int closed2, int polynomial,
               int periodic1, int periodic2, double *knots1, double *knots2, double *weights,
               ZEM::position *points, double min_s, double max_s, double min_t, double max_t);
    sw_surface(sw_surface const &other);
    sw_surface &operator=(sw_surface const &other);
    virtual ~sw_surface();

    sw_surface *copy_surface() const;

    int get_num_control_points1() const { return K1_; }
    int get_num_control_points2() const { return K2_; }
    int get_K1() const { return K1_ - 1; }
    int get_K2() const { return K2_ - 1; }
    int get_degree1() const { return degree1_; }
    int get_degree2() const { return degree2_; }
    int get_num_spans1() const { return spans1_; }
    int get_num_spans2() const { return spans2_; }
    int get_num_knots1() const { return knots1_count_; }
    int get_num_knots2() const { return knots2_count_; }
    int get_closed1() const { return closed1_; }
    int get_closed2() const { return closed2_; }
    int get_polynomial() const { return polynomial_; }
    int get_periodic1() const { return periodic1_; }
    int get_periodic2() const { return periodic2_; }
    double *get_IGES_DATA() const { return data_; }
    int get_data_size() const { return data_size(K1_, K2_, degree1_, degree2_); }
    double *get_knot_vector1() const { return knots1_; }
    double *get_knot_vector2() const { return knots2_; }
    double *get_weights() const { return weights_; }
    ZEM::position *get_control_points() const { return points_; }
    double get_min_s() const { return min_s_; }
    double get_max_s() const { return max_s_; }
    double get_min_t() const { return min_t_; }
    double get_max_t() const { return max_t_; }

    void set_control_point(int i, int j, ZEM::position &p);
    void get_control_point(int i, int j, ZEM::position &p) const;

    // Raises SW_SURFACE_EVAL farther than get_resabs outside the range; any output may be null.
    void eval(double s, double t, ZEM::position *P);
    void eval_derivatives(double s, double t, ZEM::position *P, ZEM::vector *Ps, ZEM::vector *Pt,
                          ZEM::vector *Pss, ZEM::vector *Pst, ZEM::vector *Ptt);

    void debug() const;

    static int data_size(int K1, int K2, int degree1, int degree2) {
        return K1 + degree1 + 1 + K2 + degree2 + 1 + 4 * K1 * K2 + 4;
    }

  protected:
    void finish_init();
    void init_caches();
    void set_caches(int derivatives);
    void check_caches(int derivatives);
    void delete_caches();
    void bspline_to_bezier_patch(int i, int j);
    void bezier_patch_to_power_patch(int i, int j);
    void set_derivative_b_caches(int i, int j);
    void set_derivative_p_caches(int i, int j);

  private:
    enum { d_s, d_t, d_ss, d_st, d_tt, derivative_kinds };
    struct derivative_patches {
        bezier_patch d[derivative_kinds];
    };
    struct power_derivatives {
        power_patch23 s;
        power_patch32 t;
        power_patch13 ss;
        power_patch22 st;
        power_patch31 tt;
    };
    struct local_point {
        int patch;
        double u, v, hs, ht;
    };

    sw_surface(int K1, int K2, int degree1, int degree2, int const (&flags)[5],
               double const *knots1, double const *knots2);
    static void check_shape(int K1, int K2, int degree1, int degree2, double const *knots1,
                            double const *knots2);
    void allocate_block(char const *file);
    void rational_derivatives(local_point const &at, ZEM::position const &P, double w,
                              ZEM::vector out[derivative_kinds]) const;
    local_point locate(double s, double t);

    int K1_, K2_;
    int degree1_, degree2_;
    int order1_, order2_;
    int spans1_, spans2_;
    int knots1_count_, knots2_count_;
    int closed1_, closed2_, polynomial_, periodic1_, periodic2_;
    double *data_ = nullptr;
    double *knots1_ = nullptr, *knots2_ = nullptr, *weights_ = nullptr;
    ZEM::position *points_ = nullptr;
    double min_s_ = 0, max_s_ = 0, min_t_ = 0, max_t_ = 0;
    std::vector<double> work_net_;  // the weighted net of one patch while it converts
    int hint_s_ = 0, hint_t_ = 0;
    int bicubic_ = 0;
    int cache_level_ = -1;
    std::vector<bezier_patch> value_patches_;
    // For rational surfaces the derivatives are those of the weighted points (and, in the x
    // coordinate of the second set, of the weights); the quotient rule finishes them.
    std::vector<derivative_patches> derivative_patches_;
    std::vector<derivative_patches> weight_derivative_patches_;
    std::vector<power_patch33> power_values_;
    std::vector<power_derivatives> power_derivatives_;
};

// The largest distance between the law of two inputs and the surface over an even grid of
// (2*K1 + 2) x (2*K2 + 2) parameters.
double sw_surface_accuracy(law *f, sw_surface *S);
