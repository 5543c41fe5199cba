#pragma once
// One row per scalar function of one argument (SIN, LN, ARCCOSH, EVEN?, ...): everything that
// sets the class apart, written together. The value is written once (LAW_VALUE and its kin):
// the library calls it, the tape calls it, and plain C++ code is its text. A null entry takes
// the family behaviour.
#include <span>
#include <string>

#include <law/base/interval.h>
#include <law/eval/eval_tape.h>
#include <law/core/law.h>
#include <law/lang/plain_code.h>

struct function_row {
    int id = -1;
    // The value at a, the class's domain error raised before it.
    plain_value1 value;
    // Whether a lies in the domain (the sub-law's own domain is checked first).
    bool (*domain)(double a) = nullptr;
    // f' in the chain rule f(A)' = f'(A) * A'.
    law_ptr (*factor)(law_ptr const &a) = nullptr;
    // A derivative that is not a plain chain rule.
    law_ptr (*derivative)(law_ptr const &a, int which) = nullptr;
    int (*term_domain)(law const *a, int which, ZEM::interval &out) = nullptr;
    // Bounds of the value from bounds of the argument; a failure sets `failed`.
    ZEM::interval (*bounds)(ZEM::interval const &a, int &failed) = nullptr;
    law_ptr (*simplify)(law const *a, char const *&rule_name) = nullptr;
    // The first version that can save the class.
    int date_floor = 0;
    // The tape's own operation when the value is one instruction.
    tape_code code = tape_code::call1;
};

// The row of a function class; raises LAW_EVAL for an id that has none.
function_row const &function_row_of(int id);

// The value's C++ text over @1, its named constants written as literals.
std::string function_text(function_row const &row);
// The helpers that the values' texts call.
std::span<plain_helper const> function_helpers();
