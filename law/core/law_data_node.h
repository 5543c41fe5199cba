#pragma once
// The list of law data met while printing a law, newest first.
#include <law/base/memory.h>

class law_data;

class law_data_node : public ZEM_heap {
  public:
    // Takes a reference to data and increments count.
    law_data_node(law_data *data, law_data_node *next, int &count);
    ~law_data_node();  // releases its data and the rest of the chain
    law_data_node(law_data_node const &) = delete;
    law_data_node &operator=(law_data_node const &) = delete;

    law_data *data() const { return data_; }
    law_data_node *next() const { return next_; }
    int size(bool include_empty) const;
    // A new array (vorn_allocate) of the law data in the order met; returns the count.
    int get_array(law_data **&out, bool include_empty) const;

  private:
    law_data *data_;
    law_data_node *next_;
};
