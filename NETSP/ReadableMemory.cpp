#include "ReadableMemory.h"

namespace {

const DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                        PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

} // namespace

// Walks the regions of the range: each must be committed, readable, and no
// guard page (touching one would take the stack's growth from its thread).
bool IsReadableMemory(const void *address, size_t size)
{
    if (size == 0)
        return true;
    const BYTE *at = static_cast<const BYTE *>(address);
    if (!at || at + size < at)
        return false;
    const BYTE *end = at + size;
    while (at < end) {
        MEMORY_BASIC_INFORMATION region;
        if (VirtualQuery(at, &region, sizeof region) == 0 || region.State != MEM_COMMIT)
            return false;
        if ((region.Protect & PAGE_GUARD) || !(region.Protect & kReadable))
            return false;
        at = static_cast<const BYTE *>(region.BaseAddress) + region.RegionSize;
    }
    return true;
}
