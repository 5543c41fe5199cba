#include <law/base/errors.h>

#include <array>
#include <atomic>
#include <string>
#include <utility>

namespace {
constexpr int module_stride = 1000;
constexpr int max_modules = 32;
// Constant-initialised so that modules built by static objects in any order are kept.
constinit std::array<std::atomic<message_module const *>, max_modules> modules{};
constinit std::atomic<int> module_count{0};

thread_local std::string test_error;
thread_local int warning_count = 0;
thread_local int last_warning = 0;
}  // namespace

message_module::message_module(char const *module_name, message_entry const *table)
    : name_(module_name), table_(table), size_(0) {
    while (table_[size_].name) ++size_;
    int const slot = module_count.fetch_add(1);
    base_ = (slot + 1) * module_stride;
    if (slot < max_modules) modules[slot].store(this);
}

message_module::~message_module() {
    for (auto &m : modules) {
        message_module const *self = this;
        m.compare_exchange_strong(self, nullptr);
    }
}

message_module const *message_module::owner(int code) {
    int const slot = code / module_stride - 1;
    if (slot < 0 || slot >= max_modules) return nullptr;
    message_module const *m = modules[slot].load();
    if (!m || code - m->base_ >= m->size_) return nullptr;
    return m;
}

namespace {
message_entry const *entry_of(int code) {
    message_module const *m = message_module::owner(code);
    return m ? &m->entry(code - m->message_code(0)) : nullptr;
}
}  // namespace

vorn_exception::vorn_exception(int code, std::string detail)
    : code_(code), detail_(std::move(detail)) {
    what_ = std::string(code_name()) + ": " + message();
    if (!detail_.empty()) what_ += " (" + detail_ + ")";
}

char const *vorn_exception::code_name() const noexcept {
    message_entry const *e = entry_of(code_);
    return e ? e->name : "UNKNOWN";
}

char const *vorn_exception::message() const noexcept {
    message_entry const *e = entry_of(code_);
    return e ? e->text : "";
}

char const *vorn_exception::module() const noexcept {
    message_module const *m = message_module::owner(code_);
    return m ? m->name() : "";
}

void sys_error(int code) { throw vorn_exception(code); }

void sys_error(int code, error_info *info) {
    throw vorn_exception(code, info ? info->describe() : std::string());
}

void sys_warning(int code) {
    ++warning_count;
    last_warning = code;
}

int sys_warning_count() { return warning_count; }
int sys_last_warning() { return last_warning; }
void sys_clear_warnings() { warning_count = 0, last_warning = 0; }

void TEST_set_error(char const *message) { test_error = message ? message : ""; }
char const *TEST_get_error() { return test_error.c_str(); }
void TEST_clear_error() { test_error.clear(); }
