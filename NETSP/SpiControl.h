// The provider's control entry, exported as SpiIoControl: the console sets
// the work mode, its identity and the rule-image announcement through it and
// learns about the connection table.
#pragma once

#include "SpiIoBlock.h"

// Always 0. A null block is refused without effect.
DWORD SpiControl(DWORD code, SpiIoBlock *block);
