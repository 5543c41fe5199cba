#pragma once
// Memory of the library: every request names the source file and line it comes from.
// Live blocks are counted so that tests can prove nothing leaks.
#include <cstddef>
#include <memory>
#include <new>

enum VornMemType { VORN_MEM_DEFAULT = 0, VORN_MEM_SCRATCH = 1 };
enum VornMemCall { VORN_CALL_ALLOC = 0, VORN_CALL_ARRAY = 1, VORN_CALL_NEW = 2 };

void *vorn_allocate(std::size_t size, VornMemType type, VornMemCall call, char const *file,
                    int line, int tag = 0);
void vorn_discard(void *block, VornMemCall call = VORN_CALL_ALLOC, std::size_t size = 0);

// Gives a block from vorn_allocate back when its holder goes: vorn_ptr<char> text(l->string()).
struct vorn_deleter {
    void operator()(void *p) const { vorn_discard(p); }
};
template <class T>
using vorn_ptr = std::unique_ptr<T, vorn_deleter>;

// Number of blocks handed out by vorn_allocate and the class allocator and not yet given back.
long vorn_live_blocks();

// Array of n values of T from vorn_allocate, tagged with the calling line.
#define VORN_ARRAY(T, n)                                                                      \
    static_cast<T *>(vorn_allocate(sizeof(T) * static_cast<std::size_t>(n), VORN_MEM_DEFAULT, \
                                   VORN_CALL_ARRAY, __FILE__, __LINE__))

// Blocks for objects of a known size: small ones are kept on a list of the calling thread when
// given back and handed out again, since law trees are made and dropped many thousands at a time.
// They count as live blocks as vorn_allocate's do.
void *vorn_allocate_object(std::size_t size);
void vorn_discard_object(void *block, std::size_t size) noexcept;

// Class allocator: objects of classes deriving from ZEM_heap come from vorn_allocate_object (the
// deleting destructor passes the size of the object's own class).
struct ZEM_heap {
    static void *operator new(std::size_t size) { return vorn_allocate_object(size); }
    static void *operator new[](std::size_t size) {
        return vorn_allocate(size, VORN_MEM_DEFAULT, VORN_CALL_NEW, "<new[]>", 0);
    }
    static void *operator new(std::size_t, void *where) noexcept { return where; }
    static void operator delete(void *p, std::size_t size) noexcept {
        vorn_discard_object(p, size);
    }
    static void operator delete[](void *p) noexcept { vorn_discard(p, VORN_CALL_NEW); }
};
