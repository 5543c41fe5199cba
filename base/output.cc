#include <law/base/output.h>

#include <cstdarg>
#include <cstring>

#include <law/base/memory.h>

FILE *debug_file_ptr = stdout;

void set_debug_file(FILE *f) { debug_file_ptr = f ? f : stdout; }

int zem_printf(char const *fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int const n = std::vfprintf(debug_file_ptr ? debug_file_ptr : stdout, fmt, args);
    va_end(args);
    return n;
}

int zem_fprintf(FILE *f, char const *fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int const n = std::vfprintf(f ? f : debug_file_ptr, fmt, args);
    va_end(args);
    return n;
}

T4_ostream &T4_ostream::operator<<(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.16g", v);
    text_ += buf;
    return *this;
}

char *zem_new_str_from(char const *s) {
    if (!s) return nullptr;
    std::size_t const n = std::strlen(s) + 1;
    char *copy = VORN_ARRAY(char, n);
    std::memcpy(copy, s, n);
    return copy;
}
