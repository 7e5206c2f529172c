// The install switches end to end: after "-fzinstall" on a catalog of base
// entries, Winsock's part (the catalog router) loads QFW.DLL for them and
// QFW.DLL chains to the library each entry named before; after
// "-fzuninstall" the router loads that library directly again. Each look at
// the catalog is a fresh child process, as a program started afterwards.
#include <winsock2.h>
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>

#include "CatalogFixture.h"
#include "CatalogRouter.h"
#include "InstallSwitches.h"
#include "Installer.h"

namespace {

const char kRouteSwitch[] = "--route";

enum RouteResult {
    ROUTE_TCP_CARRIED = 1,
    ROUTE_UDP_CARRIED = 2,
    ROUTE_PROVIDER_LOADED = 4,
    ROUTE_BASE_LOADED = 8,
    ROUTE_NO_CATALOG = 256,
};

sockaddr *Name(sockaddr_in &address)
{
    return reinterpret_cast<sockaddr *>(&address);
}

sockaddr_in LoopbackOf(SOCKET s)
{
    sockaddr_in address = {};
    int length = sizeof address;
    getsockname(s, Name(address), &length);
    return address;
}

sockaddr_in Loopback()
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool CarryTcp(CCatalogRouter &router)
{
    SOCKET listener = router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = Loopback();
    if (router.Bind(listener, Name(address), sizeof address) || router.Listen(listener, 1))
        return false;
    address = LoopbackOf(listener);
    SOCKET client = router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (router.Connect(client, Name(address), sizeof address))
        return false;
    SOCKET server = router.Accept(listener, nullptr, nullptr);
    char buffer[8] = {};
    bool carried = server != INVALID_SOCKET && router.Send(client, "ping", 4) == 4 &&
                   router.Recv(server, buffer, sizeof buffer) == 4 && strcmp(buffer, "ping") == 0;
    router.CloseSocket(server);
    router.CloseSocket(client);
    router.CloseSocket(listener);
    return carried;
}

bool CarryUdp(CCatalogRouter &router)
{
    SOCKET receiver = router.Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in address = Loopback();
    if (router.Bind(receiver, Name(address), sizeof address))
        return false;
    address = LoopbackOf(receiver);
    SOCKET sender = router.Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    char buffer[8] = {};
    bool carried = router.SendTo(sender, "pong", 4, Name(address), sizeof address) == 4 &&
                   router.RecvFrom(receiver, buffer, sizeof buffer, nullptr, nullptr) == 4 &&
                   strcmp(buffer, "pong") == 0;
    router.CloseSocket(sender);
    router.CloseSocket(receiver);
    return carried;
}

// Child mode: traffic through the catalog as it stands, and which
// libraries served it.
int Route()
{
    int result = 0;
    {
        CCatalogRouter router;
        if (!router.Load())
            return ROUTE_NO_CATALOG;
        if (CarryTcp(router))
            result |= ROUTE_TCP_CARRIED;
        if (CarryUdp(router))
            result |= ROUTE_UDP_CARRIED;
        if (GetModuleHandleA("QFW.DLL"))
            result |= ROUTE_PROVIDER_LOADED;
        if (GetModuleHandleA("TcpipBase.dll"))
            result |= ROUTE_BASE_LOADED;
    }
    return result;
}

DWORD RouteInChild()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string command = std::string("\"") + path + "\" " + kRouteSwitch;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 0xFFFFFFFF;
    DWORD exitCode = 0xFFFFFFFF;
    if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

void NoFailureExpected()
{
    ADD_FAILURE() << "the install switch reported a failure";
}

int RunSwitch(const char *commandLine)
{
    testing::internal::CaptureStdout(); // the Windows Firewall switch's lines
    int result = HandleInstallSwitches(commandLine, NoFailureExpected);
    testing::internal::GetCapturedStdout();
    return result;
}

TEST(InstallRoute, InstalledCatalogRoutesThroughTheProviderAndUninstalledAroundIt)
{
    std::string base = CCatalogFixture::ProgramFolder() + "TcpipBase.dll";
    ASSERT_TRUE(CCatalogFixture::WriteBaseCatalog(base.c_str()));
    const DWORD direct = ROUTE_TCP_CARRIED | ROUTE_UDP_CARRIED | ROUTE_BASE_LOADED;
    ASSERT_EQ(direct, RouteInChild());

    ASSERT_EQ(0, RunSwitch("-fzinstall"));
    EXPECT_EQ(direct | ROUTE_PROVIDER_LOADED, RouteInChild());

    ASSERT_EQ(0, RunSwitch("-fzuninstall"));
    EXPECT_EQ(direct, RouteInChild());

    CCatalogFixture::Clear();
    CInstaller installer;
    installer.SetAutoStart(FALSE);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && strcmp(argv[1], kRouteSwitch) == 0)
        return Route();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
