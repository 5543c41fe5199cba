#pragma once
// A set of laws by address, for walks that meet every law of a tree once: open addressing in one
// array, so that a walk over a million laws makes a handful of allocations instead of one per
// law. Internal to the library.
#include <cstdint>
#include <vector>

class law;

class law_pointer_set {
  public:
    // Adds l; whether it was not there yet.
    bool insert(law const *l) {
        if (2 * (size_ + 1) > slots_.size()) grow();
        if (!place(slots_, l)) return false;
        ++size_;
        return true;
    }

  private:
    static std::size_t spread(law const *l) {
        // Laws are aligned: the low bits say nothing. A multiplicative hash mixes the rest.
        return static_cast<std::size_t>((reinterpret_cast<std::uintptr_t>(l) >> 4) *
                                        0x9E3779B97F4A7C15ull);
    }
    static bool place(std::vector<law const *> &slots, law const *l) {
        std::size_t const mask = slots.size() - 1;
        for (std::size_t i = spread(l) & mask;; i = (i + 1) & mask) {
            if (slots[i] == l) return false;
            if (!slots[i]) {
                slots[i] = l;
                return true;
            }
        }
    }
    void grow() {
        std::vector<law const *> bigger(slots_.empty() ? 64 : 2 * slots_.size(), nullptr);
        for (law const *l : slots_)
            if (l) place(bigger, l);
        slots_.swap(bigger);
    }

    std::vector<law const *> slots_;
    std::size_t size_ = 0;
};
