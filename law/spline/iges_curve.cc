#include <law/spline/iges_curve.h>

iges_parameters iges_curve_parameters(sw_curve const &c) {
    iges_parameters p;
    p.add(c.get_K() - 1).add(c.get_degree()).add(c.get_planar()).add(c.get_closed());
    p.add(c.get_polynomial()).add(c.get_periodic());
    p.add(c.get_IGES_DATA(), c.get_data_size());
    return p;
}

int add_iges_curve(iges_writer &w, sw_curve const &c, std::string label) {
    return w.add_entity(iges_rational_bspline_curve, 0, iges_curve_parameters(c), std::move(label));
}
