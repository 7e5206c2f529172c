// The shared records (rule image, driver tables, control block) hold
// addresses as 32-bit values, as the 32-bit product does. The 64-bit build
// that runs the tests keeps every module and all memory below 4 GB; an
// address above that is a fault of the build, stopped here at once.
#pragma once

#include <windows.h>

inline DWORD AddressToDword(const void *address)
{
    UINT_PTR value = reinterpret_cast<UINT_PTR>(address);
#ifdef _WIN64
    if (value > 0xFFFFFFFFu)
        __builtin_trap();
#endif
    return static_cast<DWORD>(value);
}

template <class T>
inline T *DwordToAddress(DWORD value)
{
    return reinterpret_cast<T *>(static_cast<UINT_PTR>(value));
}
