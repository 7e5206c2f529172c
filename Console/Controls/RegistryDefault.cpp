#include "RegistryDefault.h"

LONG ReadRegistryDefault(HKEY root, LPCSTR subKey, LPSTR buffer, DWORD size)
{
    if (!buffer || size == 0)
        return ERROR_INVALID_PARAMETER;
    buffer[0] = '\0';
    HKEY key;
    LONG result = RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key);
    if (result != ERROR_SUCCESS)
        return result;
    DWORD type = 0, length = size;
    result = RegQueryValueExA(key, NULL, NULL, &type, reinterpret_cast<BYTE *>(buffer), &length);
    RegCloseKey(key);
    if (result == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ)
        result = ERROR_INVALID_DATA;
    // A stored text need not end in a terminator: one more must fit.
    const bool terminated = length > 0 && buffer[length - 1] == '\0';
    if (result == ERROR_SUCCESS && !terminated) {
        if (length < size)
            buffer[length] = '\0';
        else
            result = ERROR_MORE_DATA;
    }
    if (result != ERROR_SUCCESS)
        buffer[0] = '\0';
    return result;
}
