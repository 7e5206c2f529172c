// Reads the default value of a registry key as text.
#pragma once

#include <windows.h>

// Opens the sub-key for reading and copies its default text value into the
// buffer of `size` bytes, always terminated. The result of the read:
// ERROR_SUCCESS, the failure to open the key, ERROR_MORE_DATA for a value
// longer than the buffer, ERROR_INVALID_DATA for a value that is not text;
// on any failure the buffer is empty.
LONG ReadRegistryDefault(HKEY root, LPCSTR subKey, LPSTR buffer, DWORD size);
