#include "platform/sharemem/ShareMem.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>

namespace {

// Relaxed is enough: the counters are statistics, read when the threads that matter are done.
std::atomic<unsigned long long> g_allocations {0};
std::atomic<unsigned long long> g_releases {0};
std::atomic<unsigned long long> g_resizes {0};
std::atomic<long long> g_liveBytes {0};

long long usableSize(void *block)
{
    return static_cast<long long>(malloc_usable_size(block));
}

void countAllocation(void *block)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    g_liveBytes.fetch_add(usableSize(block), std::memory_order_relaxed);
}

void countRelease(long long bytes)
{
    g_releases.fetch_add(1, std::memory_order_relaxed);
    g_liveBytes.fetch_sub(bytes, std::memory_order_relaxed);
}

} // namespace

extern "C" {

void *jxmm_get_mem(size_t size)
{
    void *block = std::malloc(size == 0 ? 1 : size);
    if (block)
        countAllocation(block);
    return block;
}

void jxmm_free_mem(void *block)
{
    if (!block)
        return;
    countRelease(usableSize(block));
    std::free(block);
}

void *jxmm_realloc_mem(void *block, size_t size)
{
    if (!block)
        return jxmm_get_mem(size);
    if (size == 0) {
        jxmm_free_mem(block);
        return nullptr;
    }
    const long long before = usableSize(block);
    void *resized = std::realloc(block, size);
    if (!resized)
        return nullptr;
    g_resizes.fetch_add(1, std::memory_order_relaxed);
    g_liveBytes.fetch_add(usableSize(resized) - before, std::memory_order_relaxed);
    return resized;
}

void jxmm_get_stats(JxmmStats *stats)
{
    if (!stats)
        return;
    stats->allocations = g_allocations.load(std::memory_order_relaxed);
    stats->releases = g_releases.load(std::memory_order_relaxed);
    stats->resizes = g_resizes.load(std::memory_order_relaxed);
    stats->liveBlocks = static_cast<long long>(stats->allocations - stats->releases);
    stats->liveBytes = g_liveBytes.load(std::memory_order_relaxed);
}

} // extern "C"
