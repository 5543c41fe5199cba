#pragma once
// A cell of the parameter rectangle with the minimum of a law found from its centre; cells that
// a third law asks to divide are split into their four quadrants.
#include <memory>

#include <law/base/complex_number.h>
#include <law/base/memory.h>
#include <law/numeric/rec2d.h>

class law;
class Root_2D_set;

class Quad_tree : public ZEM_heap {
  public:
    // What a cell knows of its minimum.
    enum cell_state : int {
        not_examined = -3,
        outside_constraint = -2,  // the constraint law is not positive at the centre
        minimum_outside = -4,     // the search from the centre left the cell
        minimum_inside = 0,
    };
    // Cells this many halvings below the root cell are not divided further.
    static constexpr int max_depth = 6;

    explicit Quad_tree(rec2d const &cell, int depth = 0) : cell(cell), depth(depth) {}

    // Examines a new cell: its state, and its minimum by Nmin2D from the centre.
    void fill(law *f, law *constraint);
    // Adds this cell's minimum (when it holds one) to the set and keeps its index there.
    void mins(law *f, Root_2D_set *set);
    // The third law at the cell's centre is positive; it may take the centre's x and y and the
    // cell's diagonal as its inputs.
    bool should_divide(law *f, law *constraint, law *divide_law) const;
    // Splits into the four quadrants, fills each and collects its minimum, and divides on
    // those that should_divide picks, down to max_depth.
    void divide(law *f, law *constraint, law *divide_law, Root_2D_set *set);

    rec2d cell;
    complex_number point;  // the minimum found from the centre
    double radius = 0;
    int state = not_examined;
    double value = 0;
    std::unique_ptr<Quad_tree> child[4];
    int index = -1;  // of the cell's minimum in the set it went into
    int depth;
};
