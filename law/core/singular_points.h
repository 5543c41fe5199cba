#pragma once
// The singular points that law::singularities reports: gathered from a law's sub-laws and its own
// class, and handed out sorted, as the family bases do.
#include <vector>

class law;

struct singular_point {
    // Where the value jumps (order 0), the derivative jumps (order 1), or the law has a pole or
    // an end of its domain (order -1).
    enum kind : int { pole_or_edge = -1, jump = 0, kink = 1 };
    double where;
    int order;
};

// The points that l reports on [start, end].
std::vector<singular_point> singular_points_of(law const *l, double start, double end);

// Singular points asked for as places to cut a search's intervals, not as an answer. While one
// is open on a thread, a law whose points come from a zero search that ran out of evaluations
// gives the points found, and the innermost scope keeps that they are not all; with none open,
// such a law raises LAW_ROOTS_UNRESOLVED rather than hand out a list that reads as complete.
class singular_hints_scope {
  public:
    singular_hints_scope();
    ~singular_hints_scope();
    singular_hints_scope(singular_hints_scope const &) = delete;
    singular_hints_scope &operator=(singular_hints_scope const &) = delete;
    // Whether the points asked for while this scope was the innermost were all there are.
    bool complete() const { return complete_; }
    // Whether one is open on this thread: points that are not all there are are then of use.
    static bool open();
    // Notes in the innermost scope that the points found are not all there are.
    static void note_incomplete();

  private:
    singular_hints_scope *outer_;
    bool complete_ = true;
};

// singular_points_of(l, start, end) within a scope of its own, and whether they are all there
// are.
struct singular_hints {
    std::vector<singular_point> points;
    bool complete = true;
};
singular_hints singular_hints_of(law const *l, double start, double end);

// The points that l reports strictly inside (start, end), farther than resabs from either end,
// ascending, one for each place: of points within resabs of each other the first is kept, with
// the lowest order among them.
std::vector<singular_point> singular_points_inside(law const *l, double start, double end);

// Hands points out as law::singularities does: ascending, within [start, end], a point at the
// place of the one before it dropped (the lower order kept); the arrays are new from
// vorn_allocate (null when empty), period entries are 0. Returns the count.
int hand_out_singular_points(std::vector<singular_point> points, double start, double end,
                             double **where, int **type, double **period);
