#pragma once
// The tuning values of the root and extremum searches, one block per thread.
#include <law/core/thread_context.h>

// The calling thread's block. Fetch it at each use: a search nested inside a law's evaluation
// shares the block, and the outer search must see what the inner one left there.
inline root_settings &root_tols() { return lawutil_context()->roots; }

// Writes the defaults of the searches into the calling thread's block.
void set_root_tol_default();

// The coarse tolerances of a search in progress: root_x_tol and root_f_tol become
// root_search_tol (and root_iter_max the given limit, when one is given) until the scope ends,
// when the defaults come back, also when a law raises an error inside the search.
class coarse_search_scope {
  public:
    explicit coarse_search_scope(int iter_max = 0);
    ~coarse_search_scope() { set_root_tol_default(); }
    coarse_search_scope(coarse_search_scope const &) = delete;
    coarse_search_scope &operator=(coarse_search_scope const &) = delete;
};
