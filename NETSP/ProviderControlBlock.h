// The provider's data that every process which loads the provider shares:
// work mode, rule-image announcement, console identity and the state of the
// connection table. Both blocks live in shared sections of the provider
// library: they hold zeros when the first process loads it and are lost when
// the last one unloads it. Fields are volatile because other processes write
// them while this one polls.
#pragma once

#include <windows.h>
#include <cstddef>

struct ProviderControlBlock {
    volatile BYTE AclUpdating;        // 1 while the console rebuilds the rule image
    volatile DWORD AclGeneration;     // counts finished image updates
    volatile DWORD AclHandle;         // the console's rule-image block; 0 = none announced
    volatile DWORD AclSize;
    volatile DWORD AclConsoleView;    // image address in the console, the base for rebasing
    volatile DWORD ConsoleProcessId;  // 0 = no console registered
    volatile BYTE WorkMode;           // WorkMode
    volatile LONG AttachCount;        // processes that have the provider loaded
    volatile DWORD SessionTableReady; // 1 once the connection table was initialised
    volatile DWORD SessionMapping;    // mapping handle value of the last process that opened the table
};

// One layout for every process, 32-bit or 64-bit.
static_assert(sizeof(ProviderControlBlock) == 40, "ProviderControlBlock is 40 bytes");
static_assert(offsetof(ProviderControlBlock, AclGeneration) == 4, "AclGeneration");
static_assert(offsetof(ProviderControlBlock, AclHandle) == 8, "AclHandle");
static_assert(offsetof(ProviderControlBlock, AclSize) == 12, "AclSize");
static_assert(offsetof(ProviderControlBlock, AclConsoleView) == 16, "AclConsoleView");
static_assert(offsetof(ProviderControlBlock, ConsoleProcessId) == 20, "ConsoleProcessId");
static_assert(offsetof(ProviderControlBlock, WorkMode) == 24, "WorkMode");
static_assert(offsetof(ProviderControlBlock, AttachCount) == 28, "AttachCount");
static_assert(offsetof(ProviderControlBlock, SessionTableReady) == 32, "SessionTableReady");
static_assert(offsetof(ProviderControlBlock, SessionMapping) == 36, "SessionMapping");

enum { CONSOLE_PATH_SIZE = 568 };

// The names of the two shared sections, for tests that read them in a
// loaded copy of the provider.
#define PROVIDER_CONTROL_SECTION ".qfwctl"
#define PROVIDER_CONSOLE_PATH_SECTION ".qfwpath"

ProviderControlBlock &ControlBlock();
// The registered console's program file path, NUL-terminated, CONSOLE_PATH_SIZE bytes.
char *ConsolePath();
