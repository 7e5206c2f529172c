#include "ReadableMemory.h"

namespace {

const DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                        PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

// The calling thread's information block. GCC takes the segment read of
// NtCurrentTeb for an access out of a zero-length array; it is not one.
const NT_TIB *ThreadBlock()
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
    return reinterpret_cast<const NT_TIB *>(NtCurrentTeb());
#pragma GCC diagnostic pop
}

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
    // The calling thread's stack, where most addresses and buffer arrays of a
    // call lie, is committed and readable from its limit to its base: no
    // need to ask the system, which costs a call into it.
    const NT_TIB *stack = ThreadBlock();
    if (at >= static_cast<const BYTE *>(stack->StackLimit) && end <= static_cast<const BYTE *>(stack->StackBase))
        return true;
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
