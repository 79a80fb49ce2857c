#pragma once

// The shared memory manager: one heap for the module and its host, so that a block allocated
// on one side may be released on the other. Plain C entries, looked up by name at load.

// NOLINTNEXTLINE(modernize-deprecated-headers): the header is C as well as C++
#include <stddef.h>

#if defined(__GNUC__)
#define JXMM_EXPORT __attribute__((visibility("default")))
#else
#define JXMM_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

// What the manager has done since the process started. Bytes count the usable size of each
// block, so a release of a block that another heap handed out still balances its allocation.
struct JxmmStats
{
    unsigned long long allocations; // successful allocations, a resize of a null block included
    unsigned long long releases; // releases of a non-null block, a resize to 0 included
    unsigned long long resizes; // successful resizes of an existing block
    long long liveBlocks; // allocations - releases
    long long liveBytes;
};

// Allocates `size` bytes; null when out of memory. A size of 0 still gives a unique block.
JXMM_EXPORT void *jxmm_get_mem(size_t size);
// Releases a block of jxmm_get_mem or jxmm_realloc_mem; null is ignored.
JXMM_EXPORT void jxmm_free_mem(void *block);
// Resizes a block, keeping its contents; null allocates, size 0 releases and gives null.
// On failure the old block stays valid and null is returned.
JXMM_EXPORT void *jxmm_realloc_mem(void *block, size_t size);
// Copies the counters into *stats (ignored when null).
JXMM_EXPORT void jxmm_get_stats(struct JxmmStats *stats);

#ifdef __cplusplus
}
#endif
