#include "NextProvider.h"

#include <cstdio>
#include "ProviderKey.h"

WSPPROC_TABLE g_nextProcedures;

bool FormatCatalogValueName(const WSAPROTOCOL_INFOW &info, char (&name)[16])
{
    const WSAPROTOCOLCHAIN &chain = info.ProtocolChain;
    DWORD id = info.dwCatalogEntryId;
    if (chain.ChainLen > MAX_PROTOCOL_CHAIN)
        return false;
    if (chain.ChainLen > 1)
        id = chain.ChainEntries[chain.ChainLen - 1];
    snprintf(name, sizeof name, "%u", static_cast<unsigned>(id));
    return true;
}

// The installer writes the value without its NUL, so the text is read into
// a buffer with room for one and terminated here; the expansion may be
// longer than the stored text and gets the whole path buffer.
int GetNextProviderPath(const WSAPROTOCOL_INFOW &info, char (&path)[MAX_PATH])
{
    char name[16];
    path[0] = '\0';
    if (!FormatCatalogValueName(info, name))
        return 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PROVIDER_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    char stored[MAX_PATH + 1];
    DWORD size = MAX_PATH;
    DWORD type = 0;
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(stored), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return 0;
    stored[size] = '\0';

    DWORD needed = ExpandEnvironmentStringsA(stored, path, sizeof path);
    if (needed == 0 || needed > sizeof path) {
        path[0] = '\0';
        return 0;
    }
    if (path[0] == '\0')
        lstrcpynA(path, stored, sizeof path);
    return path[0] != '\0';
}
