#pragma once
// Errors of the numerical methods that say more than their code's message: where, and why.
#include <string>

#include <law/core/lawutil_errors.h>

class law;

// Raises code with the detail, which the exception's what() carries after the message.
[[noreturn]] void law_error_with_detail(lawutil_error code, std::string const &detail);

// A number as the detail writes it: every digit that tells it apart.
std::string detail_number(double v);

// What the law says at x: its error's message, or "the value is V" when it has a value there.
std::string law_message_at(law const *f, double x);

// Raises LAW_NO_VALUE for a law that has a value nowhere on [a, b], with what it says midway.
[[noreturn]] void no_value_on(law const *f, double a, double b);
