// Security attributes that open an object to every account: a descriptor
// with a present but null DACL. The connection table and the rule-image
// block are made with them, so that every process's provider reaches them.
#pragma once

#include <windows.h>

// One set of attributes for the whole process, made on first use; null on
// the Windows 9x family, which has no security, and null when it cannot be
// made (the next call tries again).
LPSECURITY_ATTRIBUTES GetNullDaclAttributes();
