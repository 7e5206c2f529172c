// Whether the memory that an application hands to a socket call can be read.
// The provider reads the application's buffers and addresses before the base
// provider does; where the base provider would answer a bad pointer with an
// error, the provider must not fault in the application's process first. So
// what it reads is checked first, and what cannot be read is left alone.
#pragma once

#include <windows.h>
#include <cstddef>

// True when every byte of [address, address + size) can be read now; an
// empty range is readable, a null address is not.
bool IsReadableMemory(const void *address, size_t size);
