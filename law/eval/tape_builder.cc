// The compiler of tapes: the walk over a law's tree, the sharing of what the tree shares, and the
// finishing passes (constants into operations, products into sums, values into few slots).
#include <law/eval/tape_builder.h>

#include <algorithm>
#include <bit>
#include <exception>

#include <law/core/constant_law.h>

namespace {
// Sub-trees deeper than this are called, not compiled: they compile into tapes of their own, so
// that compiling never recurses far.
constexpr int max_compile_depth = 500;

// Provisional slot numbers carry their kind in the low bits until the layout is known.
enum slot_kind : int { constant_slot = 0, input_slot = 1, result_slot = 2 };
constexpr int provisional(int n, slot_kind kind) { return n * 4 + kind; }
bool is_constant(int slot) { return slot % 4 == constant_slot; }

// The number of values l gives, or -1 when it cannot tell.
int values_given(law const *l) {
    try {
        return l->return_dim();
    } catch (vorn_exception const &) {
        return -1;
    }
}

}  // namespace

std::unique_ptr<eval_tape> tape_builder::compile(law const *root) {
    tape_builder b(root);
    tape_values const out = b.values_of(root, b.root_point_);
    // A tape writes as many values as its law gives, no more: a law of no values (a composite
    // over VEC()), or of a number that varies, is walked, whatever its members compiled to.
    if (b.refused_ || out.slots.empty() || static_cast<int>(out.slots.size()) != values_given(root))
        return nullptr;
    return b.finish(out);
}

tape_values tape_builder::values_of(law const *l, tape_point const &at) {
    if (tape_values const *v = found(l, at)) return *v;
    side_operation f;
    if (l->compiles_as_operation(f)) return side_operation_values(l, f, at);
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
    if (constant_law const *c = law_cast<constant_law>(l)) {
        double value = 0;
        c->evaluate(nullptr, &value);  // a named constant may compute its value
        v = {{constant(value)}};
    } else if (identity_law const *i = law_cast<identity_law>(l)) {
        v = {{input(at, i->index())}};
    } else if (depth_ < max_compile_depth) {
        struct nesting {
            int &depth;
            explicit nesting(int &d) : depth(++d) {}
            ~nesting() { --depth; }
        } const nest(depth_);
        v = l->emit_tape(*this, at);
    } else {
        // Too deep to compile here: called, and shared like a compiled law when made of the
        // library's own classes alone (a trusted hash), whose values depend on the point alone.
        // Otherwise every use of a shared law below the depth calls it again, and the laws
        // above it, which hold that call, are compiled again at each use: a nesting of 10,000
        // shared levels compiled in time that grew with the square of its depth.
        v = call_law(l, at);
        v.pure = !(l->structure_hash() & 1);
    }
    if (v.slots.empty()) {
        // A law of no values (VEC()) has no slot to hand on: its value at an operation above it
        // is the zero its caller's buffer held, which the walk keeps and a slot would not.
        if (values_given(l) == 0) refuse();
        v = call_law(l, at);
    }
    remember(l, at, v);
    return v;
}

tape_values tape_builder::side_operation_values(law const *l, side_operation const &f,
                                                tape_point const &at) {
    struct frame {
        law const *l;
        side_operation f;
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
            side_operation sf;
            if (tape_values const *known = found(side, at)) {
                slot = first(*known);
                pure = known->pure;
            } else if (side->compiles_as_operation(sf)) {
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

bool tape_builder::plain_since(scope mark, std::size_t most) const {
    if (ops_.size() - mark.emitted > most) return false;
    return std::all_of(ops_.begin() + static_cast<std::ptrdiff_t>(mark.emitted), ops_.end(),
                       [](tape_op const &op) {
                           tape_code_facts const &facts = facts_of(op.code);
                           return facts.kind == tape_kind::value &&
                                  facts.check == tape_check::none && !calls_function(op.code);
                       });
}

void tape_builder::undo(scope mark) {
    forget(mark);
    ops_.resize(mark.emitted);
}

namespace {
// The value of an operation over constant operands a and b, as the tape computes it; false when
// its check would give the point back. Only operations that compute a value fold.
bool scalar_result(tape_op const &op, double a, double b, double &y) {
    double const k = op.k;
    switch (op.code) {
#define TAPE_FOLD_value(operands, value, check, checked)       \
    if (fails_check(tape_check::check, checked)) return false; \
    y = value;                                                 \
    return true;
#define TAPE_FOLD_jump(operands, value, check, checked) return false;
#define TAPE_FOLD_copy(operands, value, check, checked) return false;
#define TAPE_FOLD_call(operands, value, check, checked) return false;
#define TAPE_RUNNER TAPE_FOLD_
#include <law/eval/tape_cases.inc>
#undef TAPE_FOLD_call
#undef TAPE_FOLD_copy
#undef TAPE_FOLD_jump
#undef TAPE_FOLD_value
    }
    return false;
}
}  // namespace

bool tape_builder::folded(op_key const &key, tape_fn1 f1, tape_fn2 f2, double &value) const {
    bool const one = facts_of(key.code).operands == tape_operands::a;
    if (!is_constant(key.a) || (!one && !is_constant(key.b))) return false;
    tape_op op{};
    op.code = key.code;
    if (f1) op.f1 = f1;
    if (f2) op.f2 = f2;
    double const a = constants_[static_cast<std::size_t>(key.a / 4)];
    double const b = one ? 0 : constants_[static_cast<std::size_t>(key.b / 4)];
    // A constant that fails stays an operation, so that the error comes when it is evaluated.
    try {
        return scalar_result(op, a, b, value);
    } catch (vorn_exception const &) {
        return false;
    }
}

int tape_builder::made_once(op_key key, tape_fn1 f1, tape_fn2 f2) {
    if (double value = 0; folded(key, f1, f2, value)) return constant(value);
    // A code whose constant takes the same form on either side does not depend on the order of
    // its operands.
    tape_code_facts const &facts = facts_of(key.code);
    bool const symmetric = facts.right_k == facts.left_k && facts.right_k != key.code;
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

bool tape_builder::constant_at(int slot, double &value) const {
    if (!is_constant(slot)) return false;
    value = constants_[static_cast<std::size_t>(slot / 4)];
    return true;
}

int tape_builder::power(tape_fn2 f, int a, int b) {
    return made_once({tape_code::power, a, b, reinterpret_cast<std::uintptr_t>(f)}, nullptr, f);
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

// An operation with one constant operand takes its value in the operation itself, in the form
// its row gives for a constant on that side. A code that takes none stays as it is.
void fold_constant_operand(tape_op &op, std::vector<double> const &constants) {
    bool const ka = is_constant(op.a), kb = is_constant(op.b);
    tape_code_facts const &facts = facts_of(op.code);
    if (ka == kb || facts.kind != tape_kind::value || facts.operands != tape_operands::ab) return;
    tape_code const code = kb ? facts.right_k : facts.left_k;
    if (code == op.code) return;
    op.code = code;
    op.k = constants[static_cast<std::size_t>((kb ? op.b : op.a) / 4)];
    op.a = kb ? op.a : op.b;
    op.b = 0;
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
    tape->pair_sines();
    tape->compile_machine_code(root_);
    return tape;
}

namespace {
law_code *compile_law(law const *l) { return tape_builder::compile(l).release(); }
[[maybe_unused]] bool const compiler_installed = (engine().compile = compile_law, true);

int operation_sides(law const *l, law const *sides[2]) {
    side_operation f;
    if (!l->compiles_as_operation(f)) return 0;
    sides[0] = f.sides[0];
    sides[1] = f.sides[1];
    return f.count;
}
[[maybe_unused]] bool const sides_installed = (engine().operation_sides = operation_sides, true);
}  // namespace
