#include <law/geom/vector_function_laws.h>

#include <algorithm>
#include <string>

#include <law/core/derivative_budget.h>
#include <law/core/eval_buffer.h>
#include <law/geom/cross_law.h>
#include <law/geom/dot_law.h>
#include <law/lang/law_list.h>
#include <law/ops/elementary_laws.h>
#include <law/ops/law_builders.h>
#include <law/ops/law_simplify.h>

namespace {
law_list norm_registration(new norm_law(nullptr));
law_list frenet_registration(new frenet_law(nullptr));
law_list surfnorm_registration(new surfnorm_law(nullptr));
law_list size_registration(new size_law(nullptr));

law_ptr dot(law_ptr const &a, law_ptr const &b) { return make_law<dot_law>(a.get(), b.get()); }

// A * (A . A)^-0.5
law_ptr unit(law_ptr const &a) {
    return build::times(a, build::power(dot(a, a), build::constant(-0.5)));
}

law_ptr simplified(law_ptr const &a) { return adopt(law_simplify(a.get(), 1, 0)); }

// A frame of a frame differentiates the first frame's normal twice, and the rules' forms of
// those derivatives grow some fifty times with each nesting: a FRENET of a FRENET of a FRENET
// of a general bend took 30 s and 4.6 GB. Past this much work a FRENET is refused with a clear
// error instead; that of the twisted cubic (VEC(X,X^2,X^3)) stays within it.
constexpr long frenet_work = 5000000;

char const *frenet_detail() {
    static std::string const detail =
        "FRENET differentiates its curve twice, and those derivatives grow past the work of " +
        std::to_string(frenet_work) + " laws (a FRENET of a FRENET nests them)";
    return detail.c_str();
}

law_ptr internal_law(int id, law *sub) {
    if (!sub) return {};
    law_ptr const a = share(sub);
    switch (id) {
        case law_id::norm_law:
            return unit(a);
        case law_id::frenet_law: {
            derivative_budget const budget(frenet_work, LAW_TOO_LARGE, frenet_detail());
            // The unit principal normal: the unit derivative of the unit tangent.
            law_ptr const curve = simplified(a);
            law_ptr const tangent = simplified(unit(build::d(curve.get(), 0)));
            return unit(build::d(tangent.get(), 0));
        }
        case law_id::surfnorm_law:
            return make_law<cross_law>(build::d(a.get(), 0).get(), build::d(a.get(), 1).get());
        default:
            return build::apply<sqrt_law>(dot(a, a));
    }
}
}  // namespace

vector_function_law::vector_function_law(law *sub, int id)
    : unary_law(sub), id_(id), internal_(internal_law(id, sub).release()) {}

vector_function_law::~vector_function_law() {
    if (internal_) internal_->remove();
}

int vector_function_law::take_size() const {
    return id_ == law_id::surfnorm_law ? 2 : unary_law::take_size();
}

int vector_function_law::return_size() const {
    switch (id_) {
        case law_id::norm_law:
            return fsub() ? fsub()->return_dim() : 0;
        case law_id::size_law:
            return 1;
        default:
            return 3;
    }
}

namespace {
// The internal law's value as `mine` components: an internal law of another width (a curve of
// two components under FRENET) is padded with zeros or cut to this law's width.
void internal_value(law const &internal, int mine, double const *x, double *y) {
    int const theirs = internal.return_dim();
    if (theirs == mine) return internal.evaluate(x, y);
    eval_buffer out(std::max(theirs, 1));
    internal.evaluate(x, out.data());
    for (int i = 0; i < mine; ++i) y[i] = i < theirs ? out[i] : 0.0;
}
}  // namespace

// SURFNORM takes two inputs whatever its surface takes: the surface's inputs past them are 0.
template <class Use>
void vector_function_law::at_point(law const *reader, double const *x, Use use) const {
    int const given = take_dim(), wanted = reader->take_dim();
    if (wanted <= given) return use(x);
    eval_buffer padded(wanted);
    std::fill(padded.data(), padded.data() + wanted, 0.0);
    std::copy(x, x + given, padded.data());
    use(padded.data());
}

void vector_function_law::evaluate(double const *x, double *y) const {
    if (!internal_) require_sub_laws();
    at_point(internal_, x,
             [&](double const *at) { internal_value(*internal_, return_dim(), at, y); });
}

int vector_function_law::in_domain(double const *x) const {
    if (!fsub()) return unary_law::in_domain(x);
    int in = 0;
    at_point(fsub(), x, [&](double const *at) { in = unary_law::in_domain(at); });
    return in;
}

law *vector_function_law::deriv(int which) const {
    return internal_ ? internal_->derivative(which) : nullptr;
}

law *vector_function_law::sub_simplify(int, char const *&) const {
    if (id_ == law_id::surfnorm_law || !internal_) return nullptr;
    return share(internal_).release();
}

int vector_function_law::date() const {
    bool const later = id_ == law_id::size_law || id_ == law_id::surfnorm_law;
    return std::max(unary_law::date(), later ? 40000 : 0);
}

void vector_function_law::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(vector_function_law) - sizeof(unary_law));
    unary_law::full_size(acc, count_self);
    if (internal_) internal_->full_size(acc, 1);
}

void vector_function_law::hasa(int type, VOID_LIST &out) const {
    if (internal_) internal_->hasa(type, out);
    unary_law::hasa(type, out);
}
