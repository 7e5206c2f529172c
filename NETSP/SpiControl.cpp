#include "SpiControl.h"

#include "Address32.h"
#include "ProviderControlBlock.h"
#include "SocketFilter.h"

namespace {

// The console's path, copied with a bound: the block holds 567 characters.
void SetConsole(DWORD processId, DWORD pathAddress)
{
    ProviderControlBlock &control = ControlBlock();
    control.ConsoleProcessId = processId;
    const char *path = DwordToAddress<const char>(pathAddress);
    lstrcpynA(ConsolePath(), processId != 0 && path ? path : "", CONSOLE_PATH_SIZE);
}

} // namespace

DWORD SpiControl(DWORD code, SpiIoBlock *block)
{
    if (!block)
        return 0;
    CSocketFilter &filter = SocketFilter();
    filter.Sessions().Open();
    ProviderControlBlock &control = ControlBlock();
    BYTE firstByte = static_cast<BYTE>(block->Value & 0xFF);
    switch (code) {
    case SPI_SET_WORK_MODE:
        filter.SetWorkMode(firstByte);
        break;
    case SPI_SET_ACL_UPDATING:
        if (firstByte == 0)
            control.AclGeneration = control.AclGeneration + 1;
        control.AclUpdating = firstByte;
        break;
    case SPI_BUMP_ACL_GENERATION:
        control.AclGeneration = control.AclGeneration + 1;
        break;
    case SPI_SET_ACL_INFO:
        control.AclHandle = block->Param1;
        control.AclConsoleView = block->Param2;
        control.AclSize = block->Param3;
        break;
    case SPI_GET_SESSION_HANDLE:
        block->Param1 = control.SessionMapping;
        break;
    case SPI_GET_SESSION_COUNT:
        block->Param1 = SESSION_RECORD_COUNT;
        break;
    case SPI_SET_CONSOLE:
        SetConsole(block->Param1, block->Param2);
        break;
    case SPI_CLOSE_PROCESS_SESSIONS:
        filter.Sessions().CloseProcessSessions(block->Param1);
        break;
    default:
        break;
    }
    return 0;
}
