#pragma once
// Messages and errors. A message_module owns a table of (code name, message) pairs; its
// entries get global error numbers. sys_error raises a number as a vorn_exception.
#include <exception>
#include <string>

struct message_entry {
    char const *name;
    char const *text;
};

class message_module {
  public:
    // table ends with a pair of nulls.
    message_module(char const *module_name, message_entry const *table);
    ~message_module();
    message_module(message_module const &) = delete;
    message_module &operator=(message_module const &) = delete;

    int message_code(int local) const { return base_ + local; }
    char const *name() const { return name_; }
    int size() const { return size_; }
    message_entry const &entry(int local) const { return table_[local]; }

    // The module that owns a global number, or null.
    static message_module const *owner(int code);

  private:
    char const *name_;
    message_entry const *table_;
    int size_;
    int base_;
};

// Extra information a caller may attach to an error.
struct error_info {
    virtual ~error_info() = default;
    virtual std::string describe() const { return {}; }
};

class vorn_exception : public std::exception {
  public:
    explicit vorn_exception(int code, std::string detail = {});
    int code() const noexcept { return code_; }
    char const *code_name() const noexcept;  // "LAW_EVAL", or "UNKNOWN"
    char const *message() const noexcept;    // the table's message, or ""
    char const *module() const noexcept;     // "lawutil", or ""
    // What the raiser said about this case (which argument, which value), or "".
    char const *detail() const noexcept { return detail_.c_str(); }
    char const *what() const noexcept override { return what_.c_str(); }

  private:
    int code_;
    std::string detail_;
    std::string what_;
};

[[noreturn]] void sys_error(int code);
[[noreturn]] void sys_error(int code, error_info *info);
void sys_warning(int code);

// The warnings raised on this thread since the last clear, newest last.
int sys_warning_count();
int sys_last_warning();  // 0 when none
void sys_clear_warnings();

// Test and parser message channel: the last message set on the calling thread.
void TEST_set_error(char const *message);
char const *TEST_get_error();  // "" when none
void TEST_clear_error();

// Nothing in this layer interrupts a computation; kept so the trapping regions read as they do
// in the kernel.
inline bool vorn_interrupted() { return false; }
