#include "forms/memory_tuning.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

namespace forms {

void keepFreedMemoryForRedraws()
{
#if defined(M_MMAP_THRESHOLD) && defined(M_TRIM_THRESHOLD) // glibc's allocator
    // Blocks up to 32 MiB come from the heap, and up to 64 MiB of freed heap stays mapped; a
    // fixed threshold also stops the allocator from moving it back by itself.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}

} // namespace forms
