// Every heap allocation of the models benchmark counted: operator new replaced by a counting one
// (the array and no-throw forms call it). The benchmarks run on one thread; the counter is a
// relaxed atomic all the same. A file of its own, so the compiler pairs no inlined new and delete.
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {
std::atomic<size_t> count{0};
} // namespace

size_t Allocations() { return count.load(std::memory_order_relaxed); }

void* operator new(size_t size)
{
    count.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
