#pragma once

#include <atomic>
#include <cstddef>
#include <thread>

// Faults in fresh memory on a thread of its own and later hands it back to the kernel. On a
// virtual machine the host may back a page of guest memory only when it is first touched,
// which makes that first touch slow; a page freed and taken again right away is fast. The
// kernel gives the pages freed here to the next large allocation, so the shadow map does not
// wait for the host: the warming runs on the second core while the first loads textures.
class MemoryWarmer {
public:
    MemoryWarmer() = default;
    MemoryWarmer(const MemoryWarmer&) = delete;
    MemoryWarmer& operator=(const MemoryWarmer&) = delete;
    ~MemoryWarmer();

    // Starts faulting in `bytes`, in huge pages where the kernel grants them. Does nothing when
    // already started or when the memory cannot be mapped.
    void start(std::size_t bytes);
    // Waits until all of it is faulted in, and keeps it. Returns the bytes faulted in.
    std::size_t finish();
    // Stops the thread where it is and hands the memory back.
    void release();

private:
    std::thread worker;
    std::atomic<bool> stopRequested{false};
    char* mapping = nullptr;
    std::size_t mappedBytes = 0;
    std::size_t touchedBytes = 0;
};
