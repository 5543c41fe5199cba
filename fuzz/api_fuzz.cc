// Builds laws through the C++ API as a caller would, from the bytes it is given: constructors of
// every registered class with random, null and degenerate members, the constructors that take
// numbers, counts and indices, and the builders (derivatives, simplified forms, copies, inverses,
// laws read back from their print). Each law is then evaluated through every kind of entry point,
// differentiated, simplified, classified, printed and read back, copied, searched for roots,
// extrema and integrals, and fitted by a spline. The library's own errors are answers; what may
// not happen is a crash, a sanitizer report, a hang, a leaked law, or one of these disagreeing:
//   - a deep copy and its law (the same print, the same values or the same error);
//   - the values of a batch and of one point at a time (bit for bit, or the same error);
//   - a printed law read back and printed again (the same text).
//
//   ./api_fuzz -max_total_time=120 -max_len=512 api_corpus/
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <law/core/derivative_budget.h>
#include <law/law.h>

namespace {

// The input, read from the front; past its end every read gives 0.
class input_bytes {
  public:
    input_bytes(std::uint8_t const *p, std::size_t n) : p_(p), n_(n) {}
    bool done() const { return at_ >= n_; }
    unsigned byte() { return at_ < n_ ? p_[at_++] : 0u; }
    int pick(int n) { return n > 0 ? static_cast<int>(byte() % static_cast<unsigned>(n)) : 0; }
    bool chance(int one_in) { return pick(one_in) == 0; }
    // A number that tells: small whole numbers, the edges of domains and of the doubles, or
    // eight bytes taken as they are.
    double number() {
        static constexpr double telling[] = {0,    1,      -1,      2,        0.5,    -0.5,
                                             3,    1e-300, -1e-300, 1e300,    -1e300, 1e-8,
                                             M_PI, 10,     -7.25,   0.999999, 1e15,   1e-15};
        unsigned const kind = byte();
        if (kind < 200) return telling[kind % std::size(telling)];
        if (kind < 210) return std::numeric_limits<double>::infinity();
        if (kind < 220) return -std::numeric_limits<double>::infinity();
        if (kind < 230) return std::numeric_limits<double>::quiet_NaN();
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits = bits << 8 | byte();
        return std::bit_cast<double>(bits);
    }
    // A count: mostly small, sometimes negative or far too large.
    int count() {
        unsigned const kind = byte();
        if (kind < 230) return static_cast<int>(kind % 6);
        if (kind < 240) return -1 - static_cast<int>(kind % 3);
        if (kind < 250) return 1 << (kind % 31);
        return std::numeric_limits<int>::max();
    }

  private:
    std::uint8_t const *p_;
    std::size_t n_;
    std::size_t at_ = 0;
};

// Made once and kept to the end of the process: laws and law data are not released during
// static destruction.
struct registry {
    std::vector<unary_law const *> unary;
    std::vector<binary_law const *> binary;
    std::vector<multiple_law const *> multiple;
    std::vector<unary_data_law const *> unary_data;
    std::vector<multiple_data_law const *> multiple_data;
    std::vector<law_data *> data;

    registry() {
        for (law_list const *n = law_list::head(); n; n = n->next()) {
            law const *p = n->prototype();
            if (auto const *u = law_cast<unary_law>(p)) unary.push_back(u);
            if (auto const *b = law_cast<binary_law>(p)) binary.push_back(b);
            if (auto const *m = law_cast<multiple_law>(p)) multiple.push_back(m);
            if (auto const *d = law_cast<unary_data_law>(p)) unary_data.push_back(d);
            if (auto const *d = law_cast<multiple_data_law>(p)) multiple_data.push_back(d);
        }
        for (char const *text :
             {"LINE root (1, 2, 3) dir (2, -1, 0.5) [-1, 4]",
              "HELIX major (2, 0, 0) pitch 3 [0, 10]", "CIRCLE major (1, 0, 0) [0, 6]"})
            if (law_data *d = read_law_data(text)) data.push_back(d);
        for (law_data_list const *n = law_data_list::head(); n; n = n->next())
            if (n->prototype()) data.push_back(n->prototype()->deep_copy());
    }
};

[[noreturn]] void failure(char const *what, std::string const &a, std::string const &b) {
    std::fprintf(stderr, "%s\n  first:  %s\n  second: %s\n", what, a.c_str(), b.c_str());
    std::abort();
}

// Runs one operation; the library's own errors are answers.
template <class Operation>
void exercise(Operation &&operation) {
    try {
        operation();
    } catch (vorn_exception const &) {
    }
}

// A print writes a shared sub-law at each of its uses, so a law of few objects can print as text
// past any size (a derivative of derivatives): such a law is not printed.
constexpr std::uint64_t printable_size = 4096;
bool printable(law const *l) { return l->tree_size() <= printable_size; }

std::string printed(law const *l) {
    std::string text;
    if (printable(l)) exercise([&] { text = l->text(); });
    return text;
}

// ---------------------------------------------------------------- building

// A law's text does not show the laws it holds: a FRENET holds its curve's first three
// derivatives, so a FRENET of a FRENET of a bend holds 140,000 laws and a third FRENET millions.
// An input stops building past this many laws, and a law made past it sees only the cheap uses.
constexpr long law_budget = 20000;
// One step's derivatives may grow far faster than the laws it starts from (a third FRENET of a
// bend forms millions of laws before the library refuses it): each step works under this bound,
// and a step past it builds nothing.
constexpr long step_work = 400000;

class builder {
  public:
    builder(registry const &r, input_bytes &in) : r_(r), in_(in) {}

    std::vector<law_ptr> const &laws() const { return pool_; }
    // The laws alive when the pool's i-th law was made, those of the input's own making: a law
    // made after them may hold any of them.
    long held_at(std::size_t i) const { return held_[i]; }

    void step() {
        if (law::live_count() - laws_before_ > law_budget) return;
        derivative_budget const bound(step_work, LAW_TOO_LARGE, "the fuzz input's step");
        switch (in_.pick(24)) {
            case 0:
                return push([&] { return new identity_law(index(), letter()); });
            case 1:
                return push([&] { return new constant_law(in_.number()); });
            case 2:
                if (r_.unary.empty()) return;
                return push([&] { return pick(r_.unary)->make_one(operand()); });
            case 3:
                if (r_.binary.empty()) return;
                return push([&] { return pick(r_.binary)->make_one(operand(), operand()); });
            case 4:
                if (r_.multiple.empty()) return;
                return with_operands(
                    [&](law **subs, int n) { return pick(r_.multiple)->make_one(subs, n); });
            case 5:
                if (r_.unary_data.empty()) return;
                return push([&] { return pick(r_.unary_data)->make_one(data()); });
            case 6:
                return data_law();
            case 7:
                return push([&] { return new term_law(operand(), in_.count()); });
            case 8:
                return push([&] { return new derivative_law(operand(), index(), in_.count()); });
            case 9:
                return with_operands([&](law **subs, int n) {
                    // A count of samples is work the caller asks for: a table of a few.
                    return new min_rotation_law(subs, n, in_.chance(2) ? 0 : in_.pick(40) - 2);
                });
            case 10:
                return with_operands(
                    [&](law **subs, int n) { return new composite_law(operand(), subs, n); });
            case 11:
                return push([&] { return new vector_law(vec()); });
            case 12:
                return push([&] {
                    ZEM::vector const axis = vec(), direction = vec();
                    return new bend_law(
                        ZEM::position(in_.number(), in_.number(), in_.number()),
                        ZEM::unit_vector(axis.x(), axis.y(), axis.z()),
                        ZEM::unit_vector(direction.x(), direction.y(), direction.z()),
                        in_.number());
                });
            case 13:
                return integral();
            case 14:
                return push([&] { return new shift_law(operand(), operand()); });
            case 15:
                return push([&] {
                    law const *l = operand();
                    return l ? l->derivative(in_.pick(3)) : nullptr;
                });
            case 16:
                return push([&] {
                    law const *l = operand();
                    return l ? l->simplify(1 + in_.pick(2), 0) : nullptr;
                });
            case 17:
                return push([&] {
                    law const *l = operand();
                    return l ? l->deep_copy() : nullptr;
                });
            case 18:
                return push([&] {
                    law const *l = operand();
                    return l ? l->inverse() : nullptr;
                });
            case 19:
                return push([&] {
                    law const *l = operand();
                    return l && printable(l) ? str_to_law(printed(l).c_str()) : nullptr;
                });
            case 20:
                return push([&] {
                    // One interval per input, as the caller must give.
                    law const *l = operand();
                    if (!l || l->take_dim() > 3) return static_cast<law *>(nullptr);
                    ZEM::interval const box[3] = {interval(), interval(), interval()};
                    return l->set_domain(in_.chance(8) ? nullptr : box, in_.pick(2));
                });
            case 21:
                return push([&] { return law_integrate(operand()); });
            case 22:
                return push([&] {
                    double c[4] = {in_.number(), in_.number(), in_.number(), in_.number()};
                    return make_polynomial_law(in_.chance(8) ? nullptr : c, in_.pick(4));
                });
            default:
                return push([&] {
                    law const *l = operand();
                    return l ? l->nth_derivative(in_.pick(3)) : nullptr;
                });
        }
    }

  private:
    template <class T>
    T const *pick(std::vector<T const *> const &from) {
        return from[static_cast<std::size_t>(in_.pick(static_cast<int>(from.size())))];
    }

    // A law of the pool, or now and then a null one.
    law *operand() {
        if (pool_.empty() || in_.chance(12)) return nullptr;
        return pool_[static_cast<std::size_t>(in_.pick(static_cast<int>(pool_.size())))].get();
    }

    int index() {
        int const k = in_.count();
        return in_.chance(8) ? -k : k;
    }

    char letter() {
        static constexpr char usual[] = {'X', 'Y', 'Z', 'T', 'U', 'V', 'A'};
        return in_.chance(8) ? static_cast<char>(in_.byte()) : usual[in_.pick(7)];
    }

    ZEM::vector vec() { return ZEM::vector(in_.number(), in_.number(), in_.number()); }

    ZEM::interval interval() { return ZEM::interval(in_.number(), in_.number()); }

    law_data *data() {
        switch (in_.pick(4)) {
            case 0:
                return nullptr;
            case 1: {
                law *l = operand();
                if (!l) return nullptr;
                held_data_.push_back(adopt<law_data>(new law_law_data(l)));
                return held_data_.back().get();
            }
            default:
                return r_.data.empty() ? nullptr
                                       : r_.data[static_cast<std::size_t>(
                                             in_.pick(static_cast<int>(r_.data.size())))];
        }
    }

    template <class Make>
    void push(Make make) {
        if (pool_.size() >= pool_limit) return;
        exercise([&] {
            if (law *l = make()) {
                pool_.push_back(adopt(l));
                held_.push_back(law::live_count() - laws_before_);
            }
        });
    }

    // A constructor over an array of operands: sometimes none at all, sometimes a count that
    // the array does not have.
    template <class Make>
    void with_operands(Make make) {
        int const n = std::clamp(in_.count(), -2, 8);
        std::vector<law *> subs;
        for (int i = 0; i < std::max(n, 0); ++i) subs.push_back(operand());
        bool const null_array = in_.chance(10);
        push([&] { return make(null_array ? nullptr : subs.data(), n); });
    }

    void data_law() {
        if (r_.multiple_data.empty()) return;
        int const n = std::clamp(in_.count(), -1, 4);
        std::vector<law_data *> data_in;
        for (int i = 0; i < std::max(n, 0); ++i) data_in.push_back(data());
        bool const null_array = in_.chance(10);
        multiple_data_law const *p = pick(r_.multiple_data);
        push([&] { return p->make_one(null_array ? nullptr : data_in.data(), n); });
    }

    void integral() {
        law *f = operand(), *a = operand(), *b = operand();
        int const nsplit = std::clamp(in_.count(), -1, 3);
        std::vector<law *> splits;
        for (int i = 0; i < std::max(nsplit, 0); ++i) splits.push_back(operand());
        double const tol = in_.number();
        // Each level doubles the samples of every evaluation: a few levels keep it quick.
        int const min_level = in_.pick(4), max_level = 2 + in_.pick(6);
        push([&] {
            return new integrate_law(f, a, b, nsplit, in_.chance(8) ? nullptr : splits.data(), tol,
                                     min_level, max_level);
        });
    }

    static constexpr std::size_t pool_limit = 12;
    registry const &r_;
    input_bytes &in_;
    std::vector<law_ptr> pool_;
    std::vector<long> held_;
    std::vector<law_data_ptr> held_data_;
    long const laws_before_ = law::live_count();
};

// ---------------------------------------------------------------- using

// The expensive uses see only small laws: their work grows much faster than the law.
constexpr std::size_t small_text = 160;
constexpr int small_inputs = 3;
constexpr int small_outputs = 16;
// Derivatives of derivatives print their shared parts each time they meet them.
constexpr std::size_t read_back_text = 4096;

// A law whose number of values varies (CONIC_LINE) raises when asked for it: not small.
bool small(law const *l, std::string const &text) {
    try {
        return text.size() <= small_text && l->take_dim() <= small_inputs &&
               l->return_dim() <= small_outputs;
    } catch (vorn_exception const &) {
        return false;
    }
}

// An error's code in the place of a law's values: a NaN with its sign set and a payload, which
// no value takes (the values' NaNs are kept as one pattern, and a tiny value such as 3e-319 has
// the bits of a small whole number).
constexpr std::uint64_t error_mark = 0xfff4000000000000u;

bool is_error(std::vector<std::uint64_t> const &outcome) {
    return outcome.size() == 1 && (outcome[0] & 0xffff000000000000u) == error_mark;
}

// What a law gives at a point: its values bit for bit, or the code of its error.
std::vector<std::uint64_t> outcome(law const *l, double const *x) {
    std::vector<double> y(static_cast<std::size_t>(std::max(l->return_dim(), 1)));
    try {
        l->evaluate(x, y.data());
    } catch (vorn_exception const &e) {
        return {error_mark + static_cast<std::uint64_t>(lawutil_local_code(e) + 1)};
    }
    std::vector<std::uint64_t> bits;
    for (int i = 0; i < l->return_dim(); ++i) {
        double const v = y[static_cast<std::size_t>(i)];
        // Which NaN an instruction passes on depends on the order a compiler gave it.
        bits.push_back(std::isnan(v) ? 0x7ff8000000000000u : std::bit_cast<std::uint64_t>(v));
    }
    return bits;
}

// The batch and the single points agree.
void check_batch(law const *l, std::vector<double> const &points, int n) {
    int const out = std::max(l->return_dim(), 1), in = std::max(l->take_dim(), 1);
    std::vector<double> values(static_cast<std::size_t>(out * n));
    std::vector<int> errors(static_cast<std::size_t>(n));
    bool batch_ran = true;
    try {
        l->evaluate_many(points.data(), values.data(), n, errors.data());
    } catch (vorn_exception const &) {
        batch_ran = false;  // an error outside the points' own (a law of no evaluate, say)
    }
    if (!batch_ran || l->return_dim() < 1) return;
    for (int k = 0; k < n; ++k) {
        std::vector<std::uint64_t> const single = outcome(l, points.data() + k * in);
        bool const failed = is_error(single);
        if (failed != (errors[static_cast<std::size_t>(k)] != 0))
            failure("a batch and a single point disagree on an error", printed(l),
                    std::to_string(k));
        if (failed) continue;
        for (int j = 0; j < l->return_dim(); ++j) {
            double const v = values[static_cast<std::size_t>(k * out + j)];
            std::uint64_t const b =
                std::isnan(v) ? 0x7ff8000000000000u : std::bit_cast<std::uint64_t>(v);
            if (b != single[static_cast<std::size_t>(j)])
                failure("a batch and a single point disagree on a value", printed(l),
                        std::to_string(k));
        }
    }
}

// A deep copy is the same law.
void check_copy(law const *l, std::vector<double> const &point) {
    law_ptr copy;
    exercise([&] { copy = adopt(l->deep_copy()); });
    if (!copy) return;
    std::string const a = printed(l), b = printed(copy.get());
    if (a != b) failure("a deep copy prints differently", a, b);
    if (outcome(l, point.data()) != outcome(copy.get(), point.data()))
        failure("a deep copy evaluates differently", a, b);
}

// Whether a law of the tree has no members at all, which prints as NAME() and reads back with
// one empty member, 0 (VEC() reads as VEC(0)).
bool holds_empty_member_list(law const *l) {
    VOID_LIST found;
    l->hasa(multiple_law::id(), found);
    for (int i = 0; i < found.count(); ++i)
        if (static_cast<multiple_law const *>(found[i])->fsub_num() == 0) return true;
    return false;
}

// A printed law that reads back prints the same again.
void check_read_back(law const *l) {
    law_data **array = nullptr;
    int count = 0;
    std::string text;
    exercise([&] {
        char *t = l->string_and_data(&array, &count);
        text = t;
        vorn_discard(t);
    });
    std::vector<law_data_ptr> held;
    for (int i = 0; i < count; ++i) held.push_back(adopt(array[i]));
    law_ptr const again = adopt(str_to_law(text.c_str(), array, count));
    vorn_discard(array);
    if (!again || holds_empty_member_list(l)) return;
    std::string const second = printed(again.get());
    if (second != text) failure("printing changed after reading", text, second);
}

// The entry points of one double are for laws of at most one input, as their callers must see.
void evaluate_typed(law const *l, double t, int n) {
    double const x[small_inputs] = {t, t, t};
    if (l->take_dim() <= 1) {
        exercise([&] { l->eval(t); });
        exercise([&] { l->evaluateR_V(t); });
        exercise([&] { l->evaluateR_UV(t); });
        exercise([&] { l->evaluateR_P(t); });
        exercise([&] { l->evaluateDR_V(t, n); });
    }
    exercise([&] { l->evaluateM_T(x); });
    exercise([&] { l->evaluateM_MAT(x); });
    exercise([&] { l->evaluatePP_P(ZEM::par_pos(t, t)); });
    exercise([&] { l->evaluateDM_R(x, n); });
    exercise([&] {
        double *values = nullptr;
        int size = 0;
        l->evaluateVAR(x, values, size);
        vorn_discard(values);
    });
}

void classify(law const *l) {
    double const x[small_inputs] = {0.25, -0.5, 2};
    ZEM::interval domain;
    exercise([&] { l->in_domain(x); });
    exercise([&] { l->term_domain(0, domain); });
    exercise([&] { l->zero(); });
    exercise([&] { l->integer(); });
    exercise([&] { l->constant(); });
    exercise([&] { l->linear(); });
    exercise([&] { l->identity(); });
    exercise([&] {
        int failed = 0;
        l->estimate_bounds(ZEM::interval(-1, 2), failed);
    });
    exercise([&] {
        double *where = nullptr, *period = nullptr;
        int *type = nullptr;
        l->singularities(&where, &type, -3, 3, &period);
        vorn_discard(where);
        vorn_discard(type);
        vorn_discard(period);
    });
    exercise([&] { delete l->polynomial(nullptr); });
    // full_size is left out: it counts a shared sub-law once per path to it, and the caches of
    // derivatives share their trees, so its work may grow as the number of paths does.
}

// The outcome at the point, padded with zeros to what the law takes: a law made from another may
// take more inputs (the inverse of A o B is the inverse of B, of B's inputs, after A's).
std::vector<std::uint64_t> outcome_at(law const *l, std::vector<double> point) {
    point.resize(std::max(point.size(), static_cast<std::size_t>(std::max(l->take_dim(), 1))));
    return outcome(l, point.data());
}

void derive(law const *l, std::vector<double> const &point) {
    for (int which = 0; which < std::max(l->take_dim(), 1); ++which)
        exercise([&] {
            law_ptr const d = adopt(l->derivative(which));
            outcome_at(d.get(), point);
        });
    exercise([&] {
        law_ptr const s = adopt(l->simplify());
        outcome_at(s.get(), point);
    });
    exercise([&] {
        law_ptr const inv = adopt(l->inverse());
        if (inv) outcome_at(inv.get(), point);
    });
    exercise([&] { lawcode const code(const_cast<law *>(l), "f", "t"); });
}

// The searches, over limits from the input: finite, crossed, or not numbers at all.
void search(law *l, input_bytes &in) {
    if (l->take_dim() > 1 || l->return_dim() != 1) return;
    double const a = in.number(), b = in.number();
    exercise([&] {
        int n = 0;
        vorn_discard(Nroot(l, a, b, &n));
    });
    exercise([&] { Nmin(l, a, b); });
    exercise([&] { Nmax_quick(l, a, b, in.pick(40) - 2, in.number(), in.number()); });
    exercise([&] {
        double value = 0;
        Nintegrate(l, a, b, &value, in.number(), 2, 2 + in.pick(10));
    });
    exercise([&] {
        double value = 0, x = a;
        Ndifferentiate_sided(l, &x, 0, in.pick(3), &value, in.count());
    });
    exercise([&] {
        double lo = 0, hi = 0;
        double const s = a, e = b;
        l->bounds(&lo, &hi, &s, &e, 1e-2);
    });
}

void fit(law *l, input_bytes &in) {
    if (l->take_dim() > 1 || l->return_dim() != 3) return;
    double const a = in.number(), b = in.number();
    exercise([&] {
        std::unique_ptr<sw_curve> const c(
            law_to_sw_curve(l, ZEM::interval(a, b), in.chance(2) ? 1e-2 : 1e-3));
        if (c) sw_curve_accuracy(l, c.get());
    });
}

// Laws that integrate take a Romberg table at each value: a search over one is kept for laws
// of that kind alone, so that one input stays quick.
bool integrates(law const *l) {
    VOID_LIST found;
    l->hasa(integrate_law::id(), found);
    return found.count() > 0;
}

void use(law *l, long held, input_bytes &in) {
    if (!printable(l)) return;
    std::string const text = printed(l);
    if (text.size() > read_back_text) return;
    check_read_back(l);
    if (!small(l, text) || held > law_budget) return;
    std::vector<double> points;
    int const n = 3, inputs = std::max(l->take_dim(), 1);
    for (int i = 0; i < n * inputs; ++i) points.push_back(in.number());
    check_batch(l, points, n);
    check_copy(l, points);
    evaluate_typed(l, points[0], in.pick(3));
    classify(l);
    derive(l, {points.begin(), points.begin() + inputs});
    if (integrates(l)) return;
    search(l, in);
    fit(l, in);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const *bytes, std::size_t size) {
    static registry const *r = new registry;
    long const laws_before = law::live_count(), data_before = law_data::live_count();
    {
        input_bytes in(bytes, size);
        builder b(*r, in);
        int const steps = 1 + in.pick(16);
        for (int i = 0; i < steps && !in.done(); ++i) b.step();
        for (std::size_t i = 0; i < b.laws().size(); ++i) use(b.laws()[i].get(), b.held_at(i), in);
    }
    if (law::live_count() != laws_before) failure("a law outlived its input", "", "");
    if (law_data::live_count() != data_before) failure("a law data outlived its input", "", "");
    return 0;
}
