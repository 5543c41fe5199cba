#pragma once
// The zeros found by the two-dimensional root search, each with the size of its neighbourhood;
// points that turn out to be one zero are merged as they are added.
#include <law/base/complex_number.h>
#include <law/base/memory.h>

class law;

class Root_2D : public ZEM_heap {
  public:
    Root_2D(complex_number p, double value, double radius, Root_2D *next)
        : point(p), value(value), radius(radius), next(next) {}

    complex_number point;
    double value;   // the law's value at point
    double radius;  // the size of its neighbourhood
    Root_2D *next;
};

class Root_2D_set {
  public:
    Root_2D_set() = default;
    ~Root_2D_set();
    Root_2D_set(Root_2D_set const &) = delete;
    Root_2D_set &operator=(Root_2D_set const &) = delete;

    // The index of the stored root that p is (neighbourhoods overlap, or f stays below
    // root_f_tol half way between); otherwise p goes in first and the result is the number of
    // roots there were.
    int add(law *f, complex_number p, double value, double radius);
    int size() const;
    Root_2D *head() const { return head_; }

  private:
    Root_2D *head_ = nullptr;
};
