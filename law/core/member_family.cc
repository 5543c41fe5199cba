#include <law/core/member_family.h>

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
    family::search(members_.all(), type, out);
    law::hasa(type, out);
}

template class member_family<unary_law, one_member<law>>;
template class member_family<unary_data_law, one_member<law_data>>;
template class member_family<multiple_law, member_array<law>>;
template class member_family<multiple_data_law, member_array<law_data>>;
