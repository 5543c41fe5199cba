#pragma once
// The present time in UTC as the exchange files stamp it, in a strftime format.
#include <ctime>
#include <string>

inline std::string utc_time_text(char const *format) {
    std::time_t const now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, format, &tm);
    return buf;
}
