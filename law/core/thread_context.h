#pragma once
// State of the library that must not be shared between threads, one context per thread.

class pastlawcode;

// Tuning values of the root and extremum searches (the defaults of a new context).
struct root_settings {
    double root_x_tol = 1e-14;        // two parameters closer than this are one
    double root_f_tol = 1e-7;         // a value of smaller magnitude is a root
    double root_step_tol = 1e-7;      // degeneracy of the quadratic step
    double root_hole_frac = 0.05;     // narrower gaps are closed by a sign test
    double root_split_ratio = 0.1;    // ratio test of a gap holding two critical points
    double unused_scale = 1.0;        // set to 0.1 by set_root_tol_default; read by nothing
    int root_walk_max = 10;           // quadratic steps in one walk
    int root_bisect_max = 40;         // halvings of a bisection
    int unused_count = 7;             // written by set_root_tol_default; read by nothing
    int root_iter_max = 10000;        // evaluations of the many-dimensional searches
    double root_search_tol = 0.0001;  // root_x_tol and root_f_tol while a root search runs
};

struct lawutil_thread_ctx {
    // Code generator: the running number of its variables and the laws it has written.
    int generated_variables = 0;
    pastlawcode *record_head = nullptr;
    pastlawcode *record_tail = nullptr;
    // Depth of the 0/0 rule of division.
    int lhospital_depth = 0;
    // law_start_time / law_end_time readings.
    double start_clock = 0.0;
    double end_clock = 0.0;
    root_settings roots;
};

// The calling thread's context.
lawutil_thread_ctx *lawutil_context();

// Counted set-up and tear-down of the library; both return 1 (terminate_law 0 when not set up).
int initialize_law();
int terminate_law();

void law_start_time();
void law_end_time();
double law_get_time();
