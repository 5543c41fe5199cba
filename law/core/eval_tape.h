#pragma once
// A law tree compiled into a flat list of operations over one array of values, for laws that are
// evaluated many times: no virtual call per node, no pointer chasing, and a sub-tree that the
// tree shares computed once. The operator and function laws compile themselves (emit_tape); any
// other law becomes one call of its own evaluate. A law builds its tape after a few evaluations
// from outside the library's own tree walks, so that laws evaluated once or twice (as the
// simplifier does with its sub-trees) never pay for one.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <memory>
#include <typeinfo>
#include <unordered_map>
#include <utility>
#include <vector>

#include <law/base/tolerance.h>
#include <law/core/law.h>
#include <law/core/small_list.h>
#include <law/core/tape_jit.h>

// The point a law is compiled at: the slots that hold its input values. The point of the law
// being compiled is its caller's x (id 0); a composition makes points of its inner values.
struct tape_point {
    int id = 0;
    std::vector<int> slots;
};

// The slots of the values a compiled law gives, and whether they depend on the point alone (no
// call of a law of unknown behaviour inside), in which case every use of the law may share them.
struct tape_values {
    small_list<int, 3> slots;
    bool pure = true;
};

enum class tape_code : std::uint8_t {
#define TAPE_OP(code, ...) code,
#include <law/core/tape_ops.def>
#undef TAPE_OP
};

// What the rows of tape_ops.def say of each code, as values.
enum class tape_kind : std::uint8_t { value, jump, copy, call };
enum class tape_operands : std::uint8_t { ab, a, none };
enum class tape_check : std::uint8_t { none, near_zero, below_root };
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
#include <law/core/tape_ops.def>
#undef TAPE_OP
};
constexpr tape_code_facts const &facts_of(tape_code code) {
    return tape_facts[static_cast<std::size_t>(code)];
}

// Whether a check keeps the value x from its operation: the point goes back to the law.
inline bool fails_check(tape_check check, double x) {
    switch (check) {
        case tape_check::near_zero:
            return std::fabs(x) < resmch;
        case tape_check::below_root:
            return x <= -resmch;
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

// How a law that compiles into one operation over at most two scalar sides is compiled: the
// sides in the order its evaluate takes them, and the operation over their slots.
struct tape_formula {
    // The operation's result from the slots of the left (or only) side and the right side.
    using emit_fn = int (*)(tape_builder &b, law const *self, int left, int right);
    law const *sides[2] = {nullptr, nullptr};
    int count = 0;
    bool right_first = false;  // sides[0] is the right side
    emit_fn emit = nullptr;
};

// The square root law's value: 0 just below 0, LAW_SQRT further down.
inline double tape_sqrt(double a) {
    if (a <= -resmch) law_error(LAW_SQRT);
    return a < 0 ? 0 : std::sqrt(a);
}

// One step of a maximum and of a minimum over values in turn: the later value v wins only when it
// is strictly beyond the best so far.
inline double tape_larger(double best, double v) { return (v - best) > 0 ? v : best; }
inline double tape_smaller(double best, double v) { return -(v - best) > 0 ? v : best; }

class eval_tape {
  public:
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
    // Runs every operation over the m points of a block. rare[k] is set for a point that needs
    // its own evaluation (a division whose divisor is near zero, which fails or takes the
    // L'Hopital rule; a square root below 0); other points' values are final. point(k) gives
    // point k for the laws the tape calls. Other errors are raised as they happen.
    void run_block(double *const *rows, int m, unsigned char *rare,
                   double const *(*point)(void const *, int), void const *points) const;

    // Evaluates at x into y; false when a rare case (0/0) needs the law's own evaluation. The
    // machine code of the tape runs when there is one; it may also give false where the
    // interpreter raises an error, which the law's own evaluation then raises.
    bool run(double const *x, double *y) const {
        return jitted_ ? jitted_(nullptr, x, y) : interpret(x, y);
    }
    // The same through the interpreter, whatever the machine.
    bool interpret(double const *x, double *y) const;
    bool jitted() const { return jitted_ != nullptr; }
    // The same for the law that owns the tape, which takes the rare cases. The machine code
    // hands them to give_back itself, so that the call of the code is the caller's last step.
    void run_for(law const *owner, double const *x, double *y) const {
        if (jitted_) return (void)jitted_(owner, x, y);
        interpret_for(owner, x, y);
    }
    // Out of line, so that a law's evaluate saves no registers on its way to the machine code.
    void interpret_for(law const *owner, double const *x, double *y) const;
    static void give_back(law const *owner, double const *x, double *y) {
        owner->evaluate_walking(x, y);
    }

  private:
    friend class tape_builder;
    friend class tape_jit;
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
    [[gnu::noinline]] bool run_large(double const *x, double *y) const;
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
    std::unique_ptr<tape_jit> jit_;
    tape_jit::entry_fn jitted_ = nullptr;
};

class tape_builder {
  public:
    // The tape of root, or null when compiling it gains nothing or is not safe.
    static std::unique_ptr<eval_tape> compile(law const *root);

    // The values of l at the point, compiled once for each pure law and point.
    tape_values values_of(law const *l, tape_point const &at);
    // A point of the given slots (a composition's inner values).
    tape_point point(std::vector<int> slots);

    int constant(double value);
    // An operation whose operands are all constants gives a constant, computed now when that
    // cannot fail.
    int input(tape_point const &at, int index);
    int op(tape_code code, int a, int b = 0);
    int call1(tape_fn1 f, int a);
    int call2(tape_fn2 f, int a, int b);

    // Branches. A value written by several branches is reserved first and written by copy_to;
    // a jump is made with its target open and landed where the code goes on. Values compiled
    // after `mark` and before `forget(mark)` are not reused after it (that code may not run).
    int reserve_value() { return new_value(); }
    void copy_to(int target, int source);
    int jump(tape_code code, int condition = 0);
    void land(int jump_op);
    struct scope {
        std::size_t laws = 0, ops = 0;
    };
    scope mark() const { return {memo_log_.size(), op_log_.size()}; }
    void forget(scope mark);
    // l's own evaluate at the point: what every law that does not compile itself becomes.
    tape_values call_law(law const *l, tape_point const &at);
    // The first of the values, as first_value takes it (0 when there are none).
    int first(tape_values const &v) { return v.slots.empty() ? constant(0) : v.slots[0]; }
    // Compiling cannot go on: the law would call itself, or read past its point.
    void refuse() { refused_ = true; }

  private:
    explicit tape_builder(law const *root) : root_(root) {}
    int new_value();
    tape_op &push(tape_code code, int a, int b, bool new_out = true);
    // A chain of laws that compile by compiled_formula, walked with a stack of its own.
    tape_values formula_values(law const *l, tape_formula const &f, tape_point const &at);
    // A law compiled by its emit_tape, with the depth of that recursion bounded.
    tape_values emitted_values(law const *l, tape_point const &at);
    tape_values const *found(law const *l, tape_point const &at) const;
    void remember(law const *l, tape_point const &at, tape_values const &v);

    std::unique_ptr<eval_tape> finish(tape_values const &out);

    law const *root_;
    tape_point root_point_;
    int depth_ = 0;
    int next_point_ = 1;
    bool refused_ = false;
    // Provisional numbering: constants, inputs and results each count from 0 and are laid out
    // in that order when the tape is finished.
    std::vector<double> constants_;
    std::vector<int> input_of_index_;  // provisional input number per input index, or -1
    std::vector<int> input_indices_;
    int results_ = 0;
    std::vector<tape_op> ops_;
    std::vector<std::vector<int>> points_;
    struct law_at_point {
        law const *l;
        int point;
        bool operator==(law_at_point const &o) const { return l == o.l && point == o.point; }
    };
    struct law_at_point_hash {
        std::size_t operator()(law_at_point const &k) const {
            return std::hash<law const *>()(k.l) ^ (static_cast<std::size_t>(k.point) << 1);
        }
    };
    // The same operation on the same values gives the same value: each is made once.
    struct op_key {
        tape_code code;
        int a, b;
        std::uintptr_t fn;
        bool operator==(op_key const &) const = default;
    };
    struct op_key_hash {
        std::size_t operator()(op_key const &k) const {
            std::size_t h = static_cast<std::size_t>(k.code);
            for (std::size_t part : {static_cast<std::size_t>(k.a), static_cast<std::size_t>(k.b),
                                     static_cast<std::size_t>(k.fn)})
                h = h * 1000003u ^ part;
            return h;
        }
    };
    int made_once(op_key key, tape_fn1 f1, tape_fn2 f2);
    // The constant that an operation over constant operands gives; false when it may fail.
    bool folded(op_key const &key, tape_fn1 f1, tape_fn2 f2, double &value) const;
    std::unordered_map<op_key, int, op_key_hash> same_ops_;
    std::vector<op_key> op_log_;
    std::unordered_map<std::uint64_t, int> constant_of_bits_;
    std::unordered_map<int, int> point_of_id_;
    std::unordered_map<law_at_point, tape_values, law_at_point_hash> done_;
    std::vector<law_at_point> memo_log_;
};

// The law that is walking its tree on this thread (null when none), so that its sub-laws do not
// count those calls towards a tape of their own.
extern constinit thread_local law const *tape_walker [[gnu::tls_model("initial-exec")]];

// From this height on a law never walks its tree: it compiles at its first evaluation.
inline constexpr std::uint32_t deep_law_height = 256;

inline bool law::taped_evaluate(double const *x, double *y) const {
    law const *const walker = tape_walker;
    if (walker == this) return false;  // the tape gave this point back to the law
    if (eval_tape const *t = tape_.load(std::memory_order_acquire)) [[likely]] {
        t->run_for(this, x, y);
        return true;
    }
    // Deep sub-laws of a walk take their tapes too: the walk then goes one step down, not the
    // depth of the tree.
    if (walker && height_ < deep_law_height) return false;
    evaluate_by_tape(x, y);
    return true;
}
