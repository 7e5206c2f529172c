#include "StringCodePage.h"

#include <atomic>

namespace {

// Constant-initialised, so it is valid before any constructor runs; atomic,
// so that a change made by one thread is seen whole by the others.
std::atomic<UINT> stringCodePage{CP_ACP};

} // namespace

UINT GetStringCodePage()
{
    return stringCodePage.load(std::memory_order_relaxed);
}

void SetStringCodePage(UINT codePage)
{
    stringCodePage.store(codePage, std::memory_order_relaxed);
}

BOOL IsStringLeadByte(TCHAR ch)
{
    // Every lead byte of every double-byte code page is above 0x7F.
    if (static_cast<BYTE>(ch) < 0x80)
        return FALSE;
    return IsDBCSLeadByteEx(GetStringCodePage(), static_cast<BYTE>(ch));
}
