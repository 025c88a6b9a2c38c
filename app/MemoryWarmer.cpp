#include "app/MemoryWarmer.h"

#include <cstdint>

#include <sys/mman.h>

namespace {

constexpr std::size_t hugePage = std::size_t{2} << 20;
constexpr std::size_t page = 4096;

} // namespace

MemoryWarmer::~MemoryWarmer()
{
    release();
}

void MemoryWarmer::start(std::size_t bytes)
{
    if (mapping != nullptr || bytes == 0)
        return;
    // One huge page more than asked, so that a huge-page boundary can be picked as the start:
    // the kernel backs only whole, aligned 2 MB ranges with huge pages.
    void* raw = mmap(nullptr, bytes + hugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return;
    mapping = static_cast<char*>(raw);
    mappedBytes = bytes + hugePage;
    char* first = reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(mapping) + hugePage - 1) & ~(hugePage - 1));
    madvise(first, bytes, MADV_HUGEPAGE);
    stopRequested = false;
    touchedBytes = 0;
    worker = std::thread([this, first, bytes] {
        // Every 4 KiB page, in case the kernel has no huge page to give.
        std::size_t done = 0;
        for (; done < bytes && !stopRequested.load(std::memory_order_relaxed); done += page)
            first[done] = 1;
        touchedBytes = done < bytes ? done : bytes;
    });
}

std::size_t MemoryWarmer::finish()
{
    if (worker.joinable())
        worker.join();
    return touchedBytes;
}

void MemoryWarmer::release()
{
    stopRequested = true;
    finish();
    if (mapping != nullptr)
        munmap(mapping, mappedBytes);
    mapping = nullptr;
    mappedBytes = 0;
}
