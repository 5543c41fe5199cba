#include <law/core/constant_law.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <law/base/output.h>

namespace {
// The shortest digits that read back as value, in the layout of "%g"; empty when that takes more
// than 16 digits.
std::string shortest(double value) {
    char buf[40];
    char *end = std::to_chars(buf, buf + sizeof buf - 1, value, std::chars_format::scientific).ptr;
    *end = '\0';
    char const *e = std::find(buf, end, 'e');
    auto const digits = std::count_if(static_cast<char const *>(buf), e,
                                      [](char c) { return c >= '0' && c <= '9'; });
    if (digits > 16) return {};
    int const exponent = e == end ? 0 : std::atoi(e + 1);
    if (exponent >= -4 && exponent < 16)
        end = std::to_chars(buf, buf + sizeof buf - 1, value, std::chars_format::fixed).ptr;
    return std::string(buf, end);
}
}  // namespace

std::string number_string(double value) {
    // "%.16g", except that a value which 16 digits cannot hold exactly but fewer digits can
    // (1e-20, which "%.16g" rounds to 9.999999999999999e-21) prints with those fewer digits in
    // the same layout.
    char buf[40];
    if (!std::isfinite(value)) {
        std::snprintf(buf, sizeof buf, "%.16g", value);
        return buf;
    }
    if (std::string text = shortest(value); !text.empty()) return text;
    // A value of seventeen digits prints as the double its sixteen read back as does, so that a
    // printed law read back prints the same again: the sixteen digits of the largest double
    // below 2^129 read back as 2^129, which fifteen digits hold.
    std::snprintf(buf, sizeof buf, "%.16g", value);
    return shortest(std::strtod(buf, nullptr));
}

int constant_law::same(law const *a, law const *b) const {
    auto const *x = law_cast<constant_law>(a), *y = law_cast<constant_law>(b);
    double const at = 0.5;
    double const u = x ? x->value_ : a->eval(at), v = y ? y->value_ : b->eval(at);
    // Equal infinities, and two undefined values, are the same constant too.
    return std::fabs(u - v) < 1e-14 || u == v || (std::isnan(u) && std::isnan(v));
}

char *constant_law::string(law_symbol_type, int &, law_data_node *&) const {
    return zem_new_str_from(number_string(value_).c_str());
}

law *constant_law::deep_copy(pointer_map *) const { return make_one(value_); }

ZEM::interval constant_law::estimate_bounds(ZEM::interval const &, int &failed) const {
    failed = 0;
    return ZEM::interval(value_, value_);
}

law *constant_law::deriv(int) const { return new constant_law(0.0); }

namespace {
constexpr double value_of(int id) {
    switch (id) {
        case law_id::pi_law:
            return 3.141592653589793;
        case law_id::e_law:
            return 2.718281828459045;
        case law_id::true_law:
            return 1.0;
        default:
            return 0.0;
    }
}
}  // namespace

template <int Id>
named_constant_law<Id>::named_constant_law() : table_law<Id, constant_law>(value_of(Id)) {}

template class named_constant_law<law_id::pi_law>;
template class named_constant_law<law_id::e_law>;
template class named_constant_law<law_id::true_law>;
template class named_constant_law<law_id::false_law>;

namespace {
int checked_index(int index) {
    if (index < 0 || index >= law_variable_limit)
        law_error(LAW_DIM, "input index " + std::to_string(index) + " of a variable");
    return index;
}
char checked_letter(char letter) {
    if (letter < 'A' || letter > 'Z')
        law_error(LAW_SYNTAX, "a variable's letter must be upper case, not code " +
                                  std::to_string(static_cast<unsigned char>(letter)));
    return letter;
}
}  // namespace

identity_law::identity_law(int index, char letter)
    : index_(checked_index(index)), letter_(checked_letter(letter)) {}

int identity_law::same(law const *a, law const *b) const {
    return static_cast<identity_law const *>(a)->index_ ==
           static_cast<identity_law const *>(b)->index_;
}

char *identity_law::string(law_symbol_type, int &, law_data_node *&) const {
    bool const bare = (index_ == 0 && (letter_ == 'X' || letter_ == 'U' || letter_ == 'T')) ||
                      (index_ == 1 && (letter_ == 'Y' || letter_ == 'V')) ||
                      (index_ == 2 && letter_ == 'Z');
    char buf[24];
    if (bare)
        std::snprintf(buf, sizeof buf, "%c", letter_);
    else
        std::snprintf(buf, sizeof buf, "%c%d", letter_, index_ + 1);
    return zem_new_str_from(buf);
}

law *identity_law::deep_copy(pointer_map *) const { return new identity_law(index_, letter_); }

ZEM::interval identity_law::estimate_bounds(ZEM::interval const &domain, int &failed) const {
    failed = 0;
    return domain;
}

law *identity_law::deriv(int which) const { return new constant_law(which == index_ ? 1.0 : 0.0); }

law *identity_law::sub_inverse() const {
    add();
    return const_cast<identity_law *>(this);
}
