#pragma once
// The single-point run of a tape as machine code (x86-64 Linux): the values stay in registers
// instead of going through the tape's array, and no operation is dispatched. The code computes
// with the same scalar instructions as the interpreter, in the same order, so the values are
// bit for bit the interpreter's. It returns false where the interpreter would hand the point
// back to the law or raise an error (a divisor near zero, a square root below 0, a called
// function that raises), and the law's own evaluation then gives the value or the error. Tapes
// that call laws, and other machines, keep the interpreter.
#include <cstddef>
#include <memory>

#include <law/core/law_engine.h>

class eval_tape;

class tape_jit {
  public:
    // With an owner, a point the code cannot take goes on to law_code::give_back(owner, x, y),
    // and what the code returns means nothing; without one, the code returns false for it.
    using entry_fn = law_code::entry_fn;

    // The code of the tape, or null when this machine, the tape's operations or the system's
    // memory do not allow one. Setting LAW_TAPE_JIT=0 in the environment leaves every tape to
    // the interpreter (to compare the two).
    static std::unique_ptr<tape_jit> compile(eval_tape const &tape);

    entry_fn entry() const { return entry_; }

    ~tape_jit();
    tape_jit(tape_jit const &) = delete;
    tape_jit &operator=(tape_jit const &) = delete;

  private:
    class coder;
    tape_jit(void *memory, std::size_t size, std::size_t entry_offset);
    void *memory_;
    std::size_t size_;
    entry_fn entry_;
};
