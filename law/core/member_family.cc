#include <law/core/member_family.h>

#include <algorithm>
#include <string>
#include <type_traits>

#include <law/core/deep_tree.h>
#include <law/core/family_members.h>
#include <law/core/multiple_data_law.h>
#include <law/core/multiple_law.h>
#include <law/core/unary_data_law.h>
#include <law/core/unary_law.h>

template <class Self, class Members>
int member_family<Self, Members>::date() const {
    return family::latest_date(members_.all());
}

template <class Self, class Members>
void member_family<Self, Members>::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(Self));
    full_size_caches(acc);
    acc.addSize(members_.outside_bytes());
    family::add_sizes(acc, members_.all());
}

template <class Self, class Members>
void member_family<Self, Members>::hasa(int type, VOID_LIST &out) const {
    shared_walk const walk;
    if (!shared_walk::first_visit(this)) return;
    family::search(members_.all(), type, out);
    law::hasa(type, out);
}

template <class Self, class Members>
void member_family<Self, Members>::missing_members() const {
    using member_type = typename Members::member_type;
    auto const members = members_.all();
    member_words const words = words_of(static_cast<member_type const *>(nullptr));
    std::string const name = class_name();
    if (members.empty() || std::is_same_v<Members, one_member<member_type>>)
        law_error(LAW_NULL_LAW, name + " has no " + words.many);
    auto const i = std::find(members.begin(), members.end(), nullptr) - members.begin();
    law_error(LAW_NULL_LAW,
              std::string(words.one) + " " + std::to_string(i + 1) + " of " + name + " is null");
}

namespace member_checks {

int checked_count(bool has_array, int n, member_words words) {
    if (n < 0) law_error(LAW_DIM, "a law of " + std::to_string(n) + " " + words.many);
    if (!has_array && n > 0)
        law_error(LAW_NULL_LAW,
                  "the array of " + std::to_string(n) + " " + words.many + " is null");
    return has_array ? n : 0;
}

void null_entry(int i, int n, member_words words) {
    law_error(LAW_NULL_LAW, std::string(words.one) + " " + std::to_string(i + 1) + " of " +
                                std::to_string(n) + " is null");
}

}  // namespace member_checks

template class member_family<unary_law, one_member<law>>;
template class member_family<unary_data_law, one_member<law_data>>;
template class member_family<multiple_law, member_array<law>>;
template class member_family<multiple_data_law, member_array<law_data>>;
