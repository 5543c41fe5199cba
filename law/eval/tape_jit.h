#pragma once
// The single-point run of a tape as machine code (x86-64 Linux): the values stay in registers
// instead of going through the tape's array, and no operation is dispatched. The code computes
// with the same scalar instructions as the interpreter, in the same order, so the values are
// bit for bit the interpreter's. It returns false where the interpreter would hand the point
// back to the law or raise an error (a divisor near zero, a square root below 0, a called
// function that raises), and the law's own evaluation then gives the value or the error. The
// bits stay the interpreter's in every floating-point mode of the vector unit: the code of a
// maximum, a minimum or a sine and cosine pair, which could round otherwise where tiny values
// flush to zero, hands a point met in such a mode to the interpreter; the other instructions are
// the interpreter's own in every mode. Tapes that call laws, and other machines, keep the
// interpreter.
#include <cstddef>
#include <cstdint>

#include <law/core/law_engine.h>
#include <law/eval/code_arena.h>

class eval_tape;

class tape_jit {
  public:
    // With an owner, a point the code cannot take goes on to law_code::give_back(owner, x, y),
    // and what the code returns means nothing; without one, the code returns false for it.
    using entry_fn = law_code::entry_fn;

    // The code of the tape, which `named` compiled (the name profilers show), or no code when
    // this machine, the tape's operations or the system's memory do not allow one. Setting
    // LAW_TAPE_JIT=0 in the environment leaves every tape to the interpreter (to compare the
    // two).
    static tape_jit compile(eval_tape const &tape, law const *named);

    tape_jit() = default;
    tape_jit(tape_jit &&other) noexcept : block_(other.block_) { other.block_ = {}; }
    tape_jit &operator=(tape_jit &&other) noexcept;
    ~tape_jit() { code_arena::give_back(block_); }

    explicit operator bool() const { return static_cast<bool>(block_); }
    // The code begins its block. Through an integer: a pointer to const bytes does not cast to
    // a function pointer directly in every compiler (clang refuses the lost qualifier).
    entry_fn entry() const {
        return reinterpret_cast<entry_fn>(reinterpret_cast<std::uintptr_t>(block_.run));
    }

  private:
    class coder;
    explicit tape_jit(code_arena::block b) : block_(b) {}
    code_arena::block block_;
};
