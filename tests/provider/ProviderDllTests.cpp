// QFW.DLL loaded as Winsock and the console load it: the control entry, the
// control block shared by every process that has the library loaded, and
// WSPStartup with the lookup and start of the next provider.
#include <winsock2.h>
#include <ws2spi.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "Address32.h"
#include "CatalogFixture.h"
#include "ProviderControlBlock.h"
#include "ProviderTestSupport.h"
#include "SpiIoBlock.h"

namespace {

const char kModeSwitch[] = "--set-mode";        // N: set the work mode, exit
const char kConsoleSwitch[] = "--console-mode"; // N [event]: register as console, set N, exit or wait

// The procedure slots that the provider replaces with its own.
const int kFilteredSlots[] = {0, 3, 5, 6, 7, 18, 19, 21, 23, 25, 28};
const int kSlotCount = sizeof(WSPPROC_TABLE) / sizeof(void *);
static_assert(kSlotCount == 30, "the procedure table has 30 slots");

std::string ProviderPath()
{
    return TestFolder() + "QFW.DLL";
}

std::string BasePath()
{
    return TestFolder() + "TcpipBase.dll";
}

class CLoadedProvider {
public:
    CLoadedProvider() : m_module(LoadLibraryA(ProviderPath().c_str())) {}
    ~CLoadedProvider() { Unload(); }
    CLoadedProvider(const CLoadedProvider &) = delete;
    CLoadedProvider &operator=(const CLoadedProvider &) = delete;

    bool IsLoaded() const { return m_module != nullptr; }
    void Unload()
    {
        if (m_module)
            FreeLibrary(m_module);
        m_module = nullptr;
    }
    ProviderControlBlock &Control() { return *ModuleSection<ProviderControlBlock>(m_module, PROVIDER_CONTROL_SECTION); }
    char *ConsolePath() { return ModuleSection<char>(m_module, PROVIDER_CONSOLE_PATH_SECTION); }

    DWORD Spi(DWORD code, SpiIoBlock *block)
    {
        auto spi = reinterpret_cast<SpiIoControlProc>(
            reinterpret_cast<void (*)()>(GetProcAddress(m_module, SPI_IO_CONTROL_NAME)));
        return spi(code, block);
    }
    DWORD Call(DWORD code, DWORD value, DWORD param1 = 0, DWORD param2 = 0, DWORD param3 = 0)
    {
        SpiIoBlock block = {value, param1, param2, param3};
        return Spi(code, &block);
    }

    LPWSPSTARTUP Startup() const
    {
        return reinterpret_cast<LPWSPSTARTUP>(reinterpret_cast<void (*)()>(GetProcAddress(m_module, "WSPStartup")));
    }

private:
    HMODULE m_module;
};

class ProviderDllTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_provider.IsLoaded()); }
    CLoadedProvider m_provider;
};

TEST_F(ProviderDllTest, ControlCodesSetTheSharedFields)
{
    ProviderControlBlock &control = m_provider.Control();
    EXPECT_EQ(0u, m_provider.Call(SPI_SET_WORK_MODE, 0x102));
    EXPECT_EQ(2, control.WorkMode);

    DWORD generation = control.AclGeneration;
    m_provider.Call(SPI_SET_ACL_UPDATING, 1);
    EXPECT_EQ(1, control.AclUpdating);
    EXPECT_EQ(generation, control.AclGeneration);
    m_provider.Call(SPI_SET_ACL_UPDATING, 0x100);
    EXPECT_EQ(0, control.AclUpdating);
    EXPECT_EQ(generation + 1, control.AclGeneration);
    m_provider.Call(SPI_BUMP_ACL_GENERATION, 0);
    EXPECT_EQ(generation + 2, control.AclGeneration);

    m_provider.Call(SPI_SET_ACL_INFO, 0, 0x44, 0x00500000, 0x9000);
    EXPECT_EQ(0x44u, control.AclHandle);
    EXPECT_EQ(0x00500000u, control.AclConsoleView);
    EXPECT_EQ(0x9000u, control.AclSize);
}

TEST_F(ProviderDllTest, ControlCodesReportTheConnectionTable)
{
    SpiIoBlock block = {};
    m_provider.Spi(SPI_GET_SESSION_HANDLE, &block);
    EXPECT_NE(0u, block.Param1);
    EXPECT_EQ(m_provider.Control().SessionMapping, block.Param1);
    CTableView table;
    EXPECT_TRUE(table.IsOpen());

    m_provider.Spi(SPI_GET_SESSION_COUNT, &block);
    EXPECT_EQ(1024u, block.Param1);
}

TEST_F(ProviderDllTest, SetConsoleStoresThePathOnlyWithBothValues)
{
    const char path[] = "C:\\Firewall\\QFW.exe";
    struct Case {
        DWORD ProcessId;
        const char *Path;
        const char *Expected;
    } cases[] = {{1234, path, path}, {1234, nullptr, ""}, {0, path, ""}};
    for (const Case &c : cases) {
        strcpy(m_provider.ConsolePath(), "previous");
        m_provider.Call(SPI_SET_CONSOLE, 0, c.ProcessId, AddressToDword(c.Path));
        EXPECT_EQ(c.ProcessId, m_provider.Control().ConsoleProcessId);
        EXPECT_STREQ(c.Expected, m_provider.ConsolePath());
    }
}

TEST_F(ProviderDllTest, OverlongConsolePathIsCut)
{
    std::string path(1000, 'c');
    m_provider.Call(SPI_SET_CONSOLE, 0, 1234, AddressToDword(path.c_str()));
    EXPECT_EQ(std::string(CONSOLE_PATH_SIZE - 1, 'c'), m_provider.ConsolePath());
    m_provider.Call(SPI_SET_CONSOLE, 0, 0, 0);
}

TEST_F(ProviderDllTest, UnknownCodesAndNullBlockChangeNothing)
{
    m_provider.Call(SPI_SET_WORK_MODE, 1);
    ProviderControlBlock before = m_provider.Control();
    for (DWORD code : {8u, 100u, 0xFFFFFFFFu}) {
        SpiIoBlock block = {7, 7, 7, 7};
        EXPECT_EQ(0u, m_provider.Spi(code, &block));
        EXPECT_EQ(7u, block.Param1);
    }
    EXPECT_EQ(0u, m_provider.Spi(SPI_SET_WORK_MODE, nullptr));
    EXPECT_EQ(0u, m_provider.Spi(SPI_GET_SESSION_COUNT, nullptr));
    EXPECT_EQ(0, memcmp(&before, &m_provider.Control(), sizeof before));
}

TEST_F(ProviderDllTest, CloseProcessSessionsClosesThatProcessesRecords)
{
    m_provider.Call(SPI_GET_SESSION_COUNT, 0);
    CTableView table;
    ASSERT_TRUE(table.IsOpen());
    SessionRecord &record = table[1000];
    record.ProcessId = 0x7FF0;
    record.Socket = 0x99;
    record.State = SESSION_OPEN;
    m_provider.Call(SPI_CLOSE_PROCESS_SESSIONS, 0, 0x7FF0);
    EXPECT_EQ(SESSION_CLOSED, record.State);
    EXPECT_NE(0u, record.EndTime);
    record.Socket = 0;
    record.State = SESSION_OPEN;
}

TEST(ProviderDllShared, ValuesAreSharedAndLostWithTheLastUnload)
{
    {
        CLoadedProvider provider;
        ASSERT_TRUE(provider.IsLoaded());
        EXPECT_EQ(1, provider.Control().AttachCount);
        ASSERT_EQ(0, WaitForExit(StartProgram(TestProgramPath(), std::string(kModeSwitch) + " 2")));
        EXPECT_EQ(2, provider.Control().WorkMode);
        EXPECT_EQ(1, provider.Control().AttachCount);
    }
    CLoadedProvider again;
    ASSERT_TRUE(again.IsLoaded());
    EXPECT_EQ(0, again.Control().WorkMode);
}

TEST(ProviderDllShared, ConsoleLeavingNormallyTurnsFilteringOff)
{
    CLoadedProvider provider;
    ASSERT_TRUE(provider.IsLoaded());
    ASSERT_EQ(0, WaitForExit(StartProgram(TestProgramPath(), std::string(kConsoleSwitch) + " 1")));
    EXPECT_EQ(0, provider.Control().WorkMode);
}

TEST(ProviderDllShared, SessionHandleIsZeroWhenTheTableCannotBeMade)
{
    HANDLE squatter = CreateEventA(nullptr, TRUE, FALSE, SESSION_TABLE_NAME);
    ASSERT_NE(nullptr, squatter);
    {
        CLoadedProvider provider;
        ASSERT_TRUE(provider.IsLoaded());
        SpiIoBlock block = {0, 0xDEAD, 0, 0};
        provider.Spi(SPI_GET_SESSION_HANDLE, &block);
        EXPECT_EQ(0u, block.Param1);
    }
    CloseHandle(squatter);
}

// WSPStartup against the catalog values that the installer writes.
class ProviderStartupTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_provider.IsLoaded());
        ASSERT_TRUE(CCatalogFixture::WriteInstalledCatalog(ProviderPath().c_str(), BasePath().c_str()));
        m_info = CCatalogFixture::MakeItem(CCatalogFixture::TcpSpec(), ProviderPath().c_str()).ProtocolInfo;
        HMODULE base = LoadLibraryA(BasePath().c_str());
        ASSERT_NE(nullptr, base);
        auto baseStartup =
            reinterpret_cast<LPWSPSTARTUP>(reinterpret_cast<void (*)()>(GetProcAddress(base, "WSPStartup")));
        WSPDATA data;
        ASSERT_EQ(0, baseStartup(MAKEWORD(2, 2), &data, &m_info, WSPUPCALLTABLE(), &m_baseTable));
    }
    void TearDown() override { CCatalogFixture::Clear(); }

    int Start(WSPPROC_TABLE &table, WORD version = MAKEWORD(2, 2))
    {
        WSPDATA data = {};
        memset(&table, 0, sizeof table);
        return m_provider.Startup()(version, &data, &m_info, WSPUPCALLTABLE(), &table);
    }

    static bool SlotEquals(const WSPPROC_TABLE &a, const WSPPROC_TABLE &b, int slot)
    {
        return reinterpret_cast<void *const *>(&a)[slot] == reinterpret_cast<void *const *>(&b)[slot];
    }

    CLoadedProvider m_provider;
    WSAPROTOCOL_INFOW m_info;
    WSPPROC_TABLE m_baseTable;
};

TEST_F(ProviderStartupTest, FilteredSlotsAreReplacedAndTheRestChained)
{
    WSPPROC_TABLE table;
    ASSERT_EQ(0, Start(table));
    for (int slot = 0; slot < kSlotCount; ++slot) {
        bool filtered = std::find(std::begin(kFilteredSlots), std::end(kFilteredSlots), slot) != std::end(kFilteredSlots);
        EXPECT_EQ(!filtered, SlotEquals(table, m_baseTable, slot)) << "slot " << slot;
    }
    EXPECT_NE(0u, m_provider.Control().SessionMapping);
}

TEST_F(ProviderStartupTest, QualityOfServiceEntryIsNotFiltered)
{
    m_info.dwServiceFlags1 |= XP1_QOS_SUPPORTED;
    WSPPROC_TABLE table;
    ASSERT_EQ(0, Start(table));
    EXPECT_EQ(0, memcmp(&table, &m_baseTable, sizeof table));
}

TEST_F(ProviderStartupTest, ExemptProcessIsNotFiltered)
{
    m_provider.Call(SPI_SET_CONSOLE, 0, GetCurrentProcessId(), 0);
    WSPPROC_TABLE table;
    ASSERT_EQ(0, Start(table));
    EXPECT_EQ(0, memcmp(&table, &m_baseTable, sizeof table));
    m_provider.Call(SPI_SET_CONSOLE, 0, 0, 0);
}

TEST_F(ProviderStartupTest, LayeredChainLooksUpItsLastEntry)
{
    m_info.ProtocolChain.ChainLen = 3;
    m_info.ProtocolChain.ChainEntries[0] = 7001;
    m_info.ProtocolChain.ChainEntries[1] = 7002;
    m_info.ProtocolChain.ChainEntries[2] = 7003;
    WSPPROC_TABLE table;
    EXPECT_EQ(WSAEPROVIDERFAILEDINIT, Start(table));
    ASSERT_TRUE(CCatalogFixture::WriteNextProvider(7003, BasePath().c_str()));
    EXPECT_EQ(0, Start(table));
}

TEST_F(ProviderStartupTest, VariablesInThePathAreExpanded)
{
    // Longer once expanded than as stored.
    SetEnvironmentVariableA("QFW_TEST_BIN", TestFolder().c_str());
    ASSERT_TRUE(CCatalogFixture::WriteNextProvider(m_info.dwCatalogEntryId, "%QFW_TEST_BIN%TcpipBase.dll"));
    WSPPROC_TABLE table;
    EXPECT_EQ(0, Start(table));
    SetEnvironmentVariableA("QFW_TEST_BIN", nullptr);
}

TEST_F(ProviderStartupTest, NextProviderErrorsArePassedOn)
{
    WSPPROC_TABLE table;
    EXPECT_EQ(WSAVERNOTSUPPORTED, Start(table, MAKEWORD(1, 1)));
}

TEST_F(ProviderStartupTest, UnusableNextProviderFailsInit)
{
    struct Case {
        const char *What;
        const char *Path; // null: no value
        int ChainLength;
    } cases[] = {
        {"value missing", nullptr, 1},
        {"library missing", "C:\\missing\\TcpipBase.dll", 1},
        {"library without WSPStartup", "%SystemRoot%\\system32\\version.dll", 1},
        {"the provider itself", "", 1},
        {"chain longer than seven", nullptr, 8},
    };
    for (const Case &c : cases) {
        CCatalogFixture::DeleteNextProvider(m_info.dwCatalogEntryId);
        std::string path = c.Path && !*c.Path ? ProviderPath() : (c.Path ? c.Path : "");
        if (c.Path) {
            ASSERT_TRUE(CCatalogFixture::WriteNextProvider(m_info.dwCatalogEntryId, path.c_str()));
        }
        m_info.ProtocolChain.ChainLen = c.ChainLength;
        WSPPROC_TABLE table;
        EXPECT_EQ(WSAEPROVIDERFAILEDINIT, Start(table)) << c.What;
    }
}

TEST_F(ProviderStartupTest, OverlongValueFailsInit)
{
    std::string path = "C:\\" + std::string(300, 'x') + ".dll";
    ASSERT_TRUE(CCatalogFixture::WriteNextProvider(m_info.dwCatalogEntryId, path.c_str()));
    WSPPROC_TABLE table;
    EXPECT_EQ(WSAEPROVIDERFAILEDINIT, Start(table));
}

// Last: a process that is ended never detaches, so the attach count stays
// raised and this process keeps its view of the table until it exits.
TEST(ProviderDllKilledConsole, LeavesTheWorkMode)
{
    CLoadedProvider provider;
    ASSERT_TRUE(provider.IsLoaded());
    char eventName[64];
    sprintf(eventName, "qfw-console-ready-%lu", GetCurrentProcessId());
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, eventName);
    HANDLE console = StartProgram(TestProgramPath(), std::string(kConsoleSwitch) + " 1 " + eventName);
    ASSERT_NE(nullptr, console);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ready, 60000));
    EXPECT_EQ(2, provider.Control().AttachCount);
    TerminateProcess(console, 9);
    WaitForExit(console);
    CloseHandle(ready);
    EXPECT_EQ(1, provider.Control().WorkMode);
    provider.Call(SPI_SET_CONSOLE, 0, 0, 0);
}

int SetModeChild(int mode)
{
    CLoadedProvider provider;
    if (!provider.IsLoaded())
        return 3;
    provider.Call(SPI_SET_WORK_MODE, mode);
    return 0;
}

// Registers as the console and sets the mode; then either leaves normally
// (the library unloads at exit) or tells the parent and waits to be ended.
int ConsoleChild(int mode, const char *readyEvent)
{
    HMODULE module = LoadLibraryA(ProviderPath().c_str());
    if (!module)
        return 3;
    auto spi = reinterpret_cast<SpiIoControlProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, SPI_IO_CONTROL_NAME)));
    std::string self = TestProgramPath();
    SpiIoBlock block = {0, GetCurrentProcessId(), AddressToDword(self.c_str()), 0};
    spi(SPI_SET_CONSOLE, &block);
    block.Value = static_cast<DWORD>(mode);
    spi(SPI_SET_WORK_MODE, &block);
    if (readyEvent) {
        HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, readyEvent);
        SetEvent(ready);
        Sleep(INFINITE);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], kModeSwitch) == 0)
        return SetModeChild(atoi(argv[2]));
    if (argc >= 3 && strcmp(argv[1], kConsoleSwitch) == 0)
        return ConsoleChild(atoi(argv[2]), argc > 3 ? argv[3] : nullptr);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
