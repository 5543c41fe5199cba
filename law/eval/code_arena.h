#pragma once
// Memory for the machine code of many tapes, shared: code is written into a block through one
// view of a chunk and runs from another view of the same pages, so that no page is ever both
// writable and executable. Blocks of code that is no longer held are used again. Where the
// system gives no memory that may run (no memory files, or a policy against running them), no
// block is given and tapes keep the interpreter.
#include <cstddef>

class code_arena {
  public:
    // Blocks are multiples of this many bytes, aligned to it: code that begins a cache line
    // runs at one speed wherever its block lies (branches meet the fetch and the predictor alike).
    static constexpr std::size_t granule = 64;

    struct block {
        unsigned char *write = nullptr;      // the writable view
        unsigned char const *run = nullptr;  // the same bytes, executable
        std::size_t size = 0;
        explicit operator bool() const { return run != nullptr; }
    };

    // A block of at least n bytes (n > 0), or an empty block when the system gives no memory
    // for code. Safe from any thread.
    static block take(std::size_t n);
    // Gives back a block that take gave; its bytes are overwritten with traps.
    static void give_back(block b);

    // What the arena holds, in bytes: mapped for code (each view counted once), and in blocks
    // that are taken.
    struct usage {
        std::size_t mapped = 0, taken = 0;
    };
    static usage in_use();
};
