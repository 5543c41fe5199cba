#pragma once
// State of the library that must not be shared between threads, one context per thread.

class pastlawcode;

// Tuning values of the root and extremum searches.
struct root_settings {
    double root_x_tol = 1e-14;
    double root_y_tol = 1e-7;
    double root_deriv_tol = 1e-7;
    double gap_fraction = 0.05;
    double step_fraction = 0.1;
    double unused_scale = 1.0;  // set to 0.1 by set_root_tol_default; read by nothing
    int max_newton_steps = 10;
    int max_halvings = 40;
    int polish_steps = 7;
    int max_probes = 10000;
    double merge_tol = 0.0001;
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
