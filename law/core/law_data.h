#pragma once
// A counted object through which a law reaches something that is not a law: a curve, surface,
// transform, lattice of points, or another law.
#include <atomic>
#include <concepts>
#include <cstdint>

#include <law/base/accounting.h>
#include <law/base/interval.h>
#include <law/base/memory.h>
#include <law/base/null_ref.h>
#include <law/base/output.h>
#include <law/core/law_ids.h>
#include <law/core/ref_ptr.h>
#include <law/core/use_count.h>

class law_data_node;
struct pointer_map;

// Type codes of the law data classes.
enum law_data_type : int {
    law_data_base_type = 0,
    path_law_data_type = 1,
    wire_law_data_type = 2,
    curve_law_data_type = 3,
    pcurve_law_data_type = 4,
    surface_law_data_type = 5,
    law_law_data_type = 6,
    transform_law_data_type = 7,
    position_array_law_data_type = 8,
    pattern_law_data_type = 9,
    spline_law_data_type = 10
};

class law_data : public ZEM_heap {
  public:
    law_data();
    law_data(law_data const &) = delete;
    law_data &operator=(law_data const &) = delete;

    // Both accept a null law data.
    void add() const {
        if (!null_object(this)) use_count_.fetch_add(1, std::memory_order_relaxed);
    }
    void remove() const;
    int ref_count() const { return use_count_.load(std::memory_order_relaxed); }

    // A description of the data for debugging; the base writes the symbol.
    virtual void print(T4_ostream &out) const;
    virtual char const *symbol(law_symbol_type type) const = 0;
    // The symbol followed by the data's number within the print (Algorithms of printing).
    virtual char *string(law_symbol_type type, int &count, law_data_node *&list) const;
    virtual int date() const { return law_base_date; }
    virtual int type() const { return law_data_base_type; }
    virtual law_data *deep_copy(pointer_map *map = nullptr) const = 0;
    virtual law_data *set_domain(ZEM::interval const *domains) const;
    virtual void full_size(SizeAccumulator &acc, int count_self = 1) const;
    virtual bool operator==(law_data const &other) const;
    bool operator!=(law_data const &other) const { return !(*this == other); }

    // Number of law data alive in the process (for leak checks).
    static long live_count();

  protected:
    // Only remove() may destroy a law data; reaching here with references left is reported as
    // the warning BAD_LAW_DATA_USE_COUNT.
    virtual ~law_data();

  private:
    mutable std::atomic<std::int32_t> use_count_{1};
};

// Comparison of law data of any two classes: the left one's virtual operator== decides. Without
// it, comparing two different derived classes would be ambiguous between the operator and its
// reversed form.
template <class A, class B>
requires(std::derived_from<A, law_data> &&std::derived_from<B, law_data> &&
         !(std::same_as<A, law_data> && std::same_as<B, law_data>)) bool
operator==(A const &a, B const &b) {
    return static_cast<law_data const &>(a).operator==(static_cast<law_data const &>(b));
}

using law_data_ptr = ref_ptr<law_data>;
