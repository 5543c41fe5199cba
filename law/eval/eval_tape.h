#pragma once
// A law tree compiled into a flat list of operations over one array of values, for laws that are
// evaluated many times: no virtual call per node, no pointer chasing, and a sub-tree that the
// tree shares computed once. The operations are the rows of tape_ops.def. A tape runs a point
// through its machine code or its interpreter, and a block of points through its block runner.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include <law/base/tolerance.h>
#include <law/core/law.h>
#include <law/core/law_engine.h>
#include <law/eval/pow_shortcuts.h>
#include <law/eval/tape_jit.h>

enum class tape_code : std::uint8_t {
#define TAPE_OP(code, ...) code,
#include <law/eval/tape_ops.def>
#undef TAPE_OP
};

// What the rows of tape_ops.def say of each code, as values.
enum class tape_kind : std::uint8_t { value, jump, copy, call };
enum class tape_operands : std::uint8_t { ab, a, none };
enum class tape_check : std::uint8_t { none, near_zero, below_root, negative };
enum class tape_operand : std::uint8_t { a, b, k };
struct tape_code_facts {
    tape_kind kind;
    tape_operands operands;
    tape_code right_k, left_k;
    tape_check check;
    tape_operand checked;
};
inline constexpr tape_code_facts tape_facts[] = {
#define TAPE_OP(code, kind, operands, right_k, left_k, value, check, checked, machine) \
    {tape_kind::kind,   tape_operands::operands, tape_code::right_k,                   \
     tape_code::left_k, tape_check::check,       tape_operand::checked},
#include <law/eval/tape_ops.def>
#undef TAPE_OP
};
constexpr tape_code_facts const &facts_of(tape_code code) {
    return tape_facts[static_cast<std::size_t>(code)];
}

// Whether an operation calls a function (one that may raise), as its machine code says.
inline constexpr bool tape_code_calls[] = {
#define INSTRUCTION(...) false
#define INSTRUCTION_PLUS_K(...) false
#define COMPARISON(...) false
#define CODED(...) false
#define CALL(...) true
#define CALL_OF_TWO(...) true
#define NO_MACHINE_CODE true
#define TAPE_OP(code, kind, operands, right_k, left_k, value, check, checked, machine) machine,
#include <law/eval/tape_ops.def>
#undef TAPE_OP
#undef NO_MACHINE_CODE
#undef CALL_OF_TWO
#undef CALL
#undef CODED
#undef COMPARISON
#undef INSTRUCTION_PLUS_K
#undef INSTRUCTION
};
constexpr bool calls_function(tape_code code) {
    return tape_code_calls[static_cast<std::size_t>(code)];
}

// Whether a check keeps the value x from its operation: the point goes back to the law.
inline bool fails_check(tape_check check, double x) {
    switch (check) {
        case tape_check::near_zero:
            return std::fabs(x) < resmch;
        case tape_check::below_root:
            return x <= -resmch;
        case tape_check::negative:
            return x < 0;
        default:
            return false;
    }
}

using tape_fn1 = double (*)(double);
using tape_fn2 = double (*)(double, double);

struct tape_op {
    tape_code code;
    int out;
    int a;  // first operand slot; for call_law the point (-1 for the caller's x)
    int b;  // second operand slot; for call_law the number of values
    union {
        tape_fn1 f1;
        tape_fn2 f2;
        law const *callee;
    };
    double k;
};

inline bool is_jump(tape_code code) { return facts_of(code).kind == tape_kind::jump; }

// Calls f(slot, is_result) on each slot field of op (a tape_op, const or not): its result and
// its operands.
template <class Op, class F>
void for_each_slot(Op &op, F f) {
    tape_code_facts const &facts = facts_of(op.code);
    if (facts.kind != tape_kind::jump) f(op.out, true);
    if (facts.kind == tape_kind::call || facts.operands == tape_operands::none) return;
    f(op.a, false);
    if (facts.operands == tape_operands::ab) f(op.b, false);
}

// The square root law's value: 0 just below 0, LAW_SQRT further down.
inline double tape_sqrt(double a) {
    if (a <= -resmch) law_error(LAW_SQRT);
    return a < 0 ? 0 : std::sqrt(a);
}

// One step of a maximum and of a minimum over values in turn: the later value v wins only when it
// is strictly beyond the best so far.
inline double tape_larger(double best, double v) { return (v - best) > 0 ? v : best; }
inline double tape_smaller(double best, double v) { return -(v - best) > 0 ? v : best; }

class eval_tape final : public law_code {
  public:
    eval_tape() : law_code(&interpreted) {}

    // ---- Many points: the operations run over a block of points at a time; rows[s][k] is the
    // value of slot s at point k of the block.
    int slot_count() const { return slot_count_; }
    // Fills the rows of the constants over w points (nothing else writes them).
    void fill_constants(double *const *rows, int w) const {
        for (std::size_t c = 0; c < constants_.size(); ++c)
            std::fill(rows[c], rows[c] + w, constants_[c]);
    }
    // f(slot, i) for the slot of each input i that the tape reads.
    template <class F>
    void each_input(F f) const {
        for (eval_tape::input const &in : inputs_) f(in.slot, in.index);
    }
    int output_count() const { return static_cast<int>(outputs_.size()); }
    int output_slot(int j) const { return outputs_[static_cast<std::size_t>(j)]; }
    // Whether only the operations write value j's slot, and no other value is there: its row
    // may then be where the caller wants the value (it holds other values on the way).
    bool output_row_is_own(int j) const;
    // Runs every operation over the m points of a block. rare[k] is set for a point that an
    // operation's check keeps from it (a divisor near zero, a square root below 0), which needs
    // its own evaluation; other points' values are final. point(k) gives point k for the laws
    // the tape calls. Other errors are raised as they happen.
    void run_block(double *const *rows, int m, unsigned char *rare,
                   double const *(*point)(void const *, int), void const *points) const;

    // ---- One point.
    // Evaluates at x into y; false when an operation's check keeps the point from the tape, or
    // a function the tape calls raises (the machine code), for the law's own evaluation. The
    // machine code of the tape runs when there is one.
    bool run(double const *x, double *y) const { return entry_(nullptr, x, y, this); }
    // The same through the interpreter, whatever the machine; a function that raises raises.
    bool interpret(double const *x, double *y) const;
    bool jitted() const { return static_cast<bool>(jit_); }

    // A sine and a cosine of one value, with nothing written to that value between them, are a
    // pair that one sincos computes (sincos gives the bits of sin and cos): for each operation of
    // a pair, the other one, and the buffer that carries the second's values over a block from
    // the first (pairs that overlap take different ones).
    struct sine_pair {
        int partner = -1;
        int buffer = -1;
    };

  private:
    friend class tape_builder;
    friend class tape_jit;
    // The entry of a tape without machine code.
    static bool interpreted(law const *owner, double const *x, double *y, law_code const *code);
    // Tapes of up to this many values run on the stack.
    static constexpr int small_run = 128;
    bool run_in(double *v, double const *x, double *y) const;
    void evaluate_callee(tape_op const &op, double *v, double const *x) const;
    // Which points of a block run operation `here`: those whose on_at is not beyond it (all
    // when on_at is null).
    struct block_path {
        double const *on_at;
        double here;
    };
    void call_on_block(tape_op const &op, double *const *rows, int m, block_path path,
                       double const *(*point)(void const *, int), void const *points) const;
    // Operation i of a pair over a block: the first computes both, the second takes its values
    // from the buffer (buffers holds pair_buffers_ rows of m values).
    void pair_on_block(std::size_t i, double *const *rows, int m, double *buffers) const;
    // Finds the pairs of the finished operations.
    void pair_sines();
    [[gnu::noinline]] bool run_large(double const *x, double *y) const;
    // Compiles the machine code of the finished tape, which then runs in place of the
    // interpreter, when this machine and the tape allow it; `named` is the law compiled.
    void compile_machine_code(law const *named);
    struct input {
        int slot, index;
    };
    std::vector<double> constants_;  // the values of slots 0 .. constants_.size() - 1
    std::vector<input> inputs_;
    std::vector<tape_op> ops_;
    std::vector<std::vector<int>> points_;  // point slots of call_law operations
    std::vector<int> outputs_;
    int slot_count_ = 0;
    bool branches_ = false;
    std::vector<sine_pair> pairs_;  // one for each operation, or none when the tape has no pair
    int pair_buffers_ = 0;
    tape_jit jit_;
};
