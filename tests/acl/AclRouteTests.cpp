// The decision as programs meet it: connections of this process go through
// QFW.DLL (the router plays Winsock), which maps the image that this process,
// playing the console, built in a driver block and announced through the
// provider's control entry. The peers listen on plain Winsock, unfiltered.
#include <winsock2.h>
#include "AclImageBuilder.h"
#include "CatalogFixture.h"
#include "CatalogRouter.h"
#include "ProviderTestSupport.h"
#include <Address32.h>
#include <DriverInterface.h>
#include <FirewallTypes.h>
#include <NetvaneFixture.h>
#include <SpiIoBlock.h>
#include <atomic>
#include <thread>

namespace {

const DWORD kLoopback = 0x7F000001;

class AclRouteTest : public CNetvaneFixture {
protected:
    void SetUp() override
    {
        CNetvaneFixture::SetUp();
        WSADATA wsa;
        ASSERT_EQ(0, WSAStartup(MAKEWORD(2, 2), &wsa));
        std::string folder = TestFolder();
        ASSERT_TRUE(CCatalogFixture::WriteInstalledCatalog((folder + "QFW.DLL").c_str(),
                                                           (folder + "TcpipBase.dll").c_str()));
        ASSERT_TRUE(m_router.Load());
        HMODULE provider = LoadLibraryA((folder + "QFW.DLL").c_str());
        ASSERT_NE(nullptr, provider);
        m_spi = reinterpret_cast<SpiIoControlProc>(
            reinterpret_cast<void (*)()>(GetProcAddress(provider, SPI_IO_CONTROL_NAME)));
        ASSERT_NE(nullptr, m_spi);

        const AclCounts counts = {0, 0, 1, 1};
        AclLayout layout;
        ASSERT_TRUE(ComputeAclLayout(counts, &layout));
        HANDLE block = CreateDriverBlock(INVALID_HANDLE_VALUE, 0, PAGE_READWRITE, 0, layout.Size,
                                         "_QFW_MEMORY_ACL_FILE");
        void *view = block ? MapDriverBlock(block, FILE_MAP_WRITE, 0, 0, 0, 1) : nullptr;
        ASSERT_NE(nullptr, view);
        m_image.reset(new CAclImageBuilder(view, layout.Size, AddressToDword(view)));
        ASSERT_TRUE(m_image->Lay(counts));
        Control(SPI_SET_ACL_UPDATING, 1);
        Control(SPI_SET_ACL_INFO, 0, DWORD(reinterpret_cast<UINT_PTR>(block)), AddressToDword(view),
                layout.Size);
        Control(SPI_SET_ACL_UPDATING, 0);
    }

    void TearDown() override
    {
        if (m_spi) {
            Control(SPI_SET_WORK_MODE, WORK_MODE_OFF);
            Control(SPI_SET_ACL_INFO, 0, 0, 0, 0);
        }
        closesocket(m_listener);
        CCatalogFixture::Clear();
        WSACleanup();
        CNetvaneFixture::TearDown();
    }

    void Control(DWORD code, DWORD value, DWORD param1 = 0, DWORD param2 = 0, DWORD param3 = 0)
    {
        SpiIoBlock block = {value, param1, param2, param3};
        m_spi(code, &block);
    }

    // A plain loopback listener; its address.
    sockaddr_in Listen()
    {
        m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(kLoopback);
        EXPECT_EQ(0, bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address));
        EXPECT_EQ(0, listen(m_listener, 4));
        int length = sizeof address;
        getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length);
        return address;
    }

    // Connects a filtered socket to the listener: 0, or the Winsock error.
    int ConnectThroughProvider(SOCKET &client)
    {
        sockaddr_in target = Listen();
        client = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        EXPECT_NE(INVALID_SOCKET, client);
        int result = m_router.Connect(client, reinterpret_cast<sockaddr *>(&target), sizeof target);
        return result == 0 ? 0 : WSAGetLastError();
    }

    SessionRecord *RecordOf(SOCKET s)
    {
        if (!m_table)
            m_table.reset(new CTableView());
        return m_table->Find(GetCurrentProcessId(), static_cast<DWORD>(s));
    }

    CCatalogRouter m_router;
    SpiIoControlProc m_spi = nullptr;
    std::unique_ptr<CAclImageBuilder> m_image;
    std::unique_ptr<CTableView> m_table;
    SOCKET m_listener = INVALID_SOCKET;
};

TEST_F(AclRouteTest, ARuleThatPassesLetsTheConnectionThrough)
{
    m_image->AddProgram(31, TestProgramPath().c_str());
    Control(SPI_SET_WORK_MODE, WORK_MODE_LOCKED);
    SOCKET client;
    ASSERT_EQ(0, ConnectThroughProvider(client));
    SessionRecord *record = RecordOf(client);
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(1, record->Decided);
    EXPECT_EQ(ACTION_PASS, record->Verdict);
    EXPECT_EQ(31, record->RuleId);
    EXPECT_EQ(ZONE_INTERNET, record->Zone);
    m_router.CloseSocket(client);
}

TEST_F(AclRouteTest, ABlockedPeerIsRefusedAtConnect)
{
    m_image->AddProgram(31, TestProgramPath().c_str());
    m_image->AddZone(TRUE, 40, ZONE_ENTRY_ADDRESS, kLoopback, 0);
    Control(SPI_SET_WORK_MODE, WORK_MODE_NORMAL);
    SOCKET client;
    EXPECT_EQ(WSAECONNREFUSED, ConnectThroughProvider(client));
    SessionRecord *record = RecordOf(client);
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(ACTION_DENY, record->Verdict);
    EXPECT_EQ(ZONE_BLOCKED, record->Zone);
    m_router.CloseSocket(client);
}

TEST_F(AclRouteTest, AProgramWithoutARuleIsRefusedInWorkModeTwo)
{
    Control(SPI_SET_WORK_MODE, WORK_MODE_LOCKED);
    SOCKET client;
    EXPECT_EQ(WSAECONNREFUSED, ConnectThroughProvider(client));
    m_router.CloseSocket(client);
}

// A thread plays the console: it finds the question in the connection table
// and answers it, and the waiting connect goes on.
TEST_F(AclRouteTest, AProgramWithoutARuleWaitsForTheConsolesAnswer)
{
    Control(SPI_SET_WORK_MODE, WORK_MODE_NORMAL);
    std::atomic<bool> answered(false);
    std::thread console([&] {
        CTableView table;
        for (int i = 0; i < 6000 && !answered; ++i) {
            for (int r = 0; r < SESSION_RECORD_COUNT; ++r) {
                SessionRecord &record = table[r];
                if (record.ProcessId == GetCurrentProcessId() && record.State == SESSION_ASKING) {
                    record.State = SESSION_SHOWN;
                    record.Verdict = ACTION_PASS;
                    record.State = SESSION_OPEN;
                    answered = true;
                }
            }
            Sleep(10);
        }
    });
    SOCKET client;
    int result = ConnectThroughProvider(client);
    answered = true;
    console.join();
    ASSERT_EQ(0, result);
    SessionRecord *record = RecordOf(client);
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(1, record->Decided);
    EXPECT_EQ(0, record->ByRule);
    EXPECT_EQ(ACTION_PASS, record->Verdict);
    m_router.CloseSocket(client);
}

} // namespace
