// law::evaluate_many: the law's tape run over blocks of points, one operation over a whole block
// at a time, so that arithmetic vectorises and the dispatch is paid once a block. A point the
// block cannot finish (a rare case of a division or a square root, or any error in its block) is
// evaluated on its own, which gives it the values and the error that evaluate gives.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

#include <law/core/eval_buffer.h>
#include <law/eval/eval_tape.h>
#include <law/eval/slot_space.h>

namespace {
// Points of a block: enough to pay the dispatch rarely, few enough that a block's values stay in
// the cache.
constexpr int block_points = 256;

// Where the points come from and where their values go, in either layout.
class point_io {
  public:
    point_io(law const *l, many_points const &at)
        : l_(l),
          in_(l->take_dim()),
          out_(l->return_dim()),
          points_(at.points),
          inputs_(at.inputs),
          values_(at.values),
          outputs_(at.outputs),
          errors_(at.errors),
          x_(std::max(in_, 1)),
          y_(std::max(out_, 1)) {}

    // Input i of the m points from first on, into to[0 .. m - 1].
    void load(int first, int m, int i, double *to) const {
        if (inputs_) {
            std::copy(inputs_[i] + first, inputs_[i] + first + m, to);
        } else if (in_ == 1) {
            std::copy(points_ + first, points_ + first + m, to);
        } else {
            double const *const from = points_ + static_cast<std::ptrdiff_t>(first) * in_ + i;
            for (int k = 0; k < m; ++k) to[k] = from[static_cast<std::ptrdiff_t>(k) * in_];
        }
    }
    // Input i of the points from first on when the layout holds it as one array, else null.
    double const *input_column(int first, int i) const {
        if (inputs_) return inputs_[i] + first;
        return in_ == 1 ? points_ + first : nullptr;
    }
    // Value j of the m points from first on as one array, when the layout holds it so and it
    // shares no memory with the points (the row holds other values before the last).
    double *output_column(int first, int m, int j) const {
        double *const column = outputs_    ? outputs_[j] + first
                               : out_ == 1 ? values_ + first
                                           : nullptr;
        if (!column) return nullptr;
        auto const apart = [column, m](double const *from, std::ptrdiff_t count) {
            auto const address = [](double const *p) {
                return reinterpret_cast<std::uintptr_t>(p);
            };
            return address(column + m) <= address(from) || address(from + count) <= address(column);
        };
        if (!inputs_)
            return apart(points_ + static_cast<std::ptrdiff_t>(first) * in_,
                         static_cast<std::ptrdiff_t>(m) * in_)
                       ? column
                       : nullptr;
        for (int i = 0; i < in_; ++i)
            if (!apart(inputs_[i] + first, m)) return nullptr;
        return column;
    }
    // Value j of the m points from first on, from from[0 .. m - 1].
    void store(int first, int m, int j, double const *from) {
        if (outputs_) {
            std::copy(from, from + m, outputs_[j] + first);
        } else if (out_ == 1) {
            std::copy(from, from + m, values_ + first);
        } else {
            double *const to = values_ + static_cast<std::ptrdiff_t>(first) * out_ + j;
            for (int k = 0; k < m; ++k) to[static_cast<std::ptrdiff_t>(k) * out_] = from[k];
        }
    }
    // Point k as one array (the layout's own when it has one).
    double const *point(int k) {
        if (!inputs_) return points_ ? points_ + static_cast<std::ptrdiff_t>(k) * in_ : x_.data();
        for (int i = 0; i < in_; ++i) x_[i] = inputs_[i][k];
        return x_.data();
    }
    void put(int k, int j, double value) {
        if (outputs_)
            outputs_[j][k] = value;
        else
            values_[static_cast<std::ptrdiff_t>(k) * out_ + j] = value;
    }
    void succeeded(int first, int m) {
        if (errors_) std::fill(errors_ + first, errors_ + first + m, 0);
    }
    int outputs() const { return out_; }

    // Point k by evaluate, with its error recorded when errors are asked for, raised otherwise.
    void evaluate_one(int k) {
        if (!errors_) return evaluate_into(k);
        try {
            evaluate_into(k);
            errors_[k] = 0;
        } catch (vorn_exception const &e) {
            errors_[k] = e.code();
            for (int j = 0; j < out_; ++j) put(k, j, std::numeric_limits<double>::quiet_NaN());
        }
    }

  private:
    void evaluate_into(int k) {
        double const *const x = point(k);
        l_->evaluate(x, y_);
        for (int j = 0; j < out_; ++j) put(k, j, y_[j]);
    }

    law const *l_;
    int in_, out_;
    double const *points_;
    double const *const *inputs_;
    double *values_;
    double *const *outputs_;
    int *errors_;
    eval_buffer x_, y_;
};

// The rows of a block's slots: the tape's own space, or the caller's arrays where the layout
// holds an input or a value as a column of its own, which saves copying it in or out.
class block_rows {
  public:
    block_rows(eval_tape const &t, int w)
        : slots_(t.slot_count()),
          w_(w),
          space_(static_cast<std::size_t>(slots_) * static_cast<std::size_t>(w)),
          rows_(slots_ <= on_stack ? local_ : new double *[static_cast<std::size_t>(slots_)]) {
        if (rows_ != local_) heap_.reset(rows_);
        reset();
        t.fill_constants(rows_, w);
    }
    // Every slot in the tape's own space again.
    void reset() {
        for (int s = 0; s < slots_; ++s) rows_[s] = own(s);
    }
    double *own(int slot) { return space_.data() + static_cast<std::ptrdiff_t>(slot) * w_; }
    double *&operator[](int slot) { return rows_[slot]; }
    double *const *data() const { return rows_; }

  private:
    static constexpr int on_stack = 64;
    int slots_, w_;
    slot_space space_;
    double *local_[on_stack];
    double **rows_;
    std::unique_ptr<double *[]> heap_;
};

// The points first .. first + m - 1 as one block; false when the block raised an error, which
// leaves every point of it to its own evaluation.
bool run_block(eval_tape const &t, point_io &io, block_rows &rows, int first, int m,
               unsigned char *rare) {
    std::fill(rare, rare + m, 0);
    rows.reset();
    int const n = std::min(io.outputs(), t.output_count());
    for (int j = 0; j < n; ++j)
        if (t.output_row_is_own(j))
            if (double *const column = io.output_column(first, m, j))
                rows[t.output_slot(j)] = column;
    t.each_input([&](int slot, int i) {
        // The operations never write an input's row.
        if (double const *column = io.input_column(first, i))
            rows[slot] = const_cast<double *>(column);
        else
            io.load(first, m, i, rows[slot]);
    });
    struct shifted {
        point_io *io;
        int first;
    };
    try {
        shifted at{&io, first};
        t.run_block(
            rows.data(), m, rare,
            [](void const *p, int k) {
                auto const *s = static_cast<shifted const *>(p);
                return s->io->point(s->first + k);
            },
            &at);
    } catch (vorn_exception const &) {
        return false;
    }
    // Rare points are written too: their own evaluation overwrites them.
    for (int j = 0; j < n; ++j) {
        int const slot = t.output_slot(j);
        bool const in_place = t.output_row_is_own(j) && rows[slot] != rows.own(slot);
        if (!in_place) io.store(first, m, j, rows[slot]);
    }
    io.succeeded(first, m);
    return true;
}

void run_blocks(eval_tape const &t, point_io &io, int n) {
    int const w = std::min(n, block_points);
    block_rows rows(t, w);
    unsigned char rare[block_points];
    for (int first = 0; first < n; first += w) {
        int const m = std::min(w, n - first);
        bool const whole = run_block(t, io, rows, first, m, rare);
        // In the order of the points, so that the first failing point raises its error.
        if (whole && std::find(rare, rare + m, 1) == rare + m) continue;
        for (int k = 0; k < m; ++k)
            if (!whole || rare[k]) io.evaluate_one(first + k);
    }
}

void evaluate_points(eval_tape const *t, point_io &io, int n) {
    if (t && n > 1) return run_blocks(*t, io, n);
    for (int k = 0; k < n; ++k) io.evaluate_one(k);
}

void evaluate_many(law const *l, law_code const *code, many_points const &at) {
    point_io io(l, at);
    // Every law's code is a tape.
    evaluate_points(static_cast<eval_tape const *>(code), io, at.n);
}

[[maybe_unused]] bool const runner_installed = (engine().evaluate_many = evaluate_many, true);
}  // namespace
