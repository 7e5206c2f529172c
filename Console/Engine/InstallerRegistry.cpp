// The installer's registry helpers.
#include "Installer.h"

#include <string.h>

namespace {

bool IsStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// The installer writes strings without their NUL, and a stored value may be
// anything: a text is taken only when it ends within the buffer.
bool TerminateText(char *text, DWORD stored, DWORD size)
{
    if (stored < size) {
        text[stored] = '\0';
        return true;
    }
    return text[size - 1] == '\0';
}

} // namespace

int CInstaller::ReadRegValue(LPCSTR name, void *buffer, DWORD size, HKEY root, LPCSTR key, DWORD type)
{
    if (!buffer || size == 0)
        return 0;
    HKEY handle;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return 0;
    DWORD storedType = REG_NONE;
    DWORD stored = size;
    LONG status = RegQueryValueExA(handle, name, nullptr, &storedType, static_cast<BYTE *>(buffer), &stored);
    RegCloseKey(handle);
    bool taken = status == ERROR_SUCCESS && storedType == type;
    if (IsStringType(type) && !(taken && TerminateText(static_cast<char *>(buffer), stored, size))) {
        static_cast<char *>(buffer)[0] = '\0';
        taken = false;
    }
    return taken;
}

int CInstaller::WriteRegValue(LPCSTR name, const void *data, DWORD length, HKEY root, LPCSTR key, DWORD type)
{
    HKEY handle;
    if (RegCreateKeyExA(root, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
        return 0;
    LONG status = RegSetValueExA(handle, name, 0, type, static_cast<const BYTE *>(data), length);
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

int CInstaller::DeleteRegValue(HKEY root, LPCSTR key, LPCSTR name)
{
    if (!root || !key)
        return 0;
    if (!name)
        return RegDeleteKeyA(root, key) == ERROR_SUCCESS;
    HKEY handle;
    if (RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
        return 0;
    LONG status = RegDeleteValueA(handle, name);
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

// Strings are stored with the length of their text, without the NUL.
int CInstaller::WriteString(HKEY root, LPCSTR key, LPCSTR name, LPCSTR text, DWORD type)
{
    return WriteRegValue(name, text, lstrlenA(text), root, key, type);
}
