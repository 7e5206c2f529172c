// The class library's layer without windows: strings, arrays, geometry,
// time, files, run-time classes and threads. Safe inside a DLL: nothing in
// it needs DllMain, per-thread state or a dynamically initialised global.
#pragma once

#include "CString.h"
#include "StringCodePage.h"
#include "CStringArray.h"
#include "CDWordArray.h"
#include "CPoint.h"
#include "CSize.h"
#include "CRect.h"
#include "CTime.h"
#include "LocalTime.h"
#include "CException.h"
#include "CFileException.h"
#include "CFileStatus.h"
#include "CFile.h"
#include "CFileFind.h"
#include "CObject.h"
#include "CWinThread.h"
#include "CEvent.h"
