#include "SkinTestWindow.h"

BEGIN_MESSAGE_MAP(CSkinTestWindow, CSkinDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()
