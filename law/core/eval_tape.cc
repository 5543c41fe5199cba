#include <law/core/eval_tape.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include <law/core/deep_tree.h>
#include <law/core/eval_buffer.h>
#include <law/core/slot_space.h>

constinit thread_local law const *tape_walker [[gnu::tls_model("initial-exec")]] = nullptr;

namespace {
// Sub-trees deeper than this are called, not compiled: they compile into tapes of their own, so
// that compiling never recurses far.
constexpr int max_compile_depth = 500;

// Provisional slot numbers carry their kind in the low bits until the layout is known.
enum slot_kind : int { constant_slot = 0, input_slot = 1, result_slot = 2 };
constexpr int provisional(int n, slot_kind kind) { return n * 4 + kind; }
bool is_constant(int slot) { return slot % 4 == constant_slot; }

}  // namespace

// ---------------------------------------------------------------- running

[[gnu::always_inline]] inline bool eval_tape::run_in(double *const v, double const *x,
                                                     double *y) const {
    if (!constants_.empty()) std::memcpy(v, constants_.data(), constants_.size() * sizeof(double));
    for (input const &in : inputs_) v[in.slot] = x[in.index];
    tape_op const *const first = ops_.data();
    tape_op const *const end = first + ops_.size();
    for (tape_op const *p = first; p != end; ++p) {
        tape_op const &op = *p;
        switch (op.code) {
            case tape_code::add:
                v[op.out] = v[op.a] + v[op.b];
                break;
            case tape_code::sub:
                v[op.out] = v[op.a] - v[op.b];
                break;
            case tape_code::mul:
                v[op.out] = v[op.a] * v[op.b];
                break;
            case tape_code::div:
                if (!checked_quotient(v[op.a], v[op.b], v[op.out])) return false;
                break;
            case tape_code::neg:
                v[op.out] = -v[op.a];
                break;
            case tape_code::lt:
                v[op.out] = v[op.a] < v[op.b] ? 1 : 0;
                break;
            case tape_code::gt:
                v[op.out] = v[op.a] > v[op.b] ? 1 : 0;
                break;
            case tape_code::le:
                v[op.out] = v[op.a] <= v[op.b] ? 1 : 0;
                break;
            case tape_code::ge:
                v[op.out] = v[op.a] >= v[op.b] ? 1 : 0;
                break;
            case tape_code::eq:
                v[op.out] = v[op.a] == v[op.b] ? 1 : 0;
                break;
            case tape_code::ne:
                v[op.out] = v[op.a] != v[op.b] ? 1 : 0;
                break;
            case tape_code::truth:
                v[op.out] = v[op.a] != 0 ? 1 : 0;
                break;
            case tape_code::copy:
                v[op.out] = v[op.a];
                break;
            case tape_code::jump:
                p = first + op.b - 1;
                break;
            case tape_code::jump_if_zero:
                if (v[op.a] == 0) p = first + op.b - 1;
                break;
            case tape_code::jump_unless_zero:
                if (v[op.a] != 0) p = first + op.b - 1;
                break;
            case tape_code::add_k:
                v[op.out] = v[op.a] + op.k;
                break;
            case tape_code::sub_k:
                v[op.out] = v[op.a] - op.k;
                break;
            case tape_code::k_sub:
                v[op.out] = op.k - v[op.a];
                break;
            case tape_code::mul_k:
                v[op.out] = v[op.a] * op.k;
                break;
            case tape_code::div_k:
                if (!checked_quotient(v[op.a], op.k, v[op.out])) return false;
                break;
            case tape_code::k_div:
                if (!checked_quotient(op.k, v[op.a], v[op.out])) return false;
                break;
            case tape_code::call2_k:
                v[op.out] = op.f2(v[op.a], op.k);
                break;
            case tape_code::lt_k:
                v[op.out] = v[op.a] < op.k ? 1 : 0;
                break;
            case tape_code::gt_k:
                v[op.out] = v[op.a] > op.k ? 1 : 0;
                break;
            case tape_code::le_k:
                v[op.out] = v[op.a] <= op.k ? 1 : 0;
                break;
            case tape_code::ge_k:
                v[op.out] = v[op.a] >= op.k ? 1 : 0;
                break;
            case tape_code::eq_k:
                v[op.out] = v[op.a] == op.k ? 1 : 0;
                break;
            case tape_code::ne_k:
                v[op.out] = v[op.a] != op.k ? 1 : 0;
                break;
            case tape_code::larger_k:
                v[op.out] = tape_larger(v[op.a], op.k);
                break;
            case tape_code::smaller_k:
                v[op.out] = tape_smaller(v[op.a], op.k);
                break;
            case tape_code::mul_add_k:
                v[op.out] = v[op.a] * v[op.b] + op.k;
                break;
            case tape_code::sqrt:
                v[op.out] = tape_sqrt(v[op.a]);
                break;
            case tape_code::abs:
                v[op.out] = std::fabs(v[op.a]);
                break;
            case tape_code::larger:
                v[op.out] = tape_larger(v[op.a], v[op.b]);
                break;
            case tape_code::smaller:
                v[op.out] = tape_smaller(v[op.a], v[op.b]);
                break;
            default:
                __builtin_unreachable();
            case tape_code::call1:
                v[op.out] = op.f1(v[op.a]);
                break;
            case tape_code::call2:
                v[op.out] = op.f2(v[op.a], v[op.b]);
                break;
            case tape_code::call_law: {
                double *const out = v + op.out;
                out[0] = 0;  // a law of no values leaves its first value at 0
                if (op.a < 0) {
                    op.callee->evaluate(x, out);
                    break;
                }
                std::vector<int> const &slots = points_[static_cast<std::size_t>(op.a)];
                int const n = static_cast<int>(slots.size());
                eval_buffer at(n);
                for (int i = 0; i < n; ++i) at[i] = v[slots[static_cast<std::size_t>(i)]];
                op.callee->evaluate(at, out);
                break;
            }
        }
    }
    for (std::size_t k = 0; k < outputs_.size(); ++k) y[k] = v[outputs_[k]];
    return true;
}

void eval_tape::interpret_for(law const *owner, double const *x, double *y) const {
    if (!interpret(x, y)) give_back(owner, x, y);
}

bool eval_tape::interpret(double const *x, double *y) const {
    if (slot_count_ > small_run) [[unlikely]]
        return run_large(x, y);
    double v[small_run];
    return run_in(v, x, y);
}

bool eval_tape::run_large(double const *x, double *y) const {
    slot_space space(static_cast<std::size_t>(slot_count_));
    return run_in(space.data(), x, y);
}

// ---------------------------------------------------------------- running over a block

namespace {
// out[k] = f(a[k], b[k]) for the points of a block. out may be a or b itself, point by point,
// which leaves no dependence between points.
template <class F>
[[gnu::always_inline]] inline void each_point(double *out, double const *a, double const *b, int m,
                                              F f) {
#pragma GCC ivdep
    for (int k = 0; k < m; ++k) out[k] = f(a[k], b[k]);
}

// A division of the block; a divisor near zero (which fails, or takes the L'Hopital rule when
// the dividend is near zero too) leaves the point to its own evaluation.
// The points of a block that a jump at operation `here` sends on to its target. The go-on marks
// are values too (operation numbers are exact in them), so that the loops over them vectorise.
using block_mark = double;
void jump_points(tape_op const &op, double const *a, block_mark here, block_mark *on_at, int m) {
    bool const always = op.code == tape_code::jump, if_zero = op.code == tape_code::jump_if_zero;
    block_mark const to = op.b;
#pragma GCC ivdep
    for (int k = 0; k < m; ++k) {
        bool const go = always || (a[k] == 0) == if_zero;
        on_at[k] = on_at[k] <= here && go ? to : on_at[k];
    }
}

// out = a at the points that run operation `here` (all of them without branches).
void copy_points(double *out, double const *a, block_mark here, block_mark const *on_at, int m) {
    if (!on_at) return (void)std::copy(a, a + m, out);
#pragma GCC ivdep
    for (int k = 0; k < m; ++k) {
        double const p = a[k], q = out[k];  // both read, so that the choice vectorises
        out[k] = on_at[k] <= here ? p : q;
    }
}

// A division of the block, a(k) / b(k) at point k; a divisor near zero (which fails, or takes the
// L'Hopital rule when the dividend is near zero too) leaves the point to its own evaluation.
template <class A, class B>
[[gnu::always_inline]] inline void divide_points(double *out, A a, B b, int m,
                                                 unsigned char *rare) {
    static_assert(lhospital_zero < resmch, "0/0 is a case of a divisor near zero");
#pragma GCC ivdep
    for (int k = 0; k < m; ++k) {
        rare[k] |= std::fabs(b(k)) < resmch;
        out[k] = a(k) / b(k);
    }
}

// The values of a slot's row, and a constant, at point k.
auto row_values(double const *row) {
    return [row](int k) { return row[k]; };
}
auto constant_value(double c) {
    return [c](int) { return c; };
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
    auto const at = [rows](int slot) { return rows[slot]; };
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
    for (std::size_t i = 0; i < ops_.size(); ++i) {
        tape_op const &op = ops_[i];
        block_mark const here = static_cast<block_mark>(i);
        double *const out = at(op.out);
        double const *const a = at(op.a);
        double const *const b = at(op.b);
        switch (op.code) {
            case tape_code::add:
                each_point(out, a, b, m, [](double p, double q) { return p + q; });
                break;
            case tape_code::sub:
                each_point(out, a, b, m, [](double p, double q) { return p - q; });
                break;
            case tape_code::mul:
                each_point(out, a, b, m, [](double p, double q) { return p * q; });
                break;
            case tape_code::div:
                divide_points(out, row_values(a), row_values(b), m, rare);
                break;
            case tape_code::neg:
                each_point(out, a, a, m, [](double p, double) { return -p; });
                break;
            case tape_code::lt:
                each_point(out, a, b, m, [](double p, double q) { return p < q ? 1.0 : 0.0; });
                break;
            case tape_code::gt:
                each_point(out, a, b, m, [](double p, double q) { return p > q ? 1.0 : 0.0; });
                break;
            case tape_code::le:
                each_point(out, a, b, m, [](double p, double q) { return p <= q ? 1.0 : 0.0; });
                break;
            case tape_code::ge:
                each_point(out, a, b, m, [](double p, double q) { return p >= q ? 1.0 : 0.0; });
                break;
            case tape_code::eq:
                each_point(out, a, b, m, [](double p, double q) { return p == q ? 1.0 : 0.0; });
                break;
            case tape_code::ne:
                each_point(out, a, b, m, [](double p, double q) { return p != q ? 1.0 : 0.0; });
                break;
            case tape_code::truth:
                each_point(out, a, a, m, [](double p, double) { return p != 0 ? 1.0 : 0.0; });
                break;
            case tape_code::copy:
                copy_points(out, a, here, on_at, m);
                break;
            case tape_code::jump:
            case tape_code::jump_if_zero:
            case tape_code::jump_unless_zero:
                jump_points(op, a, here, on_at, m);
                break;
            case tape_code::add_k:
                each_point(out, a, a, m, [k = op.k](double p, double) { return p + k; });
                break;
            case tape_code::sub_k:
                each_point(out, a, a, m, [k = op.k](double p, double) { return p - k; });
                break;
            case tape_code::k_sub:
                each_point(out, a, a, m, [k = op.k](double p, double) { return k - p; });
                break;
            case tape_code::mul_k:
                each_point(out, a, a, m, [k = op.k](double p, double) { return p * k; });
                break;
            case tape_code::lt_k:
                each_point(out, a, a, m,
                           [k = op.k](double p, double) { return p < k ? 1.0 : 0.0; });
                break;
            case tape_code::gt_k:
                each_point(out, a, a, m,
                           [k = op.k](double p, double) { return p > k ? 1.0 : 0.0; });
                break;
            case tape_code::le_k:
                each_point(out, a, a, m,
                           [k = op.k](double p, double) { return p <= k ? 1.0 : 0.0; });
                break;
            case tape_code::ge_k:
                each_point(out, a, a, m,
                           [k = op.k](double p, double) { return p >= k ? 1.0 : 0.0; });
                break;
            case tape_code::eq_k:
                each_point(out, a, a, m,
                           [k = op.k](double p, double) { return p == k ? 1.0 : 0.0; });
                break;
            case tape_code::ne_k:
                each_point(out, a, a, m,
                           [k = op.k](double p, double) { return p != k ? 1.0 : 0.0; });
                break;
            case tape_code::larger_k:
                each_point(out, a, a, m,
                           [k = op.k](double p, double) { return tape_larger(p, k); });
                break;
            case tape_code::smaller_k:
                each_point(out, a, a, m,
                           [k = op.k](double p, double) { return tape_smaller(p, k); });
                break;
            case tape_code::mul_add_k:
                each_point(out, a, b, m, [k = op.k](double p, double q) { return p * q + k; });
                break;
            case tape_code::larger:
                each_point(out, a, b, m, [](double p, double q) { return tape_larger(p, q); });
                break;
            case tape_code::smaller:
                each_point(out, a, b, m, [](double p, double q) { return tape_smaller(p, q); });
                break;
            case tape_code::div_k:
                // A divisor away from zero is never a rare case.
                if (std::fabs(op.k) >= resmch)
                    each_point(out, a, a, m, [k = op.k](double p, double) { return p / k; });
                else
                    divide_points(out, row_values(a), constant_value(op.k), m, rare);
                break;
            case tape_code::k_div:
                divide_points(out, constant_value(op.k), row_values(a), m, rare);
                break;
            case tape_code::sqrt:
#pragma GCC ivdep
                for (int k = 0; k < m; ++k) {
                    double const p = a[k];
                    rare[k] |= p <= -resmch;
                    out[k] = p < 0 ? 0 : std::sqrt(p);
                }
                break;
            case tape_code::abs:
                each_point(out, a, a, m, [](double p, double) { return std::fabs(p); });
                break;
            case tape_code::call1:
                for (int k = 0; k < m; ++k) out[k] = op.f1(a[k]);
                break;
            case tape_code::call2:
                for (int k = 0; k < m; ++k) out[k] = op.f2(a[k], b[k]);
                break;
            case tape_code::call2_k:
                for (int k = 0; k < m; ++k) out[k] = op.f2(a[k], op.k);
                break;
            case tape_code::call_law:
                call_on_block(op, rows, m, {on_at, here}, point, points);
                break;
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

bool eval_tape::output_row_is_own(int j) const {
    int const slot = output_slot(j);
    int const first_result = static_cast<int>(constants_.size() + inputs_.size());
    return slot >= first_result && std::count(outputs_.begin(), outputs_.end(), slot) == 1;
}

// ---------------------------------------------------------------- compiling

std::unique_ptr<eval_tape> tape_builder::compile(law const *root) {
    tape_builder b(root);
    tape_values const out = b.values_of(root, b.root_point_);
    if (b.refused_ || out.slots.empty()) return nullptr;
    return b.finish(out);
}

tape_values tape_builder::values_of(law const *l, tape_point const &at) {
    if (tape_values const *v = found(l, at)) return *v;
    tape_formula f;
    if (l->compiled_formula(f)) return formula_values(l, f, at);
    return emitted_values(l, at);
}

// A law held once is met once: only laws held more than once are looked up and kept.
tape_values const *tape_builder::found(law const *l, tape_point const &at) const {
    if (l->ref_count() <= 1) return nullptr;
    auto const it = done_.find({l, at.id});
    return it == done_.end() ? nullptr : &it->second;
}

void tape_builder::remember(law const *l, tape_point const &at, tape_values const &v) {
    law_at_point const key{l, at.id};
    if (l->ref_count() > 1 && v.pure && done_.emplace(key, v).second) memo_log_.push_back(key);
}

tape_values tape_builder::emitted_values(law const *l, tape_point const &at) {
    tape_values v;
    if (depth_ >= max_compile_depth) {
        v = call_law(l, at);
    } else {
        struct nesting {
            int &depth;
            explicit nesting(int &d) : depth(++d) {}
            ~nesting() { --depth; }
        } const nest(depth_);
        v = l->emit_tape(*this, at);
    }
    remember(l, at, v);
    return v;
}

tape_values tape_builder::formula_values(law const *l, tape_formula const &f,
                                         tape_point const &at) {
    struct frame {
        law const *l;
        tape_formula f;
        int done = 0;  // sides compiled
        int slots[2] = {0, 0};
        bool pure = true;
    };
    std::vector<frame> stack{{l, f}};
    int slot = 0;       // the first value of the side the top frame waits for,
    bool pure = true;   // whether that side is pure,
    bool have = false;  // and whether it is there
    for (;;) {
        frame &top = stack.back();
        if (have) {
            top.slots[top.done++] = slot;
            top.pure = top.pure && pure;
            have = false;
        }
        if (top.done < top.f.count) {
            law const *side = top.f.sides[top.done];
            tape_formula sf;
            if (tape_values const *known = found(side, at)) {
                slot = first(*known);
                pure = known->pure;
            } else if (side->compiled_formula(sf)) {
                stack.push_back({side, sf});
                continue;
            } else {
                tape_values const v = emitted_values(side, at);
                slot = first(v);
                pure = v.pure;
            }
            have = true;
            continue;
        }
        int const a = top.slots[0], c = top.f.count > 1 ? top.slots[1] : a;
        tape_values v;
        v.slots.push_back(top.f.right_first ? top.f.emit(*this, top.l, c, a)
                                            : top.f.emit(*this, top.l, a, c));
        v.pure = top.pure;
        remember(top.l, at, v);
        stack.pop_back();
        if (stack.empty()) return v;
        slot = v.slots[0];
        pure = v.pure;
        have = true;
    }
}

tape_point tape_builder::point(std::vector<int> slots) {
    return tape_point{next_point_++, std::move(slots)};
}

int tape_builder::constant(double value) {
    auto const [it, added] = constant_of_bits_.emplace(std::bit_cast<std::uint64_t>(value), 0);
    if (added) {
        constants_.push_back(value);
        it->second = provisional(static_cast<int>(constants_.size()) - 1, constant_slot);
    }
    return it->second;
}

int tape_builder::input(tape_point const &at, int index) {
    if (at.id != 0) {
        if (index >= 0 && index < static_cast<int>(at.slots.size()))
            return at.slots[static_cast<std::size_t>(index)];
        refuse();
        return constant(0);
    }
    if (index >= static_cast<int>(input_of_index_.size()))
        input_of_index_.resize(static_cast<std::size_t>(index) + 1, -1);
    int &n = input_of_index_[static_cast<std::size_t>(index)];
    if (n < 0) {
        n = static_cast<int>(input_indices_.size());
        input_indices_.push_back(index);
    }
    return provisional(n, input_slot);
}

int tape_builder::new_value() { return provisional(results_++, result_slot); }

tape_op &tape_builder::push(tape_code code, int a, int b, bool new_out) {
    tape_op op{};
    op.code = code;
    op.a = a;
    op.b = b;
    op.out = new_out ? new_value() : 0;
    ops_.push_back(op);
    return ops_.back();
}

void tape_builder::copy_to(int target, int source) {
    push(tape_code::copy, source, 0, false).out = target;
}

int tape_builder::jump(tape_code code, int condition) {
    push(code, condition, 0, false);
    return static_cast<int>(ops_.size()) - 1;
}

void tape_builder::land(int jump_op) {
    ops_[static_cast<std::size_t>(jump_op)].b = static_cast<int>(ops_.size());
}

void tape_builder::forget(scope mark) {
    while (memo_log_.size() > mark.laws) {
        done_.erase(memo_log_.back());
        memo_log_.pop_back();
    }
    while (op_log_.size() > mark.ops) {
        same_ops_.erase(op_log_.back());
        op_log_.pop_back();
    }
}

namespace {
// One operation on the values of its operand slots, as the tape runs it.
double scalar_result(tape_code code, double a, double b, tape_fn1 f1, tape_fn2 f2) {
    switch (code) {
        case tape_code::add:
            return a + b;
        case tape_code::sub:
            return a - b;
        case tape_code::mul:
            return a * b;
        case tape_code::neg:
            return -a;
        case tape_code::lt:
            return a < b ? 1 : 0;
        case tape_code::gt:
            return a > b ? 1 : 0;
        case tape_code::le:
            return a <= b ? 1 : 0;
        case tape_code::ge:
            return a >= b ? 1 : 0;
        case tape_code::eq:
            return a == b ? 1 : 0;
        case tape_code::ne:
            return a != b ? 1 : 0;
        case tape_code::truth:
            return a != 0 ? 1 : 0;
        case tape_code::sqrt:
            return tape_sqrt(a);
        case tape_code::abs:
            return std::fabs(a);
        case tape_code::larger:
            return tape_larger(a, b);
        case tape_code::smaller:
            return tape_smaller(a, b);
        case tape_code::call1:
            return f1(a);
        case tape_code::call2:
            return f2(a, b);
        default: {
            double y = 0;
            if (!checked_quotient(a, b, y)) law_error(LAW_LHOSPITAL);
            return y;
        }
    }
}

bool unary_code(tape_code code) {
    return code == tape_code::neg || code == tape_code::truth || code == tape_code::sqrt ||
           code == tape_code::abs || code == tape_code::call1;
}
}  // namespace

bool tape_builder::folded(op_key const &key, tape_fn1 f1, tape_fn2 f2, double &value) const {
    bool const one = unary_code(key.code);
    if (!is_constant(key.a) || (!one && !is_constant(key.b))) return false;
    double const a = constants_[static_cast<std::size_t>(key.a / 4)];
    double const b = one ? 0 : constants_[static_cast<std::size_t>(key.b / 4)];
    // A constant that fails stays an operation, so that the error comes when it is evaluated.
    try {
        value = scalar_result(key.code, a, b, f1, f2);
    } catch (vorn_exception const &) {
        return false;
    }
    return true;
}

int tape_builder::made_once(op_key key, tape_fn1 f1, tape_fn2 f2) {
    if (double value = 0; folded(key, f1, f2, value)) return constant(value);
    // Sums, products and equality tests do not depend on the order of their operands.
    bool const symmetric = key.code == tape_code::add || key.code == tape_code::mul ||
                           key.code == tape_code::eq || key.code == tape_code::ne;
    if (symmetric && key.a > key.b) std::swap(key.a, key.b);
    if (auto const found = same_ops_.find(key); found != same_ops_.end()) return found->second;
    tape_op &o = push(key.code, key.a, key.b);
    if (f1) o.f1 = f1;
    if (f2) o.f2 = f2;
    same_ops_.emplace(key, o.out);
    op_log_.push_back(key);
    return o.out;
}

int tape_builder::op(tape_code code, int a, int b) {
    return made_once({code, a, b, 0}, nullptr, nullptr);
}

int tape_builder::call1(tape_fn1 f, int a) {
    return made_once({tape_code::call1, a, 0, reinterpret_cast<std::uintptr_t>(f)}, f, nullptr);
}

int tape_builder::call2(tape_fn2 f, int a, int b) {
    return made_once({tape_code::call2, a, b, reinterpret_cast<std::uintptr_t>(f)}, nullptr, f);
}

tape_values tape_builder::call_law(law const *l, tape_point const &at) {
    // The law being compiled calling itself would never end.
    if (l == root_ && at.id == 0) {
        refuse();
        return {{constant(0)}, false};
    }
    int point_index = -1;
    if (at.id != 0) {
        auto const [it, added] = point_of_id_.emplace(at.id, static_cast<int>(points_.size()));
        if (added) points_.push_back(at.slots);
        point_index = it->second;
    }
    int const n = std::max(1, l->return_dim());
    tape_op &o = push(tape_code::call_law, point_index, n);
    o.callee = l;
    tape_values v{{o.out}, false};
    for (int i = 1; i < n; ++i) v.slots.push_back(new_value());  // follows o.out
    return v;
}

namespace {
bool is_result(int slot) { return slot % 4 == result_slot; }

// Results share registers: a register is free again after the last operation that reads its
// value. Jumps only go forward, so an interval in the order of the operations covers every path.
// The values of a called law are written together and keep registers of their own.
std::vector<int> share_registers(std::vector<tape_op> &ops,
                                 std::vector<std::vector<int>> const &points,
                                 std::vector<int> const &outputs, int results, int &registers) {
    int const never = -1, forever = static_cast<int>(ops.size());
    std::vector<int> last(static_cast<std::size_t>(results), never);
    auto const read_at = [&](int slot, int i) {
        if (is_result(slot)) last[static_cast<std::size_t>(slot / 4)] = std::max(last[slot / 4], i);
    };
    for (int i = 0; i < static_cast<int>(ops.size()); ++i) {
        tape_op &op = ops[static_cast<std::size_t>(i)];
        for_each_slot(op, [&](int &slot, bool result) {
            if (!result) read_at(slot, i);
        });
        if (op.code == tape_code::call_law && op.a >= 0)
            for (int slot : points[static_cast<std::size_t>(op.a)]) read_at(slot, i);
    }
    for (int slot : outputs) read_at(slot, forever);
    // Results whose value dies at each operation, as lists threaded through next_dying.
    std::vector<int> dying(ops.size() + 1, never), next_dying(static_cast<std::size_t>(results));
    for (int r = 0; r < results; ++r) {
        int const end = last[static_cast<std::size_t>(r)];
        if (end < 0 || end >= forever) continue;
        next_dying[static_cast<std::size_t>(r)] = dying[static_cast<std::size_t>(end)];
        dying[static_cast<std::size_t>(end)] = r;
    }
    std::vector<int> reg(static_cast<std::size_t>(results), never), free;
    registers = 0;
    for (int i = 0; i < static_cast<int>(ops.size()); ++i) {
        for (int r = dying[static_cast<std::size_t>(i)]; r != never;
             r = next_dying[static_cast<std::size_t>(r)])
            free.push_back(reg[static_cast<std::size_t>(r)]);
        tape_op &op = ops[static_cast<std::size_t>(i)];
        if (op.code == tape_code::call_law) {
            for (int k = 0; k < op.b; ++k)
                reg[static_cast<std::size_t>(op.out / 4 + k)] = registers++;
            continue;
        }
        int out = -1;
        for_each_slot(op, [&](int &slot, bool result) {
            if (result) out = slot / 4;
        });
        if (out < 0 || reg[static_cast<std::size_t>(out)] != never) continue;
        int &g = reg[static_cast<std::size_t>(out)];
        if (free.empty()) {
            g = registers++;
        } else {
            g = free.back();
            free.pop_back();
        }
        if (last[static_cast<std::size_t>(out)] == never) free.push_back(g);  // never read
    }
    return reg;
}

// An operation with one constant operand takes its value in the operation itself: the code for a
// constant on the right, and for one on the left (sums and products of doubles do not depend on
// the order of their operands, k < a is a > k). A code that takes none stays as it is.
struct constant_form {
    tape_code code, right, left;
};
constexpr constant_form constant_forms[] = {
    {tape_code::add, tape_code::add_k, tape_code::add_k},
    {tape_code::mul, tape_code::mul_k, tape_code::mul_k},
    {tape_code::sub, tape_code::sub_k, tape_code::k_sub},
    {tape_code::div, tape_code::div_k, tape_code::k_div},
    {tape_code::lt, tape_code::lt_k, tape_code::gt_k},
    {tape_code::gt, tape_code::gt_k, tape_code::lt_k},
    {tape_code::le, tape_code::le_k, tape_code::ge_k},
    {tape_code::ge, tape_code::ge_k, tape_code::le_k},
    {tape_code::eq, tape_code::eq_k, tape_code::eq_k},
    {tape_code::ne, tape_code::ne_k, tape_code::ne_k},
    {tape_code::call2, tape_code::call2_k, tape_code::call2},
    {tape_code::larger, tape_code::larger_k, tape_code::larger},
    {tape_code::smaller, tape_code::smaller_k, tape_code::smaller},
};

void fold_constant_operand(tape_op &op, std::vector<double> const &constants) {
    bool const ka = is_constant(op.a), kb = is_constant(op.b);
    if (ka == kb) return;
    for (constant_form const &form : constant_forms) {
        if (form.code != op.code) continue;
        tape_code const code = kb ? form.right : form.left;
        if (code == op.code) return;
        op.code = code;
        op.k = constants[static_cast<std::size_t>((kb ? op.b : op.a) / 4)];
        op.a = kb ? op.a : op.b;
        op.b = 0;
        return;
    }
}

// A product read only by the sum with a constant that follows it becomes one operation, which
// rounds after each step as the two did; a - k is a + (-k) exactly, unless k is a NaN, whose
// sign would show. Jumps are renumbered over the shorter list.
void fuse_products(std::vector<tape_op> &ops, std::vector<std::vector<int>> const &points,
                   std::vector<int> const &outputs, int results) {
    std::vector<int> reads(static_cast<std::size_t>(results), 0);
    std::vector<bool> landed(ops.size() + 1, false);
    auto const read = [&](int slot) {
        if (is_result(slot)) ++reads[static_cast<std::size_t>(slot / 4)];
    };
    for (tape_op &op : ops) {
        for_each_slot(op, [&](int &slot, bool result) {
            if (!result) read(slot);
        });
        if (is_jump(op.code)) landed[static_cast<std::size_t>(op.b)] = true;
    }
    for (std::vector<int> const &p : points)
        for (int slot : p) read(slot);
    for (int slot : outputs) read(slot);
    auto const fusable = [&](tape_op const &product, tape_op const &sum, std::size_t i) {
        bool const plus =
            sum.code == tape_code::add_k || (sum.code == tape_code::sub_k && !std::isnan(sum.k));
        return product.code == tape_code::mul && plus && sum.a == product.out &&
               is_result(product.out) && reads[static_cast<std::size_t>(product.out / 4)] == 1 &&
               !landed[i + 1];
    };
    std::vector<int> index_of(ops.size() + 1);
    std::vector<tape_op> fused;
    for (std::size_t i = 0; i < ops.size(); ++i) {
        index_of[i] = static_cast<int>(fused.size());
        fused.push_back(ops[i]);
        if (i + 1 >= ops.size() || !fusable(ops[i], ops[i + 1], i)) continue;
        tape_op const &sum = ops[++i];
        index_of[i] = index_of[i - 1];
        fused.back().code = tape_code::mul_add_k;
        fused.back().k = sum.code == tape_code::add_k ? sum.k : -sum.k;
        fused.back().out = sum.out;
    }
    index_of[ops.size()] = static_cast<int>(fused.size());
    for (tape_op &op : fused)
        if (is_jump(op.code)) op.b = index_of[static_cast<std::size_t>(op.b)];
    ops = std::move(fused);
}
}  // namespace

std::unique_ptr<eval_tape> tape_builder::finish(tape_values const &out) {
    for (tape_op &op : ops_) fold_constant_operand(op, constants_);
    std::vector<int> outs(out.slots.begin(), out.slots.end());
    fuse_products(ops_, points_, outs, results_);
    // Constants still read from slots, numbered in order of their first appearance.
    std::vector<int> constant_index(constants_.size(), -1);
    auto tape = std::make_unique<eval_tape>();
    auto const note = [&](int &slot) {
        if (!is_constant(slot)) return;
        int &index = constant_index[static_cast<std::size_t>(slot / 4)];
        if (index < 0) {
            index = static_cast<int>(tape->constants_.size());
            tape->constants_.push_back(constants_[static_cast<std::size_t>(slot / 4)]);
        }
    };
    for (tape_op &op : ops_) for_each_slot(op, [&](int &slot, bool) { note(slot); });
    for (std::vector<int> &p : points_)
        for (int &slot : p) note(slot);
    for (int &slot : outs) note(slot);

    int registers = 0;
    std::vector<int> const reg = share_registers(ops_, points_, outs, results_, registers);
    int const nc = static_cast<int>(tape->constants_.size());
    int const ni = static_cast<int>(input_indices_.size());
    auto const place = [&](int &slot) {
        int const n = slot / 4;
        switch (slot % 4) {
            case constant_slot:
                slot = constant_index[static_cast<std::size_t>(n)];
                break;
            case input_slot:
                slot = nc + n;
                break;
            default:
                slot = nc + ni + reg[static_cast<std::size_t>(n)];
        }
    };
    for (int i = 0; i < ni; ++i)
        tape->inputs_.push_back({nc + i, input_indices_[static_cast<std::size_t>(i)]});
    for (tape_op &op : ops_) for_each_slot(op, [&](int &slot, bool) { place(slot); });
    for (std::vector<int> &p : points_)
        for (int &slot : p) place(slot);
    for (int &slot : outs) place(slot);
    tape->ops_ = std::move(ops_);
    tape->points_ = std::move(points_);
    tape->outputs_ = std::move(outs);
    tape->slot_count_ = nc + ni + registers;
    tape->branches_ = std::any_of(tape->ops_.begin(), tape->ops_.end(),
                                  [](tape_op const &op) { return is_jump(op.code); });
    tape->jit_ = tape_jit::compile(*tape);
    if (tape->jit_) tape->jitted_ = tape->jit_->entry();
    return tape;
}

// ---------------------------------------------------------------- the law's side

namespace {
// Outside evaluations before a law compiles its tape; and the mark of a law that has tried.
constexpr std::uint16_t tape_threshold = 16;
constexpr std::uint16_t tape_tried = 0xffff;

// A law that cannot be compiled is evaluated as before, whatever stopped the compiler.
std::unique_ptr<eval_tape> compile_quietly(law const *l) {
    try {
        return tape_builder::compile(l);
    } catch (std::exception const &) {
        return nullptr;
    }
}
}  // namespace

tape_values law::emit_tape(tape_builder &b, tape_point const &at) const {
    return b.call_law(this, at);
}

bool law::compiled_formula(tape_formula &) const { return false; }

eval_tape const *law::tape_now() const {
    if (eval_tape const *t = tape_.load(std::memory_order_acquire)) return t;
    if (outside_calls_.exchange(tape_tried, std::memory_order_relaxed) == tape_tried)
        return nullptr;
    if (std::unique_ptr<eval_tape> built = compile_quietly(this)) {
        eval_tape const *expected = nullptr;
        if (tape_.compare_exchange_strong(expected, built.get(), std::memory_order_acq_rel))
            built.release();
    }
    return tape_.load(std::memory_order_acquire);
}

void law::evaluate_by_tape(double const *x, double *y) const {
    // A domain test of a deep tree holds the values of its laws: no tape per level.
    if (height_ >= deep_law_height && in_domain_scope::held_value(this, x, y)) return;
    std::uint16_t const calls = outside_calls_.load(std::memory_order_relaxed);
    // A deep law compiles at once: walking its tree would take a stack as deep as the tree.
    if (calls < tape_threshold && height_ < deep_law_height) {
        outside_calls_.store(calls + 1, std::memory_order_relaxed);
    } else if (calls != tape_tried) {
        if (eval_tape const *t = tape_now()) return t->run_for(this, x, y);
    }
    evaluate_walking(x, y);
}

void law::evaluate_walking(double const *x, double *y) const {
    struct walking {
        law const *const before = tape_walker;
        explicit walking(law const *l) { tape_walker = l; }
        ~walking() { tape_walker = before; }
    } const walk(this);
    evaluate(x, y);
}
