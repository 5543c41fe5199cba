#pragma once
// The knots of a cubic B-spline being assembled, each with the control point it carries (when it
// carries one), in a singly linked list that owns its nodes.
#include <law/base/memory.h>
#include <law/base/vector.h>

struct spline_breakpoint : ZEM_heap {
    double t = 0;     // one knot
    ZEM::position p;  // a control point, when has_point
    bool has_point = false;
    spline_breakpoint *next = nullptr;
};

class spline_breakpoint_list {
  public:
    spline_breakpoint_list() = default;
    spline_breakpoint_list(spline_breakpoint_list const &) = delete;
    spline_breakpoint_list &operator=(spline_breakpoint_list const &) = delete;
    virtual ~spline_breakpoint_list();

    spline_breakpoint *head() const { return head_; }
    spline_breakpoint *tail() const { return tail_; }
    int count() const { return count_; }
    // A knot with no point, or with the point p, at the front / at the end.
    void insert_first(double t);
    void insert_first(double t, ZEM::position const &p);
    void insert_next(double t);
    void insert_next(double t, ZEM::position const &p);
    // Deletes the node after a.
    void erase_after(spline_breakpoint *a);

  private:
    void link_first(spline_breakpoint *b);
    void link_last(spline_breakpoint *b);
    spline_breakpoint *head_ = nullptr, *tail_ = nullptr;
    int count_ = 0;
};
