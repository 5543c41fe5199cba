#pragma once
// One line of generated code that rebuilds a law with constructors, and the line that releases
// what it made; the lines of one program are chained, each sub-law's lines after the line that
// uses it.
#include <law/base/memory.h>

class law;

class codeline : public ZEM_heap {
  public:
    // The line of l under name (null for an anonymous variable made of the prefix and the
    // calling thread's running number), followed by the lines of its sub-laws; the caller keeps
    // name. With l null the text is name itself and the line takes it over: name must then come
    // from the library's allocator (zem_new_str_from, vorn_allocate), and the line frees it.
    // The walk keeps its own list of pending work, so that deep trees do not deepen the stack.
    codeline(law *l, char *name, char const *prefix);
    // Frees the two texts (not the lines after this one: destroy_chain does that).
    ~codeline();
    codeline(codeline const &) = delete;
    codeline &operator=(codeline const &) = delete;

    // Builds codeline(l, name, prefix) with its sub-lines (taking name over when l is null) and
    // links it after the last line reachable from this one.
    void add(law *l, char *name, char const *prefix);
    // The text, and the clean-up text when there is one, through zem_printf.
    void print() const;
    void remove_print() const;

    char const *text() const { return text_; }
    char const *remove_text() const { return remove_text_; }
    codeline *next() const { return next_; }
    codeline *prev() const { return prev_; }

    // Destroys first and every line after it.
    static void destroy_chain(codeline *first);

  private:
    codeline() = default;
    friend class code_writer;

    char *text_ = nullptr;
    char *remove_text_ = nullptr;
    codeline *next_ = nullptr;
    codeline *prev_ = nullptr;
};
