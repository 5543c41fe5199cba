#include <law/lang/law_tokens.h>

#include <cmath>
#include <cstdio>
#include <utility>

#include <law/core/binary_law.h>
#include <law/core/constant_law.h>
#include <law/core/law.h>
#include <law/core/law_data.h>
#include <law/core/multiple_data_law.h>
#include <law/core/multiple_law.h>
#include <law/core/unary_data_law.h>
#include <law/core/unary_law.h>
#include <law/core/upper_layers.h>
#include <law/lang/law_list.h>

namespace {

bool classify(law const *p, name_family &out) {
    if (p->isa(binary_law::id()))
        out = name_family::binary;
    else if (p->isa(law_id::negate_law))
        out = name_family::negate;
    else if (p->isa(unary_law::id()))
        out = name_family::unary;
    else if (p->isa(multiple_law::id()))
        out = name_family::multiple;
    else if (p->isa(unary_data_law::id()))
        out = name_family::unary_data;
    else if (p->isa(multiple_data_law::id()))
        out = name_family::multiple_data;
    else if (p->isa(constant_law::id()))
        out = name_family::constant;
    else
        return false;
    return true;
}

bool acceptable(name_family f, bool operand) { return (f == name_family::binary) != operand; }

bool starts_with(std::string_view text, int position, int end, std::string_view word) {
    return static_cast<std::size_t>(end - position) >= word.size() &&
           text.compare(static_cast<std::size_t>(position), word.size(), word) == 0;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_upper(char c) { return c >= 'A' && c <= 'Z'; }

// Input index of the letters that name a variable without a number, or -1.
int letter_index(char c) {
    switch (c) {
        case 'X':
        case 'U':
        case 'T':
            return 0;
        case 'Y':
        case 'V':
            return 1;
        case 'Z':
            return 2;
        default:
            return -1;
    }
}

token_kind punctuation_kind(char c) {
    switch (c) {
        case ',':
            return token_kind::comma;
        case '(':
            return token_kind::open;
        case ')':
            return token_kind::close;
        default:
            return token_kind::none;
    }
}

}  // namespace

name_table name_table::from_registries() {
    name_table t;
    for (law_list const *node = law_list::head(); node; node = node->next()) {
        law const *p = node->prototype();
        char const *name = p ? p->symbol(law_symbol_default) : nullptr;
        name_family family;
        if (!name || !*name || !classify(p, family)) continue;
        t.laws_[byte(name[0])].push_back({name, p, family, p->precedence()});
    }
    for (law_data_list const *node = law_data_list::head(); node; node = node->next()) {
        law_data const *p = node->prototype();
        char const *name = p ? p->symbol(law_symbol_default) : nullptr;
        if (name && *name) t.data_[byte(name[0])].push_back(name);
    }
    return t;
}

bool token::operand_follows() const {
    switch (kind) {
        case token_kind::comma:
        case token_kind::open:
            return true;
        case token_kind::name:
            return entry->family == name_family::binary || entry->family == name_family::negate;
        default:
            return false;
    }
}

number_run read_number(std::string_view text, int position, int end) {
    number_run r;
    if (position >= end || text[position] == 'E' || text[position] == 'e') return r;
    int i = position;
    while (i < end) {
        char const c = text[i];
        if (is_digit(c) || c == '.') {
            ++i;
        } else if (c == 'E' || c == 'e') {
            i = i + 2 <= end ? i + 2 : end;  // the character after an exponent mark belongs
        } else {
            break;
        }
    }
    r.length = i - position;
    if (r.length == 0) return r;
    if (r.length > law_number_run_limit) {
        r.problem = number_problem::too_long;
        return r;
    }
    char run[law_number_run_limit + 1];
    text.copy(run, static_cast<std::size_t>(r.length), static_cast<std::size_t>(position));
    run[r.length] = '\0';
    int used = 0;
    if (std::sscanf(run, "%lf%n", &r.value, &used) != 1 || used != r.length) {
        r.value = 0;
        r.problem = number_problem::unreadable;
    }
    return r;
}

token read_token(std::string_view text, int position, int end, bool operand,
                 name_table const &names) {
    if (position >= end) return {.extent = position};
    char const c = text[position];
    if (token_kind const kind = punctuation_kind(c); kind != token_kind::none)
        return token::punctuation(kind, position);
    // Each reading that applies replaces those before it; a name (of law data or of a class)
    // replaces only a shorter reading.
    token t{.extent = position};
    if (int const index = letter_index(c); index >= 0)
        t = token::letter_variable(c, index, position);
    if (is_upper(c))
        if (number_run const n = read_number(text, position + 1, end); n.length > 0)
            t = token::numbered_variable(c, n, position);
    if (number_run const n = read_number(text, position, end); n.length > 0)
        t = token::number(n.length, n.value, n.problem, position);
    // The printer writes the infinite and the undefined constant as words.
    using word_value = std::pair<char const *, double>;
    for (auto const &[word, value] : {word_value{"INF", HUGE_VAL}, word_value{"NAN", NAN}})
        if (starts_with(text, position, end, word))
            t = token::number(3, value, number_problem::none, position);
    if (starts_with(text, position, end, "LAW"))
        t = token::law_reference(read_number(text, position + 3, end), position);
    for (std::string_view name : names.data_from(c)) {
        int const length = static_cast<int>(name.size());
        if (length <= t.length || !starts_with(text, position, end, name)) continue;
        if (number_run const n = read_number(text, position + length, end); n.length > 0)
            t = token::data_reference(length, n, position);
    }
    for (name_entry const &e : names.laws_from(c)) {
        if (static_cast<int>(e.name.size()) <= t.length || !acceptable(e.family, operand) ||
            !starts_with(text, position, end, e.name))
            continue;
        t = token::name(e, position);
    }
    return t;
}

namespace {

// The printer asks, so that it never writes side by side two names that the reader would take as
// one longer name.
int token_length_at(char const *text) {
    std::string_view const s(text);
    return read_token(s, 0, static_cast<int>(s.size()), true, name_table::from_registries()).length;
}

[[maybe_unused]] bool const name_reader_installed =
    (upper_layers().name_length_at = token_length_at, true);

}  // namespace
