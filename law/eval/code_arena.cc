#include <law/eval/code_arena.h>

#include <array>
#include <cstring>
#include <mutex>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#define LAW_CODE_ARENA 1
#endif

#ifdef LAW_CODE_ARENA
namespace {

// Chunks are mapped this size at a time; a block of more than a quarter of it gets a mapping of
// its own, which is unmapped when it is given back.
constexpr std::size_t chunk_size = std::size_t{256} << 10;
constexpr std::size_t largest_shared = chunk_size / 4;
// Size classes: every multiple of the granule up to small_limit, then powers of 2.
constexpr std::size_t small_limit = 1024;
constexpr std::size_t small_classes = small_limit / code_arena::granule;
constexpr std::size_t class_count = small_classes + 6;  // 2k, 4k, ... 64k
static_assert(small_limit << (class_count - small_classes) == largest_shared);

constexpr unsigned char trap = 0xcc;  // int3

std::size_t class_of(std::size_t n) {
    if (n <= small_limit) return (n + code_arena::granule - 1) / code_arena::granule - 1;
    std::size_t c = small_classes, size = small_limit * 2;
    while (size < n) {
        size *= 2;
        ++c;
    }
    return c;
}

std::size_t size_of_class(std::size_t c) {
    if (c < small_classes) return (c + 1) * code_arena::granule;
    return small_limit << (c - small_classes + 1);
}

std::size_t round_to_pages(std::size_t n) {
    std::size_t const page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return (n + page - 1) / page * page;
}

// The two views of n bytes of a new memory file; false when the system refuses either.
bool map_views(std::size_t n, unsigned char *&write, unsigned char *&run) {
    int const fd = memfd_create("law-code", MFD_CLOEXEC);
    if (fd < 0) return false;
    void *w = MAP_FAILED, *r = MAP_FAILED;
    if (ftruncate(fd, static_cast<off_t>(n)) == 0) {
        w = mmap(nullptr, n, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        r = mmap(nullptr, n, PROT_READ | PROT_EXEC, MAP_SHARED, fd, 0);
    }
    close(fd);  // the mappings keep the file
    if (w == MAP_FAILED || r == MAP_FAILED) {
        if (w != MAP_FAILED) munmap(w, n);
        if (r != MAP_FAILED) munmap(r, n);
        return false;
    }
    write = static_cast<unsigned char *>(w);
    run = static_cast<unsigned char *>(r);
    std::memset(write, trap, n);
    return true;
}

// A free block keeps the way back to its executable view in its own first bytes.
struct free_block {
    free_block *next;
    unsigned char const *run;
};

class arena {
  public:
    code_arena::block take(std::size_t n) {
        if (n > largest_shared) return own_mapping(n);
        std::lock_guard<std::mutex> const hold(mutex_);
        if (refused_) return {};
        std::size_t const c = class_of(n), size = size_of_class(c);
        if (free_block *f = free_[c]) {
            free_[c] = f->next;
            taken_ += size;
            code_arena::block const b{reinterpret_cast<unsigned char *>(f), f->run, size};
            std::memset(b.write, trap, sizeof(free_block));
            return b;
        }
        if (left_ < size && !new_chunk()) return {};
        code_arena::block const b{next_write_, next_run_, size};
        next_write_ += size;
        next_run_ += size;
        left_ -= size;
        taken_ += size;
        return b;
    }

    void give_back(code_arena::block b) {
        std::memset(b.write, trap, b.size);
        if (b.size > largest_shared) {
            munmap(b.write, b.size);
            munmap(const_cast<unsigned char *>(b.run), b.size);
            std::lock_guard<std::mutex> const hold(mutex_);
            mapped_ -= b.size;
            taken_ -= b.size;
            return;
        }
        std::lock_guard<std::mutex> const hold(mutex_);
        push(class_of(b.size), b.write, b.run);
        taken_ -= b.size;
    }

    code_arena::usage in_use() {
        std::lock_guard<std::mutex> const hold(mutex_);
        return {mapped_, taken_};
    }

  private:
    void push(std::size_t c, unsigned char *write, unsigned char const *run) {
        auto *const f = reinterpret_cast<free_block *>(write);
        f->next = free_[c];
        f->run = run;
        free_[c] = f;
    }

    // The rest of the current chunk goes to the free lists, in the largest blocks it holds.
    bool new_chunk() {
        while (left_ >= code_arena::granule) {
            std::size_t c = class_of(left_);
            if (size_of_class(c) > left_) --c;
            std::size_t const size = size_of_class(c);
            push(c, next_write_, next_run_);
            next_write_ += size;
            next_run_ += size;
            left_ -= size;
        }
        unsigned char *w = nullptr, *r = nullptr;
        if (!map_views(chunk_size, w, r)) {
            refused_ = true;
            return false;
        }
        next_write_ = w;
        next_run_ = r;
        left_ = chunk_size;
        mapped_ += chunk_size;
        return true;
    }

    code_arena::block own_mapping(std::size_t n) {
        std::size_t const size = round_to_pages(n);
        unsigned char *w = nullptr, *r = nullptr;
        if (!map_views(size, w, r)) return {};
        std::lock_guard<std::mutex> const hold(mutex_);
        mapped_ += size;
        taken_ += size;
        return {w, r, size};
    }

    std::mutex mutex_;
    bool refused_ = false;
    std::array<free_block *, class_count> free_{};
    unsigned char *next_write_ = nullptr;
    unsigned char const *next_run_ = nullptr;
    std::size_t left_ = 0;
    std::size_t mapped_ = 0, taken_ = 0;
};

// Never destroyed: tapes may give their blocks back while the program ends.
arena &the_arena() {
    static arena *const a = new arena;
    return *a;
}

}  // namespace

code_arena::block code_arena::take(std::size_t n) { return the_arena().take(n); }
void code_arena::give_back(block b) {
    if (b) the_arena().give_back(b);
}
code_arena::usage code_arena::in_use() { return the_arena().in_use(); }

#else

code_arena::block code_arena::take(std::size_t) { return {}; }
void code_arena::give_back(block) {}
code_arena::usage code_arena::in_use() { return {}; }

#endif
