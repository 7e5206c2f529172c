// Temporary wrappers: the objects FromHandle makes for handles that no
// object owns (a CWnd for any window, a CDC for a borrowed DC, GDI objects,
// sub-menus). They belong to the thread and are deleted together when the
// application's message loop goes idle; never inside a modal loop or a
// message box, so a pointer taken in a handler stays valid across a
// DoModal made in that handler. Code never keeps such a pointer.
//
// A wrapper class keeps its temporaries here under a kind of its own, the
// function that releases one (it lets go of the handle and deletes the
// object):
//
//     static void DeleteTempDC(CObject *pObject);   // clears m_hDC, deletes
//     CObject *pFound = AfxFindTempObject(&DeleteTempDC, hDC);
//     ... else AfxAddTempObject(&DeleteTempDC, hDC, new CDC(...));
//
// Worker threads never make temporaries.
#pragma once

#include <windows.h>

#include "CObject.h"

typedef void (*AFX_TEMP_RELEASE)(CObject *pObject);

// The temporary of this kind for the handle, or NULL.
CObject *AfxFindTempObject(AFX_TEMP_RELEASE pfnRelease, HANDLE hHandle);
void AfxAddTempObject(AFX_TEMP_RELEASE pfnRelease, HANDLE hHandle, CObject *pObject);

// Releases every temporary of the thread unless the maps are locked. The
// application's loop calls it when idle; a program without an application
// object (a test) calls it itself.
void AfxDeleteTempObjects();

// Postpone the clean-up while some code holds temporaries across loops.
// Unlocking the last lock releases the temporaries when bDeleteTemps is
// set; it returns TRUE when the maps are no longer locked.
void AfxLockTempMaps();
BOOL AfxUnlockTempMaps(BOOL bDeleteTemps = TRUE);
