// The class library's window layer: message maps, windows, drawing, menus, dialogs, data
// exchange and the application object, over the layer without windows.
#pragma once

#include "Foundation.h"
#include "MessageMap.h"
#include "TempObjects.h"
#include "CWnd.h"
#include "CGdiObject.h"
#include "CPen.h"
#include "CBrush.h"
#include "CFont.h"
#include "CBitmap.h"
#include "CRgn.h"
#include "CDC.h"
#include "CPaintDC.h"
#include "CClientDC.h"
#include "CMenu.h"
#include "CImageList.h"
#include "CWaitCursor.h"
#include "CDialog.h"
#include "DataExchange.h"
#include "CCommandLineInfo.h"
#include "CWinApp.h"
