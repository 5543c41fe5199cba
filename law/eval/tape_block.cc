// The block runner: each operation of a tape over a block of points at a time, so that the
// arithmetic vectorises and the dispatch is paid once a block.
#include <law/eval/eval_tape.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <law/core/eval_buffer.h>
#include <law/eval/exp_shortcut.h>
#include <law/eval/log_shortcut.h>
#include <law/eval/sine_shortcut.h>

// The loops over the points of a block carry no dependence from one point to the next: told so,
// both compilers vectorise them.
#if defined(__clang__)
#define LAW_INDEPENDENT_POINTS _Pragma("clang loop vectorize(assume_safety)")
#else
#define LAW_INDEPENDENT_POINTS _Pragma("GCC ivdep")
#endif

namespace {
// out[k] = value(a[k], b[k]) for the points of a block, and the points the operation's check
// keeps from it marked rare. out may be a or b itself, point by point, which leaves no
// dependence between points.
template <tape_check check, tape_operand checked, class Value>
[[gnu::always_inline]] inline void value_points(double *out, double const *a, double const *b,
                                                double k, int m, unsigned char *rare, Value value) {
    if constexpr (check != tape_check::none && checked == tape_operand::k) {
        // A constant the check keeps from the operation keeps every point from it.
        if (fails_check(check, k)) std::fill(rare, rare + m, 1);
    }
    if constexpr (check == tape_check::none || checked == tape_operand::k) {
        LAW_INDEPENDENT_POINTS
        for (int i = 0; i < m; ++i) out[i] = value(a[i], b[i]);
    } else {
        double const *const x = checked == tape_operand::a ? a : b;
        LAW_INDEPENDENT_POINTS
        for (int i = 0; i < m; ++i) {
            rare[i] |= fails_check(check, x[i]);
            out[i] = value(a[i], b[i]);
        }
    }
}

// The points of a block that a jump at operation `here` sends on to its target: those that
// have not left the path and for which goes(i) holds. The go-on marks are values too (operation
// numbers are exact in them), so that the loops over them vectorise.
using block_mark = double;
template <class Goes>
[[gnu::always_inline]] inline void jump_points(block_mark to, block_mark here, block_mark *on_at,
                                               int m, Goes goes) {
    LAW_INDEPENDENT_POINTS
    for (int i = 0; i < m; ++i) {
        bool const go = goes(i);
        on_at[i] = on_at[i] <= here && go ? to : on_at[i];
    }
}

// The points whose operand a check keeps from the operation marked rare.
template <tape_check check>
void mark_rare(double const *a, int m, unsigned char *rare) {
    LAW_INDEPENDENT_POINTS
    for (int i = 0; i < m; ++i) rare[i] |= fails_check(check, a[i]);
}

// A power over the points of a block, their checks first (its result may be its operand).
void powers_on_block(tape_op const &op, double *const *rows, int m, unsigned char *rare) {
    double const *const a = rows[op.a];
    double *const out = rows[op.out];
    switch (op.code) {
        case tape_code::pow_half:
            mark_rare<facts_of(tape_code::pow_half).check>(a, m, rare);
            return powers_as_pow(a, 0.5, out, m, [](double v, double) { return root_as_pow(v); });
        case tape_code::pow_minus_one:
            mark_rare<facts_of(tape_code::pow_minus_one).check>(a, m, rare);
            return powers_as_pow(a, -1, out, m,
                                 [](double v, double) { return reciprocal_as_pow(v); });
        default:
            return powers_as_pow(a, op.k, out, m, op.f2);
    }
}

// A function of the C library over the points of a block with its own bits, mostly found many
// at a time without calling it; false for the other operations.
bool library_on_block(tape_op const &op, double *const *rows, int m) {
    if (op.code != tape_code::call1) return false;
    struct shortcut {
        tape_fn1 one;
        void (*many)(double const *, double *, int);
    };
    static constexpr shortcut shortcuts[] = {{&::exp, &exps_as_exp},
                                             {&checked_log, &logs_as_log},
                                             {&::sin, &sines_as_sin},
                                             {&::cos, &cosines_as_cos}};
    for (shortcut const &s : shortcuts) {
        if (op.f1 != s.one) continue;
        s.many(rows[op.a], rows[op.out], m);
        return true;
    }
    return false;
}

// out = a at the points that run operation `here` (all of them without branches).
void copy_points(double *out, double const *a, block_mark here, block_mark const *on_at, int m) {
    if (!on_at) return (void)std::copy(a, a + m, out);
    LAW_INDEPENDENT_POINTS
    for (int k = 0; k < m; ++k) {
        double const p = a[k], q = out[k];  // both read, so that the choice vectorises
        out[k] = on_at[k] <= here ? p : q;
    }
}
}  // namespace

// Compiled also for the wider vector units, chosen when the library loads. The values stay those
// of one point: vector sums, products, quotients and square roots round as the scalar ones do,
// and this file is compiled without contracting a product and a sum into one rounding. Clang
// wants the clones declared on every declaration of a member; it builds the one version.
#if defined(__GNUC__) && !defined(__clang__)
#define LAW_VECTOR_CLONES [[gnu::target_clones("avx512f", "avx2", "default")]]
#else
#define LAW_VECTOR_CLONES
#endif
LAW_VECTOR_CLONES void eval_tape::run_block(double *const *rows, int m, unsigned char *rare,
                                            double const *(*point)(void const *, int),
                                            void const *points) const {
    // With branches: the operation each point goes on at. The operations a point passes over
    // still run for it, on values that nothing it takes reads (and an error or a rare case there
    // sends the point to its own evaluation); only the copies and the calls of laws skip it.
    constexpr int marks_on_stack = 256;
    block_mark stack_marks[marks_on_stack];
    std::vector<block_mark> heap_marks;
    block_mark *on_at = nullptr;
    if (branches_) {
        if (m > marks_on_stack) heap_marks.resize(static_cast<std::size_t>(m));
        on_at = m > marks_on_stack ? heap_marks.data() : stack_marks;
        std::fill(on_at, on_at + m, 0);
    }
    std::vector<double> pair_values(static_cast<std::size_t>(pair_buffers_) *
                                    static_cast<std::size_t>(m));
    for (std::size_t i = 0; i < ops_.size(); ++i) {
        tape_op const &op = ops_[i];
        block_mark const here = static_cast<block_mark>(i);
        if (!pairs_.empty() && pairs_[i].partner >= 0) {
            pair_on_block(i, rows, m, pair_values.data());
            continue;
        }
        if (op.code == tape_code::power_k || op.code == tape_code::pow_half ||
            op.code == tape_code::pow_minus_one) {
            powers_on_block(op, rows, m, rare);
            continue;
        }
        if (library_on_block(op, rows, m)) continue;
        switch (op.code) {
#define TAPE_ROW_ab rows[op.b]
#define TAPE_ROW_a rows[op.a]
#define TAPE_BLOCK_value(operands, value, check, checked)                \
    value_points<tape_check::check, tape_operand::checked>(              \
        rows[op.out], rows[op.a], TAPE_ROW_##operands, op.k, m, rare,    \
        [&op, k = op.k](double a, [[maybe_unused]] double b) -> double { \
            (void)op, (void)k; /* not every row's value reads them */    \
            return value;                                                \
        });                                                              \
    break;
#define TAPE_POINT_ab double const a = rows[op.a][i], b = rows[op.b][i];
#define TAPE_POINT_a double const a = rows[op.a][i];
#define TAPE_POINT_none
#define TAPE_BLOCK_jump(operands, value, check, checked)            \
    jump_points(op.b, here, on_at, m, [&]([[maybe_unused]] int i) { \
        TAPE_POINT_##operands return static_cast<bool>(value);      \
    });                                                             \
    break;
#define TAPE_BLOCK_copy(operands, value, check, checked)   \
    copy_points(rows[op.out], rows[op.a], here, on_at, m); \
    break;
#define TAPE_BLOCK_call(operands, value, check, checked)      \
    call_on_block(op, rows, m, {on_at, here}, point, points); \
    break;
#define TAPE_RUNNER TAPE_BLOCK_
#include <law/eval/tape_cases.inc>
#undef TAPE_BLOCK_call
#undef TAPE_BLOCK_copy
#undef TAPE_BLOCK_jump
#undef TAPE_BLOCK_value
#undef TAPE_POINT_none
#undef TAPE_POINT_a
#undef TAPE_POINT_ab
#undef TAPE_ROW_a
#undef TAPE_ROW_ab
        }
    }
}

void eval_tape::call_on_block(tape_op const &op, double *const *rows, int m, block_path path,
                              double const *(*point)(void const *, int), void const *points) const {
    int const n = op.b;
    eval_buffer y(n), inner(op.a < 0 ? 0 : static_cast<int>(points_[op.a].size()));
    for (int k = 0; k < m; ++k) {
        if (path.on_at && path.on_at[k] > path.here) continue;  // a branch it does not take
        y[0] = 0;  // a law of no values leaves its first value at 0
        if (op.a < 0) {
            op.callee->evaluate(point(points, k), y);
        } else {
            std::vector<int> const &slots = points_[static_cast<std::size_t>(op.a)];
            for (std::size_t i = 0; i < slots.size(); ++i)
                inner[static_cast<int>(i)] = rows[slots[i]][k];
            op.callee->evaluate(inner, y);
        }
        for (int j = 0; j < n; ++j) rows[op.out + j][k] = y[j];
    }
}

void eval_tape::pair_on_block(std::size_t i, double *const *rows, int m, double *buffers) const {
    tape_op const &op = ops_[i];
    sine_pair const &pair = pairs_[i];
    double *const carried = buffers + static_cast<std::ptrdiff_t>(pair.buffer) * m;
    double *const out = rows[op.out];
    if (static_cast<std::size_t>(pair.partner) < i)
        return (void)std::copy(carried, carried + m, out);
    // The argument lives on to the second, so it is not the first's result.
    bool const sine = op.f1 == static_cast<tape_fn1>(&::sin);
    double const *const a = rows[op.a];
    double *const sines = sine ? out : carried, *const cosines = sine ? carried : out;
    sines_and_cosines(a, sines, cosines, m);
}

bool eval_tape::output_row_is_own(int j) const {
    int const slot = output_slot(j);
    int const first_result = static_cast<int>(constants_.size() + inputs_.size());
    return slot >= first_result && std::count(outputs_.begin(), outputs_.end(), slot) == 1;
}
