#pragma once
// A wire held as wire law data: curves laid end to end, each taking the stretch of the wire's
// parameter as long as its own range. Registered with the parser as CHAIN.
#include <vector>

#include <law/data/path_law_data.h>

class chain_law_data : public base_wire_law_data {
  public:
    // Curve law data in order (a reference each); the wire's parameter starts at the first
    // segment's range start. No segment, or law data that is not a curve: LAW_DATA_UNKNOWN.
    chain_law_data(base_curve_law_data const *const *segments, int n);
    // One unit line: the registry's prototype.
    chain_law_data();

    int size() const { return static_cast<int>(segments_.size()); }
    base_curve_law_data const &segment(int i) const { return *segments_[i]; }
    // The segment that holds t, and t in its own parameter: a joint belongs to the segment
    // after it, or before it when side is -1.
    int which_segment(double t, int side, double &local) const;

    char const *symbol(law_symbol_type) const override { return "CHAIN"; }
    void print(T4_ostream &out) const override;
    law_data *deep_copy(pointer_map *map = nullptr) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;
    bool operator==(law_data const &other) const override;
    ZEM::vector eval(double t, int nderiv = 0, int side = 0) const override;
    double curvature(double t) const override;

  protected:
    ~chain_law_data() override;

  private:
    chain_law_data(base_curve_law_data const *const *segments, int n, double start);

    std::vector<base_curve_law_data const *> segments_;
    std::vector<double> ends_;  // the wire's parameter at the end of each segment
};
