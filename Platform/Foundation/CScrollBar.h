// CScrollBar: a scroll bar control, as a base for skinned ones.
#pragma once

#include "CWnd.h"

class CScrollBar : public CWnd
{
};
