#include <law/eval/tape_jit.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <limits>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include <law/eval/eval_tape.h>

#if defined(__x86_64__) && defined(__linux__)
#include <law/eval/perf_map.h>
#include <law/eval/x86_emitter.h>
#define LAW_TAPE_JIT 1
#endif

#ifdef LAW_TAPE_JIT
namespace {

using x86::condition;
using x86::operand;
using x86::predicate;
using x86::sse;

// Registers: xmm0 to xmm3 for the steps of one operation (and the arguments and value of a
// call), the tape's values in the others; values beyond those live in the stack frame.
constexpr int s0 = 0, s1 = 1, s2 = 2;
constexpr int first_value_xmm = 4, value_xmms = 12;
// Tapes beyond these sizes stay with the interpreter: code and stack frame stay small.
constexpr std::size_t max_ops = 20000;
constexpr int max_frame_values = 1024;

// A called function that raises cannot unwind through the generated code, which has no unwind
// tables: the call goes through these, and the code gives the point back to the law.
double guarded_call1(double a, tape_fn1 f, bool *failed) noexcept {
    try {
        return f(a);
    } catch (...) {
        *failed = true;
        return 0;
    }
}
double guarded_call2(double a, double b, tape_fn2 f, bool *failed) noexcept {
    try {
        return f(a, b);
    } catch (...) {
        *failed = true;
        return 0;
    }
}

// Functions of the C library raise nothing: the code calls them straight, not through the guard.
bool never_raises(tape_fn1 f) {
    for (tape_fn1 g : {&::sin, &::cos, &::tan, &::exp, &::atan, &::sinh, &::cosh, &::tanh})
        if (f == g) return true;
    return false;
}

// The sine and the cosine of one value, as a tape that takes both needs them: the first computes
// the pair (sincos gives the bits of sin and cos) and the second reads its half back from this
// thread's last pair, when that pair was computed for the same bits of the argument.
struct sine_pair {
    std::uint64_t argument;
    double sin, cos;
};
constinit thread_local sine_pair last_pair = {0, 0.0, 1.0};

template <bool sine_first>
double pair_then_first(double a) noexcept {
    sine_pair &p = last_pair;
    ::sincos(a, &p.sin, &p.cos);
    p.argument = std::bit_cast<std::uint64_t>(a);
    return sine_first ? p.sin : p.cos;
}
template <bool sine>
double second_of_pair(double a) noexcept {
    sine_pair const &p = last_pair;
    if (p.argument == std::bit_cast<std::uint64_t>(a)) return sine ? p.sin : p.cos;
    return sine ? std::sin(a) : std::cos(a);
}

// For each operation, the function the code calls straight, without the guard (null for the
// others): a function of the C library, or half of a pair. The pair reads its argument's bits, so
// a path that skips the first only costs the second its saving.
std::vector<tape_fn1> unguarded_calls(std::vector<tape_op> const &ops,
                                      std::vector<eval_tape::sine_pair> const &pairs) {
    std::vector<tape_fn1> called(ops.size(), nullptr);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (pairs[i].partner < 0) continue;
        bool const sine = ops[i].f1 == static_cast<tape_fn1>(&::sin);
        bool const first = static_cast<std::size_t>(pairs[i].partner) > i;
        called[i] = first ? (sine ? &pair_then_first<true> : &pair_then_first<false>)
                          : (sine ? &second_of_pair<true> : &second_of_pair<false>);
    }
    for (std::size_t i = 0; i < ops.size(); ++i) {
        if (!called[i] && ops[i].code == tape_code::call1 && never_raises(ops[i].f1))
            called[i] = ops[i].f1;
        // Past their checks the powers raise nothing.
        if (ops[i].code == tape_code::pow_minus_one) called[i] = &reciprocal_as_pow;
        if (ops[i].code == tape_code::pow_half) called[i] = &root_as_pow;
    }
    return called;
}

// How each operation becomes machine code, from its row of tape_ops.def. An instruction's first
// operand is loaded into the result's register and the second is its source; a comparison's
// mask becomes 1 or 0. Operations whose check reads an operand first test it.
enum class coded : std::uint8_t {
    instruction,
    root,
    copy,
    call,
    jump,
    jump_if_zero,
    jump_unless_zero,
    none
};
enum class side : std::uint8_t { a, b, k, zero, sign_mask, abs_mask };
enum class then : std::uint8_t { nothing, to_one, plus_k };
constexpr predicate no_predicate = predicate::eq;
struct form {
    coded how;
    sse instruction = sse::movsd_load;
    predicate pred = no_predicate;
    side first = side::a, second = side::a;
    then after = then::nothing;
    bool two_arguments = false;  // of a call
};
constexpr form forms[] = {
#define INSTRUCTION(i, first, second) \
    form { coded::instruction, sse::i, no_predicate, side::first, side::second }
#define INSTRUCTION_PLUS_K(i, first, second) \
    form { coded::instruction, sse::i, no_predicate, side::first, side::second, then::plus_k }
#define COMPARISON(p, first, second) \
    form { coded::instruction, sse::cmpsd, predicate::p, side::first, side::second, then::to_one }
#define CALL(first) \
    form { coded::call, sse::movsd_load, no_predicate, side::first, side::first }
#define CALL_OF_TWO(first, second)                                                                 \
    form {                                                                                         \
        coded::call, sse::movsd_load, no_predicate, side::first, side::second, then::nothing, true \
    }
#define CODED(how) \
    form { coded::how }
#define NO_MACHINE_CODE \
    form { coded::none }
#define TAPE_OP(code, kind, operands, right_k, left_k, value, check, checked, machine) machine,
#include <law/eval/tape_ops.def>
#undef TAPE_OP
#undef NO_MACHINE_CODE
#undef CODED
#undef CALL_OF_TWO
#undef CALL
#undef COMPARISON
#undef INSTRUCTION_PLUS_K
#undef INSTRUCTION
};

form const &form_of(tape_code code) { return forms[static_cast<std::size_t>(code)]; }

// Whether an operation's code may give other bits than the interpreter when the vector unit
// flushes tiny values to zero: maxsd and minsd compare where the interpreter subtracts (a tiny
// difference flushed to 0 is not beyond 0), and give a tiny operand as 0 where the interpreter
// gives it as it is; a sine and cosine computed as a pair need not take the steps of the two
// alone. Every other instruction is the interpreter's own, in every mode and rounding.
bool differs_when_flushing(form const &f, tape_fn1 called_straight) {
    if (f.how == coded::instruction)
        return f.instruction == sse::maxsd || f.instruction == sse::minsd;
    for (tape_fn1 half : {&pair_then_first<true>, &pair_then_first<false>, &second_of_pair<true>,
                          &second_of_pair<false>})
        if (called_straight == half) return true;
    return false;
}

std::uint64_t bits_of(double v) { return std::bit_cast<std::uint64_t>(v); }

// The pool of 16-byte constants in front of the code: each double of the tape once, and the
// masks, whose both halves are set for the bitwise instructions.
class constant_pool {
  public:
    std::int32_t value(double v) { return entry(bits_of(v), 0); }
    std::int32_t mask(std::uint64_t bits) { return entry(bits, bits); }
    std::size_t bytes() const { return words_.size() * sizeof(std::uint64_t); }
    // An empty pool has no data() to copy from, and memcpy takes no null source even for 0 bytes.
    void copy_to(unsigned char *out) const {
        if (!words_.empty()) std::memcpy(out, words_.data(), bytes());
    }

  private:
    std::int32_t entry(std::uint64_t low, std::uint64_t high) {
        auto const [it, added] =
            offsets_.emplace(std::pair(low, high), static_cast<std::int32_t>(bytes()));
        if (added) words_.insert(words_.end(), {low, high});
        return it->second;
    }
    std::vector<std::uint64_t> words_;
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::int32_t> offsets_;
};

// Which of the values held in registers are still to be read after each operation; jumps only
// go forward, so one backward pass sees every path.
class register_liveness {
  public:
    template <class Register>
    register_liveness(std::vector<tape_op> const &ops, std::vector<int> const &outputs,
                      Register reg)
        : after_(ops.size()) {
        auto const bit = [&](int slot) {
            int const r = reg(slot);
            return r < 0 ? 0u : 1u << r;
        };
        std::vector<std::uint32_t> before(ops.size() + 1, 0);
        for (int slot : outputs) before[ops.size()] |= bit(slot);
        for (std::size_t i = ops.size(); i-- > 0;) {
            tape_op const &op = ops[i];
            std::uint32_t const target =
                is_jump(op.code) ? before[static_cast<std::size_t>(op.b)] : 0;
            bool const always = form_of(op.code).how == coded::jump;
            std::uint32_t live = always ? target : before[i + 1] | target;
            after_[i] = live;
            for_each_slot(op, [&](int const &slot, bool result) {
                if (result) live &= ~bit(slot);
            });
            for_each_slot(op, [&](int const &slot, bool result) {
                if (!result) live |= bit(slot);
            });
            before[i] = live;
        }
    }
    std::uint32_t after(std::size_t i) const { return after_[i]; }

  private:
    std::vector<std::uint32_t> after_;
};

bool jit_wanted() {
    static bool const wanted = [] {
        char const *v = std::getenv("LAW_TAPE_JIT");
        return !(v && std::strcmp(v, "0") == 0);
    }();
    return wanted;
}

}  // namespace

// Writes the code of one tape.
class tape_jit::coder {
  public:
    explicit coder(eval_tape const &t)
        : t_(t),
          nc_(static_cast<int>(t.constants_.size())),
          ni_(static_cast<int>(t.inputs_.size())),
          values_(t.slot_count_ - nc_ - ni_),
          unguarded_(unguarded_calls(t.ops_, t.pairs_)),
          landed_(t.ops_.size() + 1, false) {
        for (std::size_t i = 0; i < t.ops_.size(); ++i) {
            form const &f = form_of(t.ops_[i].code);
            if (is_jump(t.ops_[i].code)) landed_[static_cast<std::size_t>(t.ops_[i].b)] = true;
            has_calls_ |= f.how == coded::call;
            guarded_calls_ |= f.how == coded::call && !unguarded_[i];
            mode_sensitive_ |= differs_when_flushing(f, unguarded_[i]);
        }
        spilled_ = std::max(0, values_ - value_xmms);
        framed_ = has_calls_ || spilled_ > 0;
        save_at_ = 8 * spilled_;
        owner_at_ = save_at_ + 8 * value_xmms;
        flag_at_ = owner_at_ + 8;
        frame_ = (flag_at_ + 1 + 15) / 16 * 16 + 8;  // rsp 16-aligned at calls after two pushes
        x_ = framed_ ? x86::rbx : x86::rsi;
        y_ = framed_ ? x86::rbp : x86::rdx;
    }

    bool possible() const {
        if (t_.ops_.size() > max_ops || spilled_ > max_frame_values) return false;
        for (tape_op const &op : t_.ops_)
            if (form_of(op.code).how == coded::none) return false;
        // With several values, one that is an input must be read before any is written, in
        // case the caller's x and y are the same array.
        if (t_.outputs_.size() > 1)
            for (int slot : t_.outputs_)
                if (is_input(slot)) return false;
        return true;
    }

    // The code, which begins with its entry, followed by its pool at the next 16 bytes.
    std::vector<unsigned char> bytes() {
        x86::emitter e;
        e_ = &e;
        code_ops();
        std::size_t const pool_at = (e.bytes().size() + 15) / 16 * 16;
        e.place_pool(static_cast<std::int32_t>(pool_at));
        std::vector<unsigned char> out(pool_at + pool_.bytes(), 0xcc);  // int3 between them
        std::memcpy(out.data(), e.bytes().data(), e.bytes().size());
        pool_.copy_to(out.data() + pool_at);
        return out;
    }

  private:
    bool is_input(int slot) const { return slot >= nc_ && slot < nc_ + ni_; }
    // The xmm register of a value of the tape, or -1 for a constant, an input or a value in the
    // frame; counted from first_value_xmm.
    int value_register(int slot) const {
        int const g = slot - nc_ - ni_;
        return g >= 0 && g < value_xmms ? g : -1;
    }

    // Pool entries, made when the code first reads them.
    operand pooled(double v) { return operand::pool_entry(pool_.value(v)); }
    operand abs_mask() { return operand::pool_entry(pool_.mask(0x7fffffffffffffffu)); }

    operand where(int slot) {
        if (slot < nc_) return pooled(t_.constants_[static_cast<std::size_t>(slot)]);
        if (slot < nc_ + ni_) return operand::at(x_, 8 * t_.inputs_[slot - nc_].index);
        int const g = slot - nc_ - ni_;
        if (g < value_xmms) return operand::in_xmm(first_value_xmm + g);
        return operand::at(x86::rsp, 8 * (g - value_xmms));
    }

    operand side_of(tape_op const &op, side s) {
        switch (s) {
            case side::a:
                return where(op.a);
            case side::b:
                return where(op.b);
            case side::k:
                return pooled(op.k);
            case side::zero:
                return pooled(0);
            case side::sign_mask:
                return operand::pool_entry(pool_.mask(0x8000000000000000u));
            default:
                return abs_mask();
        }
    }

    // The register an operation computes its result in.
    int target(int out) {
        operand const o = where(out);
        return o.kind == operand::xmm ? o.reg : s0;
    }
    // The result, computed in register d, where the tape keeps it.
    void settle(int out, int d) {
        operand const o = where(out);
        if (o.is_xmm(d)) return;
        if (o.kind == operand::xmm)
            e_->load(o.reg, operand::in_xmm(d));
        else
            e_->store(o, d);
    }
    // A value in a register: its own, or the scratch register r.
    int in_register(operand v, int r) {
        if (v.kind == operand::xmm) return v.reg;
        e_->load(r, v);
        return r;
    }

    void fail_if(condition c) { fails_.push_back(e_->jump_if(c)); }

    // The point goes back where the operation's check keeps its operand from it: a divisor
    // below resmch in size (not a NaN, which divides as the interpreter divides it), a root at
    // or below -resmch (not a NaN either), a base below 0 for a power. A constant operand is
    // checked now.
    void code_check(tape_op const &op) {
        tape_code_facts const &facts = facts_of(op.code);
        if (facts.check == tape_check::none) return;
        if (facts.checked == tape_operand::k) {
            if (fails_check(facts.check, op.k)) fails_.push_back(e_->jump());
            return;
        }
        operand const v = where(facts.checked == tape_operand::a ? op.a : op.b);
        if (facts.check == tape_check::near_zero) {
            e_->load(s1, v);
            e_->op(sse::andpd, s1, abs_mask());
            e_->load(s2, pooled(resmch));
            e_->op(sse::ucomisd, s2, operand::in_xmm(s1));
            fail_if(condition::a);
        } else if (facts.check == tape_check::below_root) {
            int const r = in_register(v, s1);
            e_->load(s2, pooled(-resmch));
            e_->op(sse::ucomisd, s2, operand::in_xmm(r));
            fail_if(condition::ae);
        } else {
            int const r = in_register(v, s1);
            e_->op(sse::xorpd, s2, operand::in_xmm(s2));
            e_->op(sse::ucomisd, s2, operand::in_xmm(r));
            fail_if(condition::a);
        }
    }

    void code_instruction(tape_op const &op, form const &f) {
        operand const first = side_of(op, f.first), second = side_of(op, f.second);
        int d = target(op.out);
        if (second.is_xmm(d) && !first.is_xmm(d)) d = s0;
        e_->load(d, first);
        e_->op(f.instruction, d, second,
               f.instruction == sse::cmpsd ? static_cast<int>(f.pred) : -1);
        if (f.after == then::to_one) e_->op(sse::andpd, d, pooled(1));
        if (f.after == then::plus_k) e_->op(sse::addsd, d, pooled(op.k));
        settle(op.out, d);
    }

    // The square root law's root past its check: 0 below 0 (-0 is not below 0 and keeps its
    // sign through sqrtsd).
    void code_root(tape_op const &op) {
        int const a = in_register(where(op.a), s1);
        e_->op(sse::xorpd, s2, operand::in_xmm(s2));
        e_->op(sse::ucomisd, s2, operand::in_xmm(a));
        std::int32_t const below = e_->jump_if(condition::a);
        int const d = target(op.out);
        e_->op(sse::sqrtsd, d, operand::in_xmm(a));
        std::int32_t const done = e_->jump();
        e_->patch(below, e_->here());
        e_->op(sse::xorpd, d, operand::in_xmm(d));
        e_->patch(done, e_->here());
        settle(op.out, d);
    }

    // A jump on a value that may be a NaN, which is not 0, tests for one; a jump on the 1 or 0
    // of a comparison just before it, which no jump lands between, does not.
    void code_jump(std::size_t i, coded how) {
        tape_op const &op = t_.ops_[i];
        if (how == coded::jump) return (void)jumps_.push_back({e_->jump(), op.b});
        int const a = in_register(where(op.a), s1);
        e_->op(sse::xorpd, s2, operand::in_xmm(s2));
        e_->op(sse::ucomisd, a, operand::in_xmm(s2));
        bool const truth = i > 0 && !landed_[i] && t_.ops_[i - 1].out == op.a &&
                           form_of(t_.ops_[i - 1].code).after == then::to_one;
        if (how == coded::jump_if_zero) {
            std::int32_t const not_a_number = truth ? -1 : e_->short_jump_if(condition::p);
            jumps_.push_back({e_->jump_if(condition::e), op.b});
            if (!truth) e_->patch_short(not_a_number, e_->here());
        } else {
            jumps_.push_back({e_->jump_if(condition::ne), op.b});
            if (!truth) jumps_.push_back({e_->jump_if(condition::p), op.b});
        }
    }

    // A function of one or two values, with the values still to be read kept in the frame
    // over the call; `straight` is the function called in place of op's own, which raises
    // nothing (null for a call through the guard).
    void code_call(tape_op const &op, form const &f, std::uint32_t live, tape_fn1 straight) {
        e_->load(s0, side_of(op, f.first));
        if (f.two_arguments) e_->load(s1, side_of(op, f.second));
        int const out = value_register(op.out);
        if (out >= 0) live &= ~(1u << out);
        auto const each_live = [&](auto f) {
            for (int g = 0; g < value_xmms; ++g)
                if (live & (1u << g))
                    f(first_value_xmm + g, operand::at(x86::rsp, save_at_ + 8 * g));
        };
        each_live([&](int r, operand cell) { e_->store(cell, r); });
        bool const one = !f.two_arguments;
        if (straight) {
            e_->mov(x86::rax, reinterpret_cast<std::uint64_t>(straight));
            e_->call(x86::rax);
        } else {
            e_->mov(x86::rdi, one ? reinterpret_cast<std::uint64_t>(op.f1)
                                  : reinterpret_cast<std::uint64_t>(op.f2));
            e_->lea_stack(x86::rsi, flag_at_);
            e_->mov(x86::rax, one ? reinterpret_cast<std::uint64_t>(&guarded_call1)
                                  : reinterpret_cast<std::uint64_t>(&guarded_call2));
            e_->call(x86::rax);
            e_->compare_stack_byte(flag_at_, 0);
            fail_if(condition::ne);
        }
        each_live([&](int r, operand cell) { e_->load(r, cell); });
        settle(op.out, s0);
    }

    // Code that could round otherwise than the interpreter when the vector unit flushes tiny
    // values to zero (on input or on output) hands such a point to the interpreter with its own
    // arguments. The mode shows in one sum: the smallest positive double plus 0 is 0 in it.
    void check_mode() {
        if (!mode_sensitive_) return;
        e_->load(s0, pooled(std::numeric_limits<double>::denorm_min()));
        e_->op(sse::addsd, s0, pooled(0));
        e_->op(sse::ucomisd, s0, pooled(0));
        flushing_ = e_->jump_if(condition::e);
    }
    void to_interpreter() {
        if (!mode_sensitive_) return;
        e_->patch(flushing_, e_->here());
        auto const *const code = static_cast<law_code const *>(&t_);
        e_->mov(x86::rcx, reinterpret_cast<std::uint64_t>(code));
        e_->mov(x86::rax, reinterpret_cast<std::uint64_t>(&eval_tape::interpreted));
        e_->jump_to(x86::rax);
    }

    // The owner, x and y arrive in rdi, rsi and rdx; with a frame, x and y are kept in rbx and
    // rbp and the owner in the frame. A frame of more than a page grows a page at a time, each
    // touched, so that it cannot step over the stack's guard page.
    void prologue() {
        if (!framed_) return;
        e_->push(x86::rbx);
        e_->push(x86::rbp);
        constexpr int page = 4096;
        int left = frame_;
        for (; left > page; left -= page) {
            e_->add_rsp(-page);
            e_->probe_stack();
        }
        e_->add_rsp(-left);
        e_->mov(x86::rbx, x86::rsi);
        e_->mov(x86::rbp, x86::rdx);
        e_->store_stack(owner_at_, x86::rdi);
        if (guarded_calls_) e_->set_stack_byte(flag_at_, 0);
    }
    void pop_frame() {
        if (!framed_) return;
        e_->add_rsp(frame_);
        e_->pop(x86::rbp);
        e_->pop(x86::rbx);
    }
    void succeed() {
        e_->mov_eax(1);
        pop_frame();
        e_->ret();
    }
    // false without an owner; with one, on to give_back(owner, x, y) in place of this code, so
    // that what give_back raises never meets a frame of it.
    void give_back() {
        // The arguments are give_back's own: restored when calls may have taken them.
        if (framed_) {
            e_->load_stack(x86::rdi, owner_at_);
            e_->mov(x86::rsi, x86::rbx);
            e_->mov(x86::rdx, x86::rbp);
        }
        pop_frame();
        e_->test(x86::rdi);
        std::int32_t const owned = e_->jump_if(condition::ne);
        e_->mov_eax(0);
        e_->ret();
        e_->patch(owned, e_->here());
        e_->mov(x86::rax, reinterpret_cast<std::uint64_t>(&law_code::give_back));
        e_->jump_to(x86::rax);
    }

    void code_ops() {
        register_liveness const live(t_.ops_, t_.outputs_,
                                     [this](int slot) { return value_register(slot); });
        check_mode();
        prologue();
        std::vector<std::int32_t> at(t_.ops_.size() + 1);
        for (std::size_t i = 0; i < t_.ops_.size(); ++i) {
            tape_op const &op = t_.ops_[i];
            if (landed_[i]) e_->align(16);  // where a jump lands, a fetch block begins
            at[i] = e_->here();
            form const &f = form_of(op.code);
            code_check(op);
            switch (f.how) {
                case coded::instruction:
                    code_instruction(op, f);
                    break;
                case coded::root:
                    code_root(op);
                    break;
                case coded::copy:
                    settle(op.out, in_register(where(op.a), s0));
                    break;
                case coded::call:
                    code_call(op, f, live.after(i), unguarded_[i]);
                    break;
                default:
                    code_jump(i, f.how);
            }
        }
        if (landed_[t_.ops_.size()]) e_->align(16);
        at[t_.ops_.size()] = e_->here();
        for (std::size_t k = 0; k < t_.outputs_.size(); ++k)
            e_->store(operand::at(y_, static_cast<std::int32_t>(8 * k)),
                      in_register(where(t_.outputs_[k]), s0));
        succeed();
        for (auto const &[hole, op] : jumps_) e_->patch(hole, at[static_cast<std::size_t>(op)]);
        std::int32_t const fail = e_->here();
        for (std::int32_t hole : fails_) e_->patch(hole, fail);
        give_back();
        to_interpreter();
    }

    eval_tape const &t_;
    int const nc_, ni_, values_;
    std::vector<tape_fn1> const unguarded_;
    std::vector<bool> landed_;  // whether a jump lands at each operation
    bool has_calls_ = false, guarded_calls_ = false, framed_ = false, mode_sensitive_ = false;
    std::int32_t flushing_ = 0;
    int spilled_ = 0, save_at_ = 0, owner_at_ = 0, flag_at_ = 0, frame_ = 0;
    x86::gpr x_, y_;
    constant_pool pool_;
    x86::emitter *e_ = nullptr;
    struct jump_to {
        std::int32_t hole;
        int op;
    };
    std::vector<jump_to> jumps_;
    std::vector<std::int32_t> fails_;
};

tape_jit tape_jit::compile(eval_tape const &tape, law const *named) {
    if (!jit_wanted()) return {};
    try {
        coder c(tape);
        if (!c.possible()) return {};
        std::vector<unsigned char> const code = c.bytes();
        code_arena::block const b = code_arena::take(code.size());
        if (!b) return {};
        std::memcpy(b.write, code.data(), code.size());
        if (perf_map_wanted()) perf_map_note(b.run, code.size(), named);
        return tape_jit(b);
    } catch (std::exception const &) {
        return {};  // the tape keeps the interpreter
    }
}

#else

tape_jit tape_jit::compile(eval_tape const &, law const *) { return {}; }

#endif

tape_jit &tape_jit::operator=(tape_jit &&other) noexcept {
    if (this != &other) {
        code_arena::give_back(block_);
        block_ = other.block_;
        other.block_ = {};
    }
    return *this;
}
