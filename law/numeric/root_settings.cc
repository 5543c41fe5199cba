#include <law/numeric/root_settings.h>

void set_root_tol_default() {
    root_settings &s = root_tols();
    s = root_settings{};
    s.unused_scale = 0.1;
}

coarse_search_scope::coarse_search_scope(int iter_max) {
    root_settings &s = root_tols();
    s.root_x_tol = s.root_search_tol;
    s.root_f_tol = s.root_search_tol;
    if (iter_max > 0) s.root_iter_max = iter_max;
}
