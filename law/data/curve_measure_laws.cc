#include <law/data/curve_measure_laws.h>

#include <law/core/constant_law.h>
#include <law/core/counted_array.h>
#include <law/core/law_law_data.h>
#include <law/lang/law_list.h>
#include <law/ops/law_builders.h>

namespace {
law_list curveperp_registration(new curveperp_law(nullptr, 0));
law_list surfperp_registration(new surfperp_law(nullptr, 0));
law_list length_registration(new length_law(nullptr, 0));
law_list length_param_registration(new length_param_law(nullptr, 0));
}  // namespace

law *make_perpendicular(int id, law_data *data) {
    law_array coordinates(3);
    for (int i = 0; i < 3; ++i) coordinates.push(make_law<identity_law>(i, 'X'));
    law_ptr const space = build::vector(coordinates.data(), coordinates.size());
    law_data_ptr const point = adopt<law_data>(new law_law_data(space.get()));
    law_data *subs[2] = {data, point.get()};
    if (id == law_id::surfperp_law) return new surfperp_law(subs, 2);
    return new curveperp_law(subs, 2);
}
