#include <law/spline/iges_surface.h>

iges_parameters iges_surface_parameters(sw_surface const &S) {
    iges_parameters p;
    p.add(S.get_K1()).add(S.get_K2()).add(S.get_degree1()).add(S.get_degree2());
    p.add(S.get_closed1()).add(S.get_closed2()).add(S.get_polynomial());
    p.add(S.get_periodic1()).add(S.get_periodic2());
    p.add(S.get_IGES_DATA(), S.get_data_size());
    return p;
}

int add_iges_surface(iges_writer &w, sw_surface const &S, std::string label) {
    return w.add_entity(iges_rational_bspline_surface, 0, iges_surface_parameters(S),
                        std::move(label));
}
