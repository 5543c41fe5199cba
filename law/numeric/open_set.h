#pragma once
// A union of disjoint closed intervals within [min, max], kept in ascending order; membership is
// tested with the calling thread's root_x_tol as slack. The root search records in it what it
// has examined and where the roots lie.
#include <numeric>

#include <law/base/memory.h>

class Open_interval : public ZEM_heap {
  public:
    Open_interval(double low, double high) : low(low), high(high) {}
    // Halfway, without overflowing for ends near the largest doubles.
    double mid_point() const { return std::midpoint(low, high); }

    double low;
    double high;
    Open_interval *next = nullptr;
};

class Open_set : public ZEM_heap {
  public:
    Open_set(double min, double max, int periodic = 0)
        : periodic_(periodic), max_(max), min_(min) {}
    ~Open_set();
    Open_set(Open_set const &) = delete;
    Open_set &operator=(Open_set const &) = delete;

    // Union of [a, b] into the set, and [a, b] cut out of it (clipped to [min, max]; a periodic
    // set maps the ends into the range first and wraps a range that then runs backwards).
    void add(double a, double b);
    void remove(double a, double b);

    // The first interval that holds t (within root_x_tol), or null.
    Open_interval *in(double t) const;
    // The last interval whose high is not above t, or null.
    Open_interval *before(double t) const;
    // The first interval whose low is at least t, or null.
    Open_interval *after(double t) const;

    int parts() const;
    // A new array (vorn_allocate; the caller gives it back) of the midpoints in order.
    double *mid_points() const;
    // Midpoint and width of the gap after the first interval (0 with fewer than two).
    double hole() const;
    double hole_size() const;
    // Midpoint of the widest gap, its width in size (0 and 0 when there is none); a periodic
    // set's gap across the ends of its range competes too.
    double largest_hole(double &size) const;
    // One interval covering [min, max] within root_x_tol.
    bool is_full() const;
    // The range and the intervals, to the debug file.
    void print() const;

    int periodic() const { return periodic_; }
    double min() const { return min_; }
    double max() const { return max_; }
    Open_interval *head() const { return head_; }

  private:
    // Maps, orders and clips the ends to the range as add and remove take them; false when
    // nothing of [a, b] is left, or when it wrapped around a periodic range and was handed to
    // `pieces` as its two parts.
    template <class Pieces>
    bool normalise(double &a, double &b, Pieces pieces) const;
    // Deletes every interval for which doomed holds.
    template <class Pred>
    void erase_if(Pred doomed);
    // Links a new interval [a, b] after prev (first when prev is null).
    void insert_after(Open_interval *prev, double a, double b);

    int periodic_;
    double max_;
    double min_;
    Open_interval *head_ = nullptr;
};
