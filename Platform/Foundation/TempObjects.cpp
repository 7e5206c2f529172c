// The per-thread table of temporary wrappers.
#include "TempObjects.h"

#include "ThreadState.h"

#include <map>
#include <utility>

namespace
{
typedef std::pair<AFX_TEMP_RELEASE, HANDLE> TempKey;
typedef std::map<TempKey, CObject *> TempMap;

void ReleaseAll(TempMap &objects)
{
    TempMap released;
    released.swap(objects);
    for (const auto &entry : released)
        entry.first.first(entry.second);
}

struct TempState
{
    TempMap objects;
    int nLocks = 0;

    ~TempState() { ReleaseAll(objects); }
};

TempState &GetTempState()
{
    return AfxThreadState<TempState>();
}
} // namespace

CObject *AfxFindTempObject(AFX_TEMP_RELEASE pfnRelease, HANDLE hHandle)
{
    TempMap &objects = GetTempState().objects;
    auto found = objects.find(TempKey(pfnRelease, hHandle));
    return found == objects.end() ? NULL : found->second;
}

void AfxAddTempObject(AFX_TEMP_RELEASE pfnRelease, HANDLE hHandle, CObject *pObject)
{
    GetTempState().objects[TempKey(pfnRelease, hHandle)] = pObject;
}

void AfxDeleteTempObjects()
{
    TempState &state = GetTempState();
    if (state.nLocks == 0)
        ReleaseAll(state.objects);
}

void AfxLockTempMaps()
{
    ++GetTempState().nLocks;
}

BOOL AfxUnlockTempMaps(BOOL bDeleteTemps)
{
    TempState &state = GetTempState();
    if (state.nLocks > 0)
        --state.nLocks;
    if (state.nLocks != 0)
        return FALSE;
    if (bDeleteTemps)
        ReleaseAll(state.objects);
    return TRUE;
}
