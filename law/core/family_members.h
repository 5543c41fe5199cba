#pragma once
// What the family bases do alike over the laws or law data they hold, one member or many: print
// NAME(a,b,...), date, size, copy and search them, restrict to domains. Each helper takes the
// members as a span.
#include <algorithm>
#include <span>
#include <string>

#include <law/core/counted_array.h>
#include <law/core/law.h>
#include <law/core/law_data.h>
#include <law/core/law_law_data.h>
#include <law/core/pointer_map.h>
#include <law/core/printing.h>

namespace family {

// NAME(a,b,...) over the members' texts.
template <class Member>
std::string call_text(char const *name, std::span<Member *const> members, law_symbol_type type,
                      int &count, law_data_node *&list) {
    std::string t = std::string(name) + "(";
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (i) t += ",";
        t += sub_text(members[i], type, count, list);
    }
    return t + ")";
}

// The latest date of the members, and never before the base date.
template <class Member>
int latest_date(std::span<Member *const> members) {
    int d = law_base_date;
    for (Member const *m : members)
        if (m) d = std::max(d, m->date());
    return d;
}

template <class Member>
void add_sizes(SizeAccumulator &acc, std::span<Member *const> members) {
    for (Member const *m : members)
        if (m) m->full_size(acc, 1);
}

inline law *copy_in(pointer_map *map, law const *l) { return pm_get_law(map, l); }
inline law_data *copy_in(pointer_map *map, law_data const *d) { return pm_get_law_data(map, d); }

// The members' copies within the map of a deep copy, in order (null stays null).
template <class Member>
counted_array<Member> copies(pointer_map *map, std::span<Member *const> members) {
    counted_array<Member> out(static_cast<int>(members.size()));
    for (Member const *m : members) out.push(adopt(m ? copy_in(map, m) : nullptr));
    return out;
}

// The law hasa searches below a member: the law itself, or the law that law data wraps.
inline law const *searched(law const *l) { return l; }
inline law const *searched(law_data const *d) { return wrapped_law(d); }

template <class Member>
void search(std::span<Member *const> members, int type, VOID_LIST &out) {
    for (Member const *m : members)
        if (law const *l = m ? searched(m) : nullptr) l->hasa(type, out);
}

// A family law's restriction to the domains: the law rebuilt over its restricted members
// (flag 0 also wraps it in the domain), or the base restriction when the class builds none.
inline law *restricted(law const *self, law_ptr const &rebuilt, ZEM::interval const *domains,
                       int flag) {
    if (!rebuilt) return self->law::set_domain(domains, flag);
    return flag == 0 ? rebuilt->law::set_domain(domains, 0) : share(rebuilt.get()).release();
}

}  // namespace family
