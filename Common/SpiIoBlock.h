// The provider's control entry, SpiIoControl(code, block), which the console
// calls in its own process after loading the provider library by path. It
// always returns 0.
#pragma once

#include <windows.h>
#include <cstddef>

#define SPI_IO_CONTROL_NAME "SpiIoControl"

enum SpiCode {
    SPI_SET_WORK_MODE = 0,          // WorkMode := first byte of Value
    SPI_SET_ACL_UPDATING = 1,       // first byte of Value; 0 also counts a finished update
    SPI_BUMP_ACL_GENERATION = 2,
    SPI_SET_ACL_INFO = 3,           // Param1 block handle, Param2 console address, Param3 size
    SPI_GET_SESSION_HANDLE = 4,     // Param1 := connection-table mapping value, 0 = no table
    SPI_GET_SESSION_COUNT = 5,      // Param1 := number of records
    SPI_SET_CONSOLE = 6,            // Param1 process id, Param2 address of its path or 0
    SPI_CLOSE_PROCESS_SESSIONS = 7, // Param1 process id
};

// The argument record, 16 bytes in both builds.
struct SpiIoBlock {
    DWORD Value;
    DWORD Param1;
    DWORD Param2;
    DWORD Param3;
};

static_assert(sizeof(SpiIoBlock) == 16, "SpiIoBlock is 16 bytes");
static_assert(offsetof(SpiIoBlock, Value) == 0, "Value");
static_assert(offsetof(SpiIoBlock, Param1) == 4, "Param1");
static_assert(offsetof(SpiIoBlock, Param2) == 8, "Param2");
static_assert(offsetof(SpiIoBlock, Param3) == 12, "Param3");

typedef DWORD(WINAPI *SpiIoControlProc)(DWORD code, SpiIoBlock *block);
