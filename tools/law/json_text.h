#pragma once
// JSON text of the tool's results: objects and arrays built field by field, numbers written as
// the tool writes them (write_number), infinities and NaN as null.
#include <concepts>
#include <span>
#include <string>
#include <string_view>

namespace law_tool {

class json_array;

class json_object {
  public:
    json_object &add(std::string_view key, double v);
    json_object &add(std::string_view key, std::integral auto v) {
        return add_raw(key, std::to_string(v));
    }
    json_object &add(std::string_view key, bool v) { return add_raw(key, v ? "true" : "false"); }
    json_object &add(std::string_view key, std::string_view text);
    json_object &add(std::string_view key, char const *text) {
        return add(key, std::string_view(text));
    }
    json_object &add(std::string_view key, std::string const &text) {
        return add(key, std::string_view(text));
    }
    json_object &add(std::string_view key, std::span<double const> values);
    json_object &add(std::string_view key, json_array const &a);
    json_object &add(std::string_view key, json_object const &o);
    json_object &add_null(std::string_view key) { return add_raw(key, "null"); }

    // "{...}"
    std::string text() const { return "{" + body_ + "}"; }

  private:
    json_object &add_raw(std::string_view key, std::string_view json);
    std::string body_;
};

class json_array {
  public:
    json_array() = default;
    explicit json_array(std::span<double const> values);
    json_array &push(double v);
    json_array &push(json_array const &a) { return push_raw(a.text()); }
    json_array &push(json_object const &o) { return push_raw(o.text()); }
    json_array &push_null() { return push_raw("null"); }

    // "[...]"
    std::string text() const { return "[" + body_ + "]"; }

  private:
    json_array &push_raw(std::string_view json);
    std::string body_;
};

// The JSON text of a number (null when it is not finite) and of a string.
std::string json_number(double v);
std::string json_string(std::string_view text);

// Prints the object on a line of its own on standard output.
void print_json(json_object const &o);

}  // namespace law_tool
