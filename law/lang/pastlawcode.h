#pragma once
// The laws a code generator has already written, with the numbers of their variables: a singly
// linked list of records, each holding one reference to its law.
#include <law/base/memory.h>

class law;

class pastlawcode : public ZEM_heap {
  public:
    // Stores the number and the law (with a reference of its own) and links the record after
    // prev when given.
    pastlawcode(pastlawcode *prev, law *l, int number);
    // Releases the law and destroys the records after this one.
    ~pastlawcode();
    pastlawcode(pastlawcode const &) = delete;
    pastlawcode &operator=(pastlawcode const &) = delete;

    // The number of the first record from this one whose law is l itself, or of l's class and
    // `same` as l; -1 when there is none.
    int past(law *l) const;

    int number() const { return number_; }
    law *recorded() const { return law_; }
    pastlawcode *next() const { return next_; }

  private:
    int number_;
    law *law_;
    pastlawcode *next_ = nullptr;
};
