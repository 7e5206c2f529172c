// NetvaneCtl: the driver's side of the emulated Netvane device from the
// command line, for trying the system by hand and for tests that need a
// driver event to come from another process.
#include "NetvaneControl.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

const char kUsage[] =
    "usage: NetvaneCtl install | remove | reset | status\n"
    "       NetvaneCtl push question|packet in|out <protocol> <local ip:port> <remote ip:port>"
    " [image [zone [state [tcp flags]]]]\n"
    "       NetvaneCtl table1|table2 <index> <handle> <pid> <protocol> <local ip:port>"
    " <remote ip:port> [image]\n"
    "       NetvaneCtl count1 <entries>\n"
    "       NetvaneCtl name <ip> <host>\n"
    "       NetvaneCtl fail <code> [error]   (error 0 lets the code work again)\n"
    "       NetvaneCtl calls [process id]\n";

bool ParseNumber(const char *text, DWORD &value)
{
    char *end = nullptr;
    unsigned long number = strtoul(text, &end, 0);
    if (!*text || *end)
        return false;
    value = static_cast<DWORD>(number);
    return true;
}

bool ParseByte(const char *text, BYTE &value)
{
    DWORD number;
    if (!ParseNumber(text, number) || number > 0xFF)
        return false;
    value = static_cast<BYTE>(number);
    return true;
}

// "a.b.c.d" with an optional ":port"; the first part is the most
// significant byte.
bool ParseEndpoint(const char *text, DWORD &address, WORD *port)
{
    unsigned parts[4], number = 0;
    char tail = 0;
    int fields = sscanf(text, "%u.%u.%u.%u:%u%c", &parts[0], &parts[1], &parts[2], &parts[3],
                        &number, &tail);
    if (fields != (port ? 5 : 4) || number > 0xFFFF)
        return false;
    address = 0;
    for (unsigned part : parts) {
        if (part > 255)
            return false;
        address = (address << 8) | part;
    }
    if (port)
        *port = static_cast<WORD>(number);
    return true;
}

void CopyImageName(char (&target)[16], const char *name)
{
    strncpy(target, name, sizeof target - 1);
    target[sizeof target - 1] = '\0';
}

int Push(int argc, char **argv)
{
    if (argc < 7)
        return 2;
    DriverQueueRecord record = {};
    if (strcmp(argv[2], "question") == 0)
        record.Kind = DRIVER_QUEUE_QUESTION;
    else if (strcmp(argv[2], "packet") == 0)
        record.Kind = DRIVER_QUEUE_PACKET;
    else
        return 2;
    if (strcmp(argv[3], "out") == 0)
        record.TcpFlags = DRIVER_OUTBOUND;
    else if (strcmp(argv[3], "in") != 0)
        return 2;
    BYTE state = 0;
    BYTE flags = 0;
    if (!ParseByte(argv[4], record.Protocol) ||
        !ParseEndpoint(argv[5], record.LocalIp, &record.LocalPort) ||
        !ParseEndpoint(argv[6], record.RemoteIp, &record.RemotePort) ||
        (argc > 8 && !ParseByte(argv[8], record.Zone)) || (argc > 9 && !ParseByte(argv[9], state)) ||
        (argc > 10 && (!ParseByte(argv[10], flags) || (flags & ~DRIVER_TCP_FLAG_MASK))))
        return 2;
    record.TcpFlags |= flags;
    if (argc > 7)
        CopyImageName(record.ImageName, argv[7]);
    record.State = static_cast<BYTE>(state + DRIVER_STATE_BIAS);
    record.Time = static_cast<DWORD>(time(nullptr));
    if (!NetvanePushRecord(record)) {
        fputs("the ring is full\n", stderr);
        return 1;
    }
    return 0;
}

int SetTableEntry(int argc, char **argv)
{
    if (argc < 8)
        return 2;
    DWORD index;
    DriverTableRecord record = {};
    if (!ParseNumber(argv[2], index) || !ParseNumber(argv[3], record.Handle) ||
        !ParseNumber(argv[4], record.ProcessId) || !ParseByte(argv[5], record.Protocol) ||
        !ParseEndpoint(argv[6], record.LocalIp, &record.LocalPort) ||
        !ParseEndpoint(argv[7], record.RemoteIp, &record.RemotePort))
        return 2;
    CopyImageName(record.ImageName, argc > 8 ? argv[8] : "SYSTEM");
    record.StartTime = static_cast<DWORD>(time(nullptr));
    bool first = strcmp(argv[1], "table1") == 0;
    BOOL ok = first ? NetvaneSetTable1Entry(index, record) : NetvaneSetTable2Entry(index, record);
    return ok ? 0 : 1;
}

int PrintStatus()
{
    NetvaneStatus status;
    if (!NetvaneGetStatus(&status))
        return 1;
    printf("ring read %lu write %lu, table 1 entries %lu\n", status.ReadIndex, status.WriteIndex,
           status.Table1Count);
    printf("rule image ready %lu, events started %lu, ticks %lu\n", status.AclReady,
           status.EventsStarted, status.Ticks);
    printf("block %s, size %lu, generation %lu, last control %lu\n",
           status.BlockLive ? "live" : "none", status.BlockSize, status.BlockGeneration,
           status.LastBlockControl);
    printf("calls %lu\n", status.CallCount);
    return 0;
}

int PrintCalls(int argc, char **argv)
{
    DWORD processId = 0;
    if (argc > 2 && !ParseNumber(argv[2], processId))
        return 2;
    static NetvaneCall calls[NETVANE_CALL_ENTRIES];
    DWORD count = NetvaneReadCalls(processId, calls, NETVANE_CALL_ENTRIES);
    for (DWORD i = 0; i < count; ++i) {
        const NetvaneCall &call = calls[i];
        printf("%lu pid %lu code 0x%08lX %s", call.Sequence, call.ProcessId, call.Code,
               call.Succeeded ? "ok" : "failed");
        if (!call.Succeeded)
            printf(" (%lu)", call.Error);
        printf(" in %lu:", call.InputSize);
        for (DWORD b = 0; b < call.InputSize && b < NETVANE_CALL_INPUT; ++b)
            printf(" %02X", call.Input[b]);
        printf("\n");
    }
    return 0;
}

int Run(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    const char *command = argv[1];
    DWORD number, error = ERROR_GEN_FAILURE;
    if (strcmp(command, "install") == 0)
        return NetvaneInstallService() ? 0 : 1;
    if (strcmp(command, "remove") == 0)
        return NetvaneRemoveService() ? 0 : 1;
    if (strcmp(command, "reset") == 0) {
        NetvaneReset();
        return 0;
    }
    if (strcmp(command, "status") == 0)
        return PrintStatus();
    if (strcmp(command, "push") == 0)
        return Push(argc, argv);
    if (strcmp(command, "table1") == 0 || strcmp(command, "table2") == 0)
        return SetTableEntry(argc, argv);
    if (strcmp(command, "count1") == 0 && argc == 3 && ParseNumber(argv[2], number))
        return NetvaneSetTable1Count(number) ? 0 : 1;
    if (strcmp(command, "name") == 0 && argc == 4 && ParseEndpoint(argv[2], number, nullptr))
        return NetvaneAddName(number, argv[3]) ? 0 : 1;
    if (strcmp(command, "fail") == 0 && (argc == 3 || argc == 4) && ParseNumber(argv[2], number) &&
        (argc == 3 || ParseNumber(argv[3], error)))
        return NetvaneFailCode(number, error) ? 0 : 1;
    if (strcmp(command, "calls") == 0)
        return PrintCalls(argc, argv);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    int status = Run(argc, argv);
    if (status == 2)
        fputs(kUsage, stderr);
    return status;
}
