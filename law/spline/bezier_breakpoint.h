#pragma once
// The breakpoints of a law fitted by cubic Bezier segments: at each, the law's point and
// tangent, and the two inner control points of the segment that starts there.
#include <law/base/memory.h>
#include <law/base/vector.h>

struct bezier_breakpoint : ZEM_heap {
    ZEM::position P;  // the law's value at t
    ZEM::vector D;    // its first derivative
    double t = 0;
    ZEM::position A;  // second control point of the segment that starts here
    ZEM::position B;  // third control point of that segment
    bezier_breakpoint *next = nullptr;
};

// A singly linked list that owns its nodes.
class bezier_breakpoint_list {
  public:
    bezier_breakpoint_list() = default;
    bezier_breakpoint_list(bezier_breakpoint_list const &) = delete;
    bezier_breakpoint_list &operator=(bezier_breakpoint_list const &) = delete;
    virtual ~bezier_breakpoint_list();

    bezier_breakpoint *head() const { return head_; }
    // Links b after a (at the front when a is null); the list owns b.
    void insert_after(bezier_breakpoint *a, bezier_breakpoint *b);
    void insert_end(bezier_breakpoint *b);
    // Deletes the node after a.
    void erase_after(bezier_breakpoint *a);
    // Number of segments: nodes less one (0 for an empty list).
    int count_segments() const;

  private:
    bezier_breakpoint *head_ = nullptr;
};
