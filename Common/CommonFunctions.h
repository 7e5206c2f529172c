// The small functions shared by the console, the provider and the updater.
#pragma once

#include "Bits.h"
#include "Formatting.h"
#include "HostName.h"
#include "NullDacl.h"
#include "OsVersion.h"
#include "PathText.h"
