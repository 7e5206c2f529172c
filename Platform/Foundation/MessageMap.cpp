// The message-map lookup shared by windows and the application object.
#include "MessageMap.h"

const AFX_MSGMAP *CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY messageEntries[] = {{0, 0, 0, 0, NULL}};
    static const AFX_MSGMAP messageMap = {NULL, &messageEntries[0]};
    return &messageMap;
}

const AFX_MSGMAP *CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

static BOOL EntryMatches(const AFX_MSGMAP_ENTRY &entry, UINT nMessage, UINT nCode, UINT nID)
{
    return entry.nMessage == nMessage && entry.nCode == nCode && entry.nID <= nID &&
           nID <= entry.nLastID;
}

const AFX_MSGMAP_ENTRY *CCmdTarget::FindMapEntry(UINT nMessage, UINT nCode, UINT nID) const
{
    for (const AFX_MSGMAP *pMap = GetMessageMap(); pMap != NULL;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : NULL)
    {
        for (const AFX_MSGMAP_ENTRY *pEntry = pMap->lpEntries; pEntry->pfnThunk != NULL; ++pEntry)
        {
            if (EntryMatches(*pEntry, nMessage, nCode, nID))
                return pEntry;
        }
    }
    return NULL;
}

BOOL CCmdTarget::DispatchToMap(UINT nMessage, UINT nCode, UINT nID, const AfxMessage &msg,
                               LRESULT &lResult)
{
    const AFX_MSGMAP_ENTRY *pEntry = FindMapEntry(nMessage, nCode, nID);
    if (pEntry == NULL)
        return FALSE;
    return pEntry->pfnThunk(this, msg, lResult);
}
