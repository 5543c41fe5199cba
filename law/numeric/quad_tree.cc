#include <law/numeric/quad_tree.h>

#include <law/core/law.h>
#include <law/numeric/constrained_objective.h>
#include <law/numeric/nmin_2d.h>
#include <law/numeric/root_2d_set.h>

void Quad_tree::fill(law *f, law *constraint) {
    radius = cell.diagonal() / 2;
    if (state != not_examined) return;
    complex_number const centre = cell.center();
    if (constraint && scalar_at(constraint, centre) <= 0) {
        state = outside_constraint;
        return;
    }
    point = Nmin2D(f, constraint, centre, radius, 2 * radius, &value, &radius, &state, nullptr);
    if (!cell.inside(point)) state = minimum_outside;
}

void Quad_tree::mins(law *f, Root_2D_set *set) {
    if (state == minimum_inside) index = set->add(f, point, value, radius);
}

bool Quad_tree::should_divide(law *, law *, law *divide_law) const {
    if (!divide_law || depth >= max_depth) return false;
    check_point_law(divide_law, 3);
    complex_number const centre = cell.center();
    double const at[3] = {centre.re, centre.im, cell.diagonal()};
    return scalar_at(divide_law, at) > 0;
}

void Quad_tree::divide(law *f, law *constraint, law *divide_law, Root_2D_set *set) {
    complex_number const c = cell.center();
    rec2d const quadrants[4] = {rec2d(cell.down_left(), c), rec2d(c.re, cell.y0, cell.x1, c.im),
                                rec2d(c, cell.up_right()), rec2d(cell.x0, c.im, c.re, cell.y1)};
    for (int i = 0; i < 4; ++i) {
        child[i] = std::make_unique<Quad_tree>(quadrants[i], depth + 1);
        child[i]->fill(f, constraint);
        child[i]->mins(f, set);
        if (child[i]->should_divide(f, constraint, divide_law))
            child[i]->divide(f, constraint, divide_law, set);
    }
}
