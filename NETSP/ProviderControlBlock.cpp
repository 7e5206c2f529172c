#include "ProviderControlBlock.h"

// Only initialised definitions go into a named section; without the
// initialiser they would fall into .bss and not be shared.
static ProviderControlBlock g_controlBlock
    __attribute__((section(PROVIDER_CONTROL_SECTION), shared)) = {};
static char g_consolePath[CONSOLE_PATH_SIZE]
    __attribute__((section(PROVIDER_CONSOLE_PATH_SECTION), shared)) = {};

ProviderControlBlock &ControlBlock()
{
    return g_controlBlock;
}

char *ConsolePath()
{
    return g_consolePath;
}
