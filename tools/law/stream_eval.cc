#include "stream_eval.h"

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <law/law.h>

#include "echo.h"
#include "law_reader.h"
#include "numbers.h"
#include "tool.h"

namespace law_tool {
namespace {

constexpr std::size_t chunk = std::size_t{1} << 20;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// Output gathered into one large block and written when full.
class block_writer {
  public:
    explicit block_writer(int fd) : fd_(fd), buf_(chunk) {}
    // Room for n more characters.
    char *reserve(std::size_t n) {
        if (used_ + n > buf_.size()) {
            flush();
            if (n > buf_.size()) buf_.resize(n);
        }
        return buf_.data() + used_;
    }
    void commit(char *end) { used_ = static_cast<std::size_t>(end - buf_.data()); }
    void flush() {
        char const *p = buf_.data();
        std::size_t left = used_;
        while (left > 0) {
            ssize_t const n = ::write(fd_, p, left);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) throw tool_error(std::string("cannot write: ") + std::strerror(errno));
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        used_ = 0;
    }

  private:
    int fd_;
    std::vector<char> buf_;
    std::size_t used_ = 0;
};

// Input read in large blocks and handed out line by line; a line may be of any length.
class line_reader {
  public:
    explicit line_reader(int fd) : fd_(fd), buf_(chunk) {}
    // The next line without its end, or false at end of input.
    bool next(char const *&first, char const *&last) {
        for (;;) {
            if (void const *nl = std::memchr(buf_.data() + begin_, '\n', end_ - begin_)) {
                first = buf_.data() + begin_;
                last = static_cast<char const *>(nl);
                begin_ = static_cast<std::size_t>(last - buf_.data()) + 1;
                return true;
            }
            if (eof_) {
                if (begin_ == end_) return false;
                first = buf_.data() + begin_;
                last = buf_.data() + end_;
                begin_ = end_;
                return true;
            }
            fill();
        }
    }

  private:
    void fill() {
        std::size_t const pending = end_ - begin_;
        if (begin_ > 0) {
            std::memmove(buf_.data(), buf_.data() + begin_, pending);
            begin_ = 0;
            end_ = pending;
        }
        if (end_ == buf_.size()) buf_.resize(buf_.size() * 2);
        ssize_t n;
        do n = ::read(fd_, buf_.data() + end_, buf_.size() - end_);
        while (n < 0 && errno == EINTR);
        if (n < 0) throw tool_error(std::string("cannot read: ") + std::strerror(errno));
        if (n == 0) eof_ = true;
        end_ += static_cast<std::size_t>(n);
    }

    int fd_;
    std::vector<char> buf_;
    std::size_t begin_ = 0, end_ = 0;
    bool eof_ = false;
};

[[noreturn]] void line_error(long line, std::string const &what) {
    throw tool_error("line " + std::to_string(line) + ": " + what);
}

std::string word_at(char const *p, char const *last) {
    char const *e = p;
    while (e != last && !is_blank(*e)) ++e;
    return echoed(std::string_view(p, static_cast<std::size_t>(e - p)));
}

// Reads the first n values of [first, last) into x; what follows them is not read.
void read_point(char const *first, char const *last, double *x, int n, long line) {
    char const *p = first;
    for (int count = 0; count < n; ++count) {
        while (p != last && is_blank(*p)) ++p;
        if (p == last)
            line_error(line, "the law takes " + count_text(n, "input") + ", the line has " +
                                 count_text(count, "value"));
        char const *end = read_number_at(p, last, x[count]);
        if (!end || (end != last && !is_blank(*end)))
            line_error(line, "\"" + word_at(p, last) + "\" is not a number");
        p = end;
    }
}

// Blank lines and "#" comments carry no point.
bool is_comment_or_blank(char const *first, char const *last) {
    while (first != last && is_blank(*first)) ++first;
    return first == last || *first == '#';
}

// Points read and not yet evaluated, evaluated many at a time and written in their order; the
// first point that fails stops the stream with its line's error after the points before it.
class point_batch {
  public:
    point_batch(law const &l, block_writer &out, bool json)
        : l_(l),
          takes_(l.take_dim()),
          gives_(l.return_dim()),
          json_(json),
          line_room_(
              static_cast<std::size_t>(gives_ + (json ? takes_ : 0)) * (max_number_chars + 1) + 64),
          out_(out),
          x_(static_cast<std::size_t>(std::max(takes_, 1)) * capacity),
          y_(static_cast<std::size_t>(std::max(gives_, 1)) * capacity),
          errors_(capacity),
          lines_(capacity) {}
    // Room for the next point's inputs.
    double *next_point() { return x_.data() + static_cast<std::ptrdiff_t>(count_) * takes_; }
    void keep(long line) {
        lines_[static_cast<std::size_t>(count_++)] = line;
        if (count_ == capacity) evaluate_and_write();
    }
    void evaluate_and_write() {
        int const n = count_;
        count_ = 0;
        l_.evaluate_many(x_.data(), y_.data(), n, errors_.data());
        for (int k = 0; k < n; ++k) {
            double const *y = y_.data() + static_cast<std::ptrdiff_t>(k) * gives_;
            if (errors_[static_cast<std::size_t>(k)]) fail(k);
            for (int i = 0; i < gives_; ++i)
                if (!std::isfinite(y[i]))
                    line_error(lines_[static_cast<std::size_t>(k)],
                               non_finite_text(y[i], i, gives_));
            char *p = out_.reserve(line_room_);
            if (json_) {
                p = write_json_line(p, k, y);
            } else {
                p = write_numbers(p, y, gives_, ' ');
                *p++ = '\n';
            }
            out_.commit(p);
        }
    }

  private:
    static constexpr int capacity = 4096;

    static char *append(char *p, std::string_view text) {
        return std::copy(text.begin(), text.end(), p);
    }
    // JSON has no inf or nan: a point read from "inf" is written null there.
    static char *write_numbers(char *p, double const *v, int n, char between) {
        for (int i = 0; i < n; ++i) {
            if (i) *p++ = between;
            p = between == ',' && !std::isfinite(v[i]) ? append(p, "null") : write_number(p, v[i]);
        }
        return p;
    }
    char *write_json_line(char *p, int k, double const *y) const {
        p = append(p, "{\"line\":");
        p = std::to_chars(p, p + 24, lines_[static_cast<std::size_t>(k)]).ptr;
        p = append(p, ",\"point\":[");
        p = write_numbers(p, x_.data() + static_cast<std::ptrdiff_t>(k) * takes_, takes_, ',');
        p = append(p, "],\"values\":[");
        p = write_numbers(p, y, gives_, ',');
        return append(p, "]}\n");
    }
    // The point alone again, for its error as evaluate raises it.
    [[noreturn]] void fail(int k) {
        long const line = lines_[static_cast<std::size_t>(k)];
        try {
            std::vector<double> y(static_cast<std::size_t>(std::max(gives_, 1)));
            l_.evaluate(x_.data() + static_cast<std::ptrdiff_t>(k) * takes_, y.data());
        } catch (vorn_exception const &e) {
            line_error(line, law_error_text(e));
        }
        line_error(line, "the point failed");
    }

    law const &l_;
    int takes_, gives_;
    bool json_;
    std::size_t line_room_;
    block_writer &out_;
    std::vector<double> x_, y_;
    std::vector<int> errors_;
    std::vector<long> lines_;
    int count_ = 0;
};

}  // namespace

void evaluate_stream(law const &l, int in_fd, int out_fd, bool json) {
    int const takes = l.take_dim();
    line_reader in(in_fd);
    block_writer out(out_fd);
    point_batch points(l, out, json);
    char const *first = nullptr;
    char const *last = nullptr;
    long line = 0;
    try {
        while (in.next(first, last)) {
            ++line;
            if (is_comment_or_blank(first, last)) continue;
            try {
                read_point(first, last, points.next_point(), takes, line);
            } catch (tool_error const &) {
                points.evaluate_and_write();  // the lines before come first
                throw;
            }
            points.keep(line);
        }
        points.evaluate_and_write();
    } catch (...) {
        out.flush();
        throw;
    }
    out.flush();
}

}  // namespace law_tool
