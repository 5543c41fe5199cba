#pragma once
// Facts of every law class of the library, from the one table in law_classes.def.

// Ids: alphabetical by class name, `law` itself 14.
namespace law_id {
enum : int {
#define LAW_CLASS(cls, id, base, sym0, sym1, prec) cls = id,
#include <law/core/law_classes.def>
#undef LAW_CLASS
};
}  // namespace law_id

namespace law_detail {
// One past the greatest id in the table.
constexpr int count_classes() {
    int n = 0;
#define LAW_CLASS(cls, id, base, sym0, sym1, prec) n = id >= n ? id + 1 : n;
#include <law/core/law_classes.def>
#undef LAW_CLASS
    return n;
}
}  // namespace law_detail

// Ids 0 .. law_class_count - 1 belong to the table; new_law_id hands out the ones after.
inline constexpr int law_class_count = law_detail::count_classes();
namespace law_id {
inline constexpr int first_free = law_class_count;
}  // namespace law_id

// The version in which the law and law data base classes appeared: what `date` reports for any
// class that appeared no later.
inline constexpr int law_base_date = 20200;

// The syntax asked of `symbol`: 0 is the default syntax, which the printer writes and the parser
// reads; any other value asks for the alternative form.
enum law_symbol_type : int { law_symbol_default = 0, law_symbol_other = 1 };

struct law_class_facts {
    char const *name;
    int base;  // id of the class it derives from, -1 for `law`
    char const *symbol_default;
    char const *symbol_other;
    int precedence;
};

namespace law_detail {
constexpr int base_id_none = -1;
namespace base_ids {
enum : int {
    none = base_id_none,
#define LAW_CLASS(cls, id, base, sym0, sym1, prec) cls = id,
#include <law/core/law_classes.def>
#undef LAW_CLASS
};
}  // namespace base_ids

constexpr auto make_facts() {
    struct table {
        law_class_facts row[law_class_count];
    } t{};
    for (auto &r : t.row) r = {nullptr, base_id_none, nullptr, nullptr, 8};
#define LAW_CLASS(cls, id, base, sym0, sym1, prec) \
    t.row[id] = {#cls, base_ids::base, sym0, sym1, prec};
#include <law/core/law_classes.def>
#undef LAW_CLASS
    return t;
}
inline constexpr auto facts_table = make_facts();
}  // namespace law_detail

// The facts of a library class by id; a row of nulls for the two unused ids (19 and 44).
constexpr law_class_facts const &law_facts(int id) { return law_detail::facts_table.row[id]; }

constexpr char const *law_symbol_of(int id, law_symbol_type t) {
    return t == law_symbol_default ? law_facts(id).symbol_default : law_facts(id).symbol_other;
}
