#pragma once
// Debug output and text buffers.
#include <cstdio>
#include <string>

// Where debug prints go; stdout unless set.
extern FILE *debug_file_ptr;
void set_debug_file(FILE *f);

int zem_printf(char const *fmt, ...) __attribute__((format(printf, 1, 2)));
int zem_fprintf(FILE *f, char const *fmt, ...) __attribute__((format(printf, 2, 3)));

// A text stream into a character buffer.
class T4_ostream {
  public:
    T4_ostream &operator<<(char const *s) {
        text_ += s ? s : "";
        return *this;
    }
    T4_ostream &operator<<(char c) {
        text_ += c;
        return *this;
    }
    T4_ostream &operator<<(int v) {
        text_ += std::to_string(v);
        return *this;
    }
    T4_ostream &operator<<(double v);
    char const *str() const { return text_.c_str(); }
    std::size_t size() const { return text_.size(); }

  private:
    std::string text_;
};

// A new copy of s from vorn_allocate (the caller gives it back with vorn_discard); null for null.
char *zem_new_str_from(char const *s);
