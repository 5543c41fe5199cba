#pragma once
// The C++ code that rebuilds a law with constructors and then releases every temporary it made:
// one generated program for one law, printed through zem_printf.
#include <law/base/memory.h>

class law;
class codeline;

class lawcode : public ZEM_heap {
  public:
    // Writes the lines of l, the first under name (null for an anonymous variable) and every
    // other under the prefix and a running number, using the calling thread's generator state.
    // A null law, or a name or prefix that cannot serve as a C++ variable, raises LAW_EVAL or
    // LAW_SYNTAX. Holds one reference to l.
    lawcode(law *l, char const *name, char const *prefix);
    ~lawcode();
    lawcode(lawcode const &) = delete;
    lawcode &operator=(lawcode const &) = delete;

    // The program: a heading with the printed law, the lines from the last back to the first
    // (every variable is defined before it is used), the clean-up lines, a closing comment.
    void print() const;

    // Whether the constructor takes name (null or "" for none) and prefix: the prefix a C++
    // identifier, the name one too or an array element such as "out[2]", neither a keyword nor
    // "law", and the name none of the prefix's numbered variables.
    static bool names_usable(char const *name, char const *prefix);

    codeline *first() const { return first_; }

  private:
    codeline *first_ = nullptr;
    law *law_ = nullptr;
};
