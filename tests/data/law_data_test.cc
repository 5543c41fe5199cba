// The law data base classes: use counts, printing with numbers, comparison, copies, and the
// transform and point-lattice data.
#include <cstring>
#include <memory>

#include "law_test.h"

namespace {

// The slots the abstract bases leave open, filled with the least that lets them be built.
template <class Base>
class stub : public Base {
  public:
    using Base::Base;
    char const *symbol(law_symbol_type) const override { return "STUB"; }
    law_data *deep_copy(pointer_map *) const override { return nullptr; }
    // Destroys the object while references remain (only remove() should destroy).
    void destroy_now() { delete this; }
};

template <class Base>
class path_stub : public stub<Base> {
  public:
    using stub<Base>::stub;
    ZEM::vector eval(double t, int, int) const override { return {t, 0, 0}; }
    double curvature(double) const override { return 0; }
};

class curve_stub : public path_stub<base_curve_law_data> {
  public:
    using path_stub::path_stub;
    double length_param(double s, double l) const override { return s + l; }
    double length(double s, double e) const override { return e - s; }
    double point_perp(ZEM::position const &p, double) const override { return p.x(); }
    double point_perp(ZEM::position const &p) const override { return p.x(); }
};

class transform_data : public base_transform_law_data {
  public:
    using base_transform_law_data::base_transform_law_data;
    char const *symbol(law_symbol_type) const override { return "TRF"; }
    base_transform_law_data *make_one(ZEM::transf const *t) const override {
        return new transform_data(t);
    }
};

class lattice_data : public base_position_array_law_data {
  public:
    using base_position_array_law_data::base_position_array_law_data;
    char const *symbol(law_symbol_type) const override { return "GRID"; }
    base_position_array_law_data *make_one(ZEM::position const *p, int const *d,
                                           int n) const override {
        return new lattice_data(p, d, n);
    }
    using base_position_array_law_data::calc_movement_ratios;
    using base_position_array_law_data::Distance;
};

using path_data = path_stub<path_law_data>;
using text = vorn_ptr<char>;

// A regular nx by ny by nz lattice in the unit cube.
ref_ptr<lattice_data> unit_lattice(int nx, int ny, int nz) {
    std::vector<ZEM::position> pts;
    for (int z = 0; z < nz; ++z)
        for (int y = 0; y < ny; ++y)
            for (int x = 0; x < nx; ++x)
                pts.emplace_back(double(x) / std::max(1, nx - 1), double(y) / std::max(1, ny - 1),
                                 double(z) / std::max(1, nz - 1));
    int const dims[3] = {nx, ny, nz};
    return make<lattice_data>(pts.data(), dims, 3);
}

}  // namespace

class LawData : public LawTest {};

TEST_F(LawData, UseCountsDestroyAtZero) {
    long const before = law_data::live_count();
    auto *d = new path_data(0, 1);
    EXPECT_EQ(d->ref_count(), 1);
    d->add();
    EXPECT_EQ(d->ref_count(), 2);
    d->remove();
    EXPECT_EQ(law_data::live_count(), before + 1);
    d->remove();
    EXPECT_EQ(law_data::live_count(), before);
}

// No error may leave a destructor: the misuse is a warning and the object still goes.
TEST_F(LawData, DestroyingWithReferencesLeftWarns) {
    sys_clear_warnings();
    auto *d = new path_data(0, 1);
    EXPECT_NO_THROW(d->destroy_now());
    EXPECT_EQ(sys_last_warning(), lawutil_code(BAD_LAW_DATA_USE_COUNT));
    sys_clear_warnings();
}

TEST_F(LawData, ConstructorErrorsReleaseThePartBuilt) {
    int const bad_dims[3] = {2, 0, 2};
    ZEM::position const pts[4];
    EXPECT_LAW_ERROR(new lattice_data(pts, bad_dims, 3), LAW_DIM);
    EXPECT_LAW_ERROR(new lattice_data(nullptr, bad_dims, 3), LAW_DIM);
    EXPECT_LAW_ERROR(new line_law_data(ZEM::origin, ZEM::vector()), LAW_DIM);
}

TEST_F(LawData, PrintingNumbersEachMeetingAndListsIt) {
    auto const d = make<path_data>(0, 1);
    int count = 0;
    law_data_node *list = nullptr;
    text const first(d->string(law_symbol_default, count, list));
    text const second(d->string(law_symbol_default, count, list));
    EXPECT_STREQ(first.get(), "STUB1");
    EXPECT_STREQ(second.get(), "STUB2");
    EXPECT_EQ(count, 2);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->size(true), 2);
    EXPECT_EQ(list->data(), d.get());
    EXPECT_EQ(d->ref_count(), 3);  // one per node
    delete list;
    EXPECT_EQ(d->ref_count(), 1);

    int negative = -1;
    law_data_node *none = nullptr;
    text const plain(d->string(law_symbol_default, negative, none));
    EXPECT_STREQ(plain.get(), "STUB");
    EXPECT_EQ(negative, -1);
    EXPECT_EQ(none, nullptr);

    text const bare(d->law_data::string(law_symbol_default, NULL_REF, NULL_REF));
    EXPECT_STREQ(bare.get(), "STUB");
}

TEST_F(LawData, BaseBehaviour) {
    auto const d = make<path_data>(0, 1);
    EXPECT_EQ(d->date(), 20200);
    law_data_ptr const same = adopt(d->set_domain(nullptr));
    EXPECT_EQ(same.get(), d.get());
    EXPECT_EQ(d->ref_count(), 2);

    SizeAccumulator with_self, without_self;
    d->full_size(with_self, 1);
    d->full_size(without_self, 0);
    EXPECT_GT(with_self.getSize(), 0u);
    EXPECT_EQ(without_self.getSize(), 0u);

    T4_ostream out;
    d->print(out);
    EXPECT_STREQ(out.str(), "STUB");

    double *where = reinterpret_cast<double *>(1);
    int *type = reinterpret_cast<int *>(1);
    EXPECT_EQ(d->singularities(&where, &type, 0, 1), 0);
    EXPECT_EQ(where, nullptr);
    EXPECT_EQ(type, nullptr);

    auto const c = make<curve_stub>(0, 1);
    ZEM::position p;
    EXPECT_LAW_ERROR(c->evaluate(0.5, p, nullptr, 0, 0), LAW_EVAL);
    EXPECT_LAW_ERROR(c->discontinuities(&where, &type, 0, 1), LAW_EVAL);
    EXPECT_EQ(c->law_form(), nullptr);
}

TEST_F(LawData, TypeCodesOfTheClassTree) {
    struct row {
        law_data_ptr data;
        int type;
    } const rows[] = {
        {make<path_data>(0, 1), 1},         {make<path_stub<base_wire_law_data>>(0, 1), 2},
        {make<curve_stub>(0, 1), 3},        {make<path_stub<base_pcurve_law_data>>(0, 1), 4},
        {make<sphere_law_data>(), 5},       {make<law_law_data>(), 6},
        {make<transform_data>(nullptr), 7}, {make<lattice_data>(nullptr, nullptr, 0), 8},
    };
    for (auto const &r : rows) EXPECT_EQ(r.data->type(), r.type);
}

TEST_F(LawData, PathsCompareByTypeAndExactRange) {
    auto const a = make<path_data>(0, 1), b = make<path_data>(0, 1), c = make<path_data>(0, 2);
    auto const curve = make<curve_stub>(0, 1);
    EXPECT_TRUE(*a == *b);
    EXPECT_FALSE(*a != *b);
    EXPECT_FALSE(*a == *c);
    EXPECT_FALSE(*curve == *a);
    EXPECT_FALSE(*a == *curve);
    EXPECT_FALSE(*a == *make<path_data>(0, 1 + 1e-15));
    EXPECT_EQ(a->data_start(), 0);
    EXPECT_EQ(c->data_end(), 2);
}

TEST_F(LawData, LawLawDataPrintsAsItsLaw) {
    law_ptr const sum = make_law<plus_law>(X().get(), C(1).get());
    auto const d = make<law_law_data>(sum.get());
    EXPECT_EQ(sum->ref_count(), 2);
    EXPECT_STREQ(d->symbol(law_symbol_default), "LAW");
    EXPECT_STREQ(d->symbol(law_symbol_other), "LAW");
    EXPECT_EQ(d->data_law(), sum.get());
    EXPECT_EQ(d->date(), sum->date());

    int count = 0;
    law_data_node *list = nullptr;
    text const t(d->string(law_symbol_default, count, list));
    EXPECT_STREQ(t.get(), "X+1");
    EXPECT_EQ(count, 0);
    EXPECT_EQ(list, nullptr);

    SizeAccumulator own, law_only;
    d->full_size(own, 1);
    sum->full_size(law_only, 1);
    EXPECT_GT(own.getSize(), law_only.getSize());
}

TEST_F(LawData, LawLawDataEqualityCopyAndDomain) {
    law_ptr const sum = make_law<plus_law>(X().get(), C(1).get());
    law_ptr const other_sum = make_law<plus_law>(X().get(), C(1).get());
    auto const d = make<law_law_data>(sum.get());
    EXPECT_TRUE(*d == *make<law_law_data>(sum.get()));
    EXPECT_TRUE(*d == *make<law_law_data>(other_sum.get()));
    EXPECT_FALSE(*d == *make<law_law_data>(X().get()));
    EXPECT_FALSE(*d == *make<path_data>(0, 1));

    law_data_ptr const copy = adopt(d->deep_copy());
    ASSERT_EQ(copy->type(), law_law_data_type);
    law const *copied = static_cast<law_law_data *>(copy.get())->data_law();
    EXPECT_NE(copied, sum.get());
    EXPECT_TRUE(*copy == *d);

    ZEM::interval const dom(0, 2);
    law_data_ptr const limited = adopt(d->set_domain(&dom));
    law const *wrapped = static_cast<law_law_data *>(limited.get())->data_law();
    ASSERT_NE(wrapped, nullptr);
    ZEM::interval got;
    wrapped->term_domain(0, got);
    EXPECT_TRUE(got == dom);

    auto const empty = make<law_law_data>();
    EXPECT_EQ(empty->data_law(), nullptr);
    law_data_ptr const empty_copy = adopt(empty->deep_copy());
    EXPECT_TRUE(*empty_copy == *empty);
}

TEST_F(LawData, TransformDataKeepsTransformAndInverse) {
    ZEM::transf const t =
        rotate_transf(0.7, {1, 2, 3}) * translate_transf({1, -2, 0.5}) * scale_transf(2);
    auto const d = make<transform_data>(&t);
    ASSERT_NE(d->get_trans(), nullptr);
    EXPECT_TRUE(*d->get_trans() == t);
    ZEM::position const p(0.3, -1, 2);
    ZEM::position const q = d->transform(p);
    EXPECT_TRUE(q == p * t);
    ZEM::position const back = d->transform_inverse(q);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(back[k], p[k], 1e-12);
    ZEM::vector const v(1, 1, 0);
    ZEM::vector const w = d->rotate_inverse(d->rotate(v));
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(w[k], v[k], 1e-12);
    EXPECT_NEAR(d->rotate(v).len(), 2 * v.len(), 1e-12);  // directions take no translation

    law_data_ptr const copy = adopt(d->deep_copy());
    EXPECT_NE(copy.get(), d.get());
    EXPECT_TRUE(*copy == *d);
    ZEM::transf const other = translate_transf({0, 0, 1});
    EXPECT_FALSE(*d == *make<transform_data>(&other));

    auto const none = make<transform_data>(nullptr);
    EXPECT_EQ(none->get_trans(), nullptr);
    EXPECT_EQ(none->get_inverse(), nullptr);
    EXPECT_FALSE(*none == *d);
    SizeAccumulator with, without;
    d->full_size(with);
    none->full_size(without);
    EXPECT_EQ(with.getSize() - without.getSize(), 2 * sizeof(ZEM::transf));
}

TEST_F(LawData, LatticeIndexingAndReset) {
    auto const g = unit_lattice(2, 2, 2);
    EXPECT_EQ(g->get_dimension(), 3);
    EXPECT_EQ(g->get_data_size(), 8);
    int x, y, z;
    g->index_to_xyz(5, x, y, z);
    EXPECT_EQ(std::tie(x, y, z), std::make_tuple(1, 0, 1));
    g->index_to_xyz(6, x, y, z);
    EXPECT_EQ(std::tie(x, y, z), std::make_tuple(0, 1, 1));

    int const moved[] = {7};
    g->update_point(moved, 1, {5, 5, 5}, 0);
    EXPECT_TRUE(g->get_data()[7] == ZEM::position(6, 6, 6));
    g->reset_point(7);
    EXPECT_TRUE(g->get_data()[7] == ZEM::position(1, 1, 1));
    EXPECT_LAW_ERROR(g->reset_point(8), LAW_DIM);
    int const outside[] = {8};
    EXPECT_LAW_ERROR(g->update_point(outside, 1, {1, 0, 0}, 0), LAW_DIM);

    // A lattice one point thick in z puts that layer at 1.
    auto const flat = unit_lattice(3, 2, 1);
    flat->reset_point(4);
    EXPECT_TRUE(flat->get_data()[4] == ZEM::position(0.5, 1, 1));

    // Other numbers of dimensions have no lattice coordinates.
    ZEM::position const line[3] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
    int const three = 3;
    auto const row = make<lattice_data>(line, &three, 1);
    row->index_to_xyz(2, x, y, z);
    EXPECT_EQ(std::tie(x, y, z), std::make_tuple(0, 0, 0));
    row->reset_point(2);
    EXPECT_TRUE(row->get_data()[2] == ZEM::position(2, 0, 0));
    EXPECT_EQ(row->Distance(0, 2), 2);
}

TEST_F(LawData, LatticeMovementFallsOffAlongTheLattice) {
    auto const g = unit_lattice(3, 3, 3);
    int const corner[] = {0};
    double ratios[27];
    g->calc_movement_ratios(corner, 1, 1.0, ratios);
    EXPECT_EQ(ratios[0], 1.0);
    EXPECT_EQ(ratios[26], 0.0);
    EXPECT_NEAR(ratios[13], 0.5, 1e-12);  // the centre is halfway along every lattice path
    for (int i = 0; i < 27; ++i) {
        int x, y, z;
        g->index_to_xyz(i, x, y, z);
        EXPECT_NEAR(ratios[i], 1 - (x + y + z) / 6.0, 1e-12) << i;
    }

    // A smaller falloff reaches less far: nothing beyond half the largest distance moves.
    g->calc_movement_ratios(corner, 1, 0.5, ratios);
    EXPECT_NEAR(ratios[1], 1 - (1 / 6.0) / 0.5, 1e-12);
    EXPECT_EQ(ratios[13], 0.0);

    g->update_point(corner, 1, {0, 0, -1}, 2.0);  // a falloff above 1 counts as 1
    EXPECT_TRUE(g->get_data()[0] == ZEM::position(0, 0, -1));
    EXPECT_TRUE(g->get_data()[26] == ZEM::position(1, 1, 1));
    EXPECT_NEAR(g->get_data()[13].z(), 0.5 - 0.5, 1e-12);
}

TEST_F(LawData, LatticeMovesOnlyListedPointsWithoutFalloff) {
    auto const g = unit_lattice(2, 2, 2);
    int const two[] = {0, 3};
    g->update_point(two, 2, {1, 0, 0}, 0);
    EXPECT_TRUE(g->get_data()[0] == ZEM::position(1, 0, 0));
    EXPECT_TRUE(g->get_data()[3] == ZEM::position(2, 1, 0));
    EXPECT_TRUE(g->get_data()[1] == ZEM::position(1, 0, 0));

    // Every point listed: all move by the full amount, falloff or not.
    int const all[] = {0, 1, 2, 3, 4, 5, 6, 7};
    g->update_point(all, 8, {0, 0, 1}, 1);
    EXPECT_TRUE(g->get_data()[7] == ZEM::position(1, 1, 2));
    g->update_point(all, 0, {9, 9, 9}, 1);
    EXPECT_TRUE(g->get_data()[7] == ZEM::position(1, 1, 2));
}

TEST_F(LawData, LatticeEqualityCopyAndSize) {
    auto const a = unit_lattice(2, 3, 2), b = unit_lattice(2, 3, 2);
    EXPECT_TRUE(*a == *b);
    EXPECT_FALSE(*a == *unit_lattice(3, 2, 2));
    EXPECT_FALSE(*a == *unit_lattice(2, 3, 1));
    int const first[] = {0};
    b->update_point(first, 1, {0, 0, 1e-7}, 0);
    EXPECT_TRUE(*a == *b);  // within the distance tolerance
    b->update_point(first, 1, {0, 0, 1e-3}, 0);
    EXPECT_FALSE(*a == *b);

    law_data_ptr const copy = adopt(a->deep_copy());
    EXPECT_TRUE(*copy == *a);
    auto const *lattice = static_cast<lattice_data *>(copy.get());
    EXPECT_NE(lattice->get_data(), a->get_data());
    EXPECT_TRUE(lattice->get_data()[11] == a->get_data()[11]);

    SizeAccumulator size;
    a->full_size(size);
    EXPECT_EQ(size.getSize(),
              sizeof(base_position_array_law_data) + 12 * sizeof(ZEM::position) + 3 * sizeof(int));

    auto const empty = make<lattice_data>(nullptr, nullptr, 0);
    EXPECT_EQ(empty->get_data(), nullptr);
    EXPECT_EQ(empty->get_data_size(), 1);
    EXPECT_FALSE(*empty == *a);
}
