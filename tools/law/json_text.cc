#include "json_text.h"

#include <cmath>
#include <cstdio>

#include "numbers.h"

namespace law_tool {

std::string json_number(double v) {
    if (!std::isfinite(v)) return "null";
    char buf[max_number_chars];
    return std::string(buf, write_number(buf, v));
}

std::string json_string(std::string_view text) {
    std::string out = "\"";
    for (char const c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

json_object &json_object::add_raw(std::string_view key, std::string_view json) {
    if (!body_.empty()) body_ += ',';
    body_ += json_string(key);
    body_ += ':';
    body_ += json;
    return *this;
}

json_object &json_object::add(std::string_view key, double v) {
    return add_raw(key, json_number(v));
}

json_object &json_object::add(std::string_view key, std::string_view text) {
    return add_raw(key, json_string(text));
}

json_object &json_object::add(std::string_view key, std::span<double const> values) {
    return add_raw(key, json_array(values).text());
}

json_object &json_object::add(std::string_view key, json_array const &a) {
    return add_raw(key, a.text());
}

json_object &json_object::add(std::string_view key, json_object const &o) {
    return add_raw(key, o.text());
}

json_array::json_array(std::span<double const> values) {
    for (double const v : values) push(v);
}

json_array &json_array::push(double v) { return push_raw(json_number(v)); }

json_array &json_array::push_raw(std::string_view json) {
    if (!body_.empty()) body_ += ',';
    body_ += json;
    return *this;
}

void print_json(json_object const &o) { std::printf("%s\n", o.text().c_str()); }

}  // namespace law_tool
