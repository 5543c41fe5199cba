#pragma once
// Machine code for x86-64, as bytes: the few SSE2 scalar double instructions, moves, jumps and
// calls that a compiled tape needs. The code is followed by a pool of 16-byte constants, which
// it addresses relative to the instruction pointer, so that it runs wherever it is placed.
// Jumps and pool references are holes patched once their targets are known.
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <stdexcept>
#include <vector>

namespace x86 {

enum gpr : int { rax = 0, rcx = 1, rdx = 2, rbx = 3, rsp = 4, rbp = 5, rsi = 6, rdi = 7 };

// A double operand: an xmm register, a memory cell at a general register plus a displacement, or
// a pool entry (given by its offset in the pool).
struct operand {
    enum kind_t : std::uint8_t { xmm, memory, pool } kind;
    int reg;  // the xmm register, or the base register of a memory cell
    std::int32_t disp;
    static operand in_xmm(int r) { return {xmm, r, 0}; }
    static operand at(int base, std::int32_t disp) { return {memory, base, disp}; }
    static operand pool_entry(std::int32_t offset) { return {pool, 0, offset}; }
    bool is_xmm(int r) const { return kind == xmm && reg == r; }
    bool operator==(operand const &) const = default;
};

// The instructions over doubles, as their mandatory prefix and their opcode after 0F.
enum class sse : std::uint16_t {
    movsd_load = 0xf210,
    sqrtsd = 0xf251,
    addsd = 0xf258,
    mulsd = 0xf259,
    subsd = 0xf25c,
    minsd = 0xf25d,
    divsd = 0xf25e,
    maxsd = 0xf25f,
    cmpsd = 0xf2c2,  // with a predicate byte
    // A memory operand of the bitwise ones is 16 bytes, aligned (a pool entry).
    andpd = 0x6654,
    xorpd = 0x6657,
    movapd = 0x6628,
    ucomisd = 0x662e,
};

// The predicates of cmpsd that give C++'s <, <=, == and !=.
enum class predicate : std::uint8_t { eq = 0, lt = 1, le = 2, ne = 4 };

enum class condition : std::uint8_t { ae = 0x3, e = 0x4, ne = 0x5, a = 0x7, p = 0xa };

class emitter {
  public:
    std::vector<std::uint8_t> const &bytes() const { return code_; }
    std::int32_t here() const { return static_cast<std::int32_t>(code_.size()); }

    // op dst, src: dst is an xmm register; the predicate byte only for cmpsd.
    void op(sse code, int dst, operand src, int predicate_byte = -1) {
        auto const bits = static_cast<std::uint16_t>(code);
        byte(static_cast<std::uint8_t>(bits >> 8));
        encode(static_cast<std::uint8_t>(bits), dst, src, predicate_byte);
    }
    void store(operand cell, int src) {
        byte(0xf2);
        encode(0x11, src, cell, -1);
    }
    // dst = src, whatever src is.
    void load(int dst, operand src) {
        if (src.is_xmm(dst)) return;
        op(src.kind == operand::xmm ? sse::movapd : sse::movsd_load, dst, src);
    }

    // General registers.
    void push(gpr r) { byte(0x50 + r); }
    void pop(gpr r) { byte(0x58 + r); }
    void ret() { byte(0xc3); }
    void mov(gpr dst, gpr src) {
        bytes({0x48, 0x89, static_cast<std::uint8_t>(0xc0 | src << 3 | dst)});
    }
    void mov(gpr dst, std::uint64_t value) {
        bytes({0x48, static_cast<std::uint8_t>(0xb8 + dst)});
        little_endian(value, 8);
    }
    void mov_eax(std::uint32_t value) {
        byte(0xb8);
        little_endian(value, 4);
    }
    // dst = rsp + disp
    void lea_stack(gpr dst, std::int32_t disp) {
        bytes({0x48, 0x8d, static_cast<std::uint8_t>(0x84 | dst << 3), 0x24});
        little_endian(static_cast<std::uint32_t>(disp), 4);
    }
    // rsp += delta
    void add_rsp(std::int32_t delta) {
        bytes({0x48, 0x81, 0xc4});
        little_endian(static_cast<std::uint32_t>(delta), 4);
    }
    // The byte at rsp + disp, set to or compared with a value.
    void set_stack_byte(std::int32_t disp, std::uint8_t value) {
        bytes({0xc6, 0x84, 0x24});
        little_endian(static_cast<std::uint32_t>(disp), 4);
        byte(value);
    }
    void compare_stack_byte(std::int32_t disp, std::uint8_t value) {
        bytes({0x80, 0xbc, 0x24});
        little_endian(static_cast<std::uint32_t>(disp), 4);
        byte(value);
    }
    // The 8 bytes at rsp + disp, from or into r.
    void store_stack(std::int32_t disp, gpr r) { stack_cell(0x89, r, disp); }
    void load_stack(gpr r, std::int32_t disp) { stack_cell(0x8b, r, disp); }
    void test(gpr r) { bytes({0x48, 0x85, static_cast<std::uint8_t>(0xc0 | r << 3 | r)}); }
    void call(gpr r) { bytes({0xff, static_cast<std::uint8_t>(0xd0 | r)}); }
    void jump_to(gpr r) { bytes({0xff, static_cast<std::uint8_t>(0xe0 | r)}); }

    // Jumps with a 32-bit displacement to a label; labels are offsets in the code, known now or
    // later (patch).
    std::int32_t jump() {
        byte(0xe9);
        return hole();
    }
    std::int32_t jump_if(condition c) {
        bytes({0x0f, static_cast<std::uint8_t>(0x80 | static_cast<std::uint8_t>(c))});
        return hole();
    }
    // No-operation bytes up to the next multiple of n (at most 16) of the code.
    void align(int n) {
        static constexpr std::uint8_t nops[][9] = {
            {},
            {0x90},
            {0x66, 0x90},
            {0x0f, 0x1f, 0x00},
            {0x0f, 0x1f, 0x40, 0x00},
            {0x0f, 0x1f, 0x44, 0x00, 0x00},
            {0x66, 0x0f, 0x1f, 0x44, 0x00, 0x00},
            {0x0f, 0x1f, 0x80, 0x00, 0x00, 0x00, 0x00},
            {0x0f, 0x1f, 0x84, 0x00, 0x00, 0x00, 0x00, 0x00},
            {0x66, 0x0f, 0x1f, 0x84, 0x00, 0x00, 0x00, 0x00, 0x00}};
        for (int left = (n - here() % n) % n; left > 0;) {
            int const k = left > 9 ? 9 : left;
            code_.insert(code_.end(), nops[k], nops[k] + k);
            left -= k;
        }
    }
    // A jump over a few bytes, with an 8-bit displacement; patched by patch_short.
    std::int32_t short_jump_if(condition c) {
        bytes({static_cast<std::uint8_t>(0x70 | static_cast<std::uint8_t>(c)), 0});
        return here() - 1;
    }
    void patch_short(std::int32_t hole_at, std::int32_t label) {
        std::int32_t const rel = label - (hole_at + 1);
        if (rel < -128 || rel > 127) throw std::length_error("a short jump too far");
        code_[static_cast<std::size_t>(hole_at)] = static_cast<std::uint8_t>(rel);
    }
    void patch(std::int32_t hole_at, std::int32_t label) {
        std::int32_t const rel = label - (hole_at + 4);
        std::memcpy(&code_[static_cast<std::size_t>(hole_at)], &rel, 4);
    }
    // The pool placed at offset pool_at of the code (16-aligned): every reference to it patched.
    void place_pool(std::int32_t pool_at) {
        for (pool_ref const &r : pool_refs_) {
            std::int32_t const rel = pool_at + r.entry - r.end;
            std::memcpy(&code_[static_cast<std::size_t>(r.hole)], &rel, 4);
        }
    }

    // Touches the 8 bytes at rsp, so that a frame grown a page at a time meets the guard page.
    void probe_stack() { bytes({0x48, 0x83, 0x0c, 0x24, 0x00}); }  // or qword [rsp], 0

  private:
    void byte(std::uint8_t b) { code_.push_back(b); }
    void bytes(std::initializer_list<std::uint8_t> bs) { code_.insert(code_.end(), bs); }
    void little_endian(std::uint64_t v, int n) {
        for (int i = 0; i < n; ++i) byte(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void stack_cell(std::uint8_t opcode, gpr r, std::int32_t disp) {
        bytes({0x48, opcode, static_cast<std::uint8_t>(0x84 | r << 3), 0x24});
        little_endian(static_cast<std::uint32_t>(disp), 4);
    }
    std::int32_t hole() {
        std::int32_t const at = here();
        little_endian(0, 4);
        return at;
    }

    // [REX] 0F opcode ModRM [SIB] [disp] [imm8] with reg field r and the operand in r/m.
    void encode(std::uint8_t opcode, int r, operand m, int imm) {
        int const base = m.kind == operand::memory ? m.reg : m.kind == operand::xmm ? m.reg : 0;
        std::uint8_t const rex = static_cast<std::uint8_t>(
            0x40 | (r >> 3) << 2 | (m.kind == operand::pool ? 0 : base >> 3));
        if (rex != 0x40) byte(rex);
        bytes({0x0f, opcode});
        std::uint8_t const reg_field = static_cast<std::uint8_t>((r & 7) << 3);
        if (m.kind == operand::xmm) {
            byte(static_cast<std::uint8_t>(0xc0 | reg_field | (base & 7)));
        } else if (m.kind == operand::pool) {
            byte(static_cast<std::uint8_t>(0x05 | reg_field));
            // Relative to the end of the instruction, which an immediate byte still follows.
            pool_refs_.push_back({here(), here() + 4 + (imm >= 0 ? 1 : 0), m.disp});
            little_endian(0, 4);
        } else {
            bool const short_disp = m.disp >= -128 && m.disp < 128;
            byte(static_cast<std::uint8_t>((short_disp ? 0x40 : 0x80) | reg_field | (base & 7)));
            if ((base & 7) == rsp) byte(0x24);
            little_endian(static_cast<std::uint32_t>(m.disp), short_disp ? 1 : 4);
        }
        if (imm >= 0) byte(static_cast<std::uint8_t>(imm));
    }

    struct pool_ref {
        std::int32_t hole, end, entry;
    };
    std::vector<std::uint8_t> code_;
    std::vector<pool_ref> pool_refs_;
};

}  // namespace x86
