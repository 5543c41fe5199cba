#pragma once
// How laws compile themselves into a tape. The operator and function laws emit their formula
// over the compiled values of their sides (emit_tape, compiles_as_operation); any other law becomes
// one call of its own evaluate. A law builds its tape after a few evaluations from outside the
// library's own tree walks, so that laws evaluated once or twice (as the simplifier does with
// its sub-trees) never pay for one.
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include <law/core/law.h>
#include <law/core/law_engine.h>
#include <law/eval/eval_tape.h>

// A law that compiles into one operation over the first values of at most two sides: the sides
// in the order its evaluate takes them, and how the operation is emitted over their slots.
struct side_operation {
    // The operation's result from the slots of the left (or only) side and the right side.
    using emit_fn = int (*)(tape_builder &b, law const *self, int left, int right);
    law const *sides[2] = {nullptr, nullptr};
    int count = 0;
    bool right_first = false;  // sides[0] is the right side
    emit_fn emit = nullptr;
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
    // Whether the slot holds a constant, and its value.
    bool constant_at(int slot, double &value) const;
    // An operation whose operands are all constants gives a constant, computed now when that
    // cannot fail.
    int input(tape_point const &at, int index);
    int op(tape_code code, int a, int b = 0);
    int call1(tape_fn1 f, int a);
    int call2(tape_fn2 f, int a, int b);
    // A power function f of a base a and a short constant exponent b, whose value is pow's
    // wherever pow's is known without pow (law/eval/pow_shortcuts.h).
    int power(tape_fn2 f, int a, int b);

    // Branches. A value written by several branches is reserved first and written by copy_to;
    // a jump is made with its target open and landed where the code goes on. Values compiled
    // after `mark` and before `forget(mark)` are not reused after it (that code may not run).
    int reserve_value() { return new_value(); }
    void copy_to(int target, int source);
    int jump(tape_code code, int condition = 0);
    void land(int jump_op);
    struct scope {
        std::size_t laws = 0, ops = 0, emitted = 0;
    };
    scope mark() const { return {memo_log_.size(), op_log_.size(), ops_.size()}; }
    void forget(scope mark);
    // Whether the operations emitted since `mark` are at most `most` operations that compute a
    // value, check nothing and call nothing: running them where the law would not is harmless.
    bool plain_since(scope mark, std::size_t most) const;
    // Takes back what was compiled since `mark`, as if it had not been.
    void undo(scope mark);
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
    // A chain of laws that compile by compiles_as_operation, walked with a stack of its own.
    tape_values side_operation_values(law const *l, side_operation const &f, tape_point const &at);
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
