// The provider's registry key under HKEY_LOCAL_MACHINE. The installer writes
// it; the provider reads from it the library that each catalog entry named
// before installation, under a value named by the entry's id ("%u").
#pragma once

#define PROVIDER_KEY "SYSTEM\\CurrentControlSet\\Services\\QFW_NETSP"
#define PROVIDER_PATH_VALUE "PathName"
