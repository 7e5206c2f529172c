// The traffic monitor's tree of connections in a shown dialog: process,
// protocol group and connection nodes made, updated and removed as the
// connection events ask, the nodes of ended processes dropped, and the
// process node found from any node below it.
#include <ConnectionTree.h>

#include <FoundationUi.h>

#include <GuiPump.h>
#include <HostDialog.h>
#include <TestScreens.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const UINT ID_TREE = 1053;

class ConnectionTreeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetPumpFilter(AfxPreTranslateMessage);
        AfxInitCommonControls();
        m_baseline = CTItemBase::LiveCount();
        m_host.reset(new CHostDialog);
        ASSERT_TRUE(m_tree.CreateEx(0, WC_TREEVIEWA, "",
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | TVS_HASBUTTONS | TVS_HASLINES |
                                        TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_FULLROWSELECT,
                                    10, 10, 360, 220, m_host->Handle(),
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_TREE))));
        m_connections.reset(new CConnectionTree(m_tree, m_images, GetModuleHandle(NULL)));
        m_connections->SetUpImages();
        m_connections->SetFormats("Listening on port %u", "%u -> %s:%u, sent %s, received %s");
    }
    void TearDown() override
    {
        m_connections.reset();
        m_host.reset();
        SetPumpFilter(NULL);
        AfxDeleteTempObjects();
    }

    static SessionRecord Connection(DWORD processId, DWORD socket, BYTE protocol, BYTE direction)
    {
        SessionRecord record;
        memset(&record, 0, sizeof record);
        record.ProcessId = processId;
        record.Socket = socket;
        record.Protocol = protocol;
        record.Direction = direction;
        record.LocalPort = 1100;
        record.RemoteIp = 0xC0A80102;
        record.RemotePort = 53;
        record.BytesSent = 12;
        record.BytesReceived = 34;
        GetModuleFileNameA(NULL, record.Path, sizeof record.Path);
        return record;
    }

    // The ID of a process that has already ended, or 0.
    static DWORD EndedProcessId()
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION child = {};
        char command[] = "cmd.exe /c exit 0";
        if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL, &startup, &child))
            return 0;
        WaitForSingleObject(child.hProcess, 10000);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
        return child.dwProcessId;
    }

    std::string Text(HTREEITEM item) const { return static_cast<LPCTSTR>(m_tree.GetItemText(item)); }
    int Image(HTREEITEM item) const
    {
        int image = -1, selected = -1;
        m_tree.GetItemImage(item, image, selected);
        return image;
    }
    // The pixels of an image of the list, drawn on white.
    std::vector<COLORREF> ImagePixels(int index)
    {
        int width = 0, height = 0;
        ImageList_GetIconSize(m_images.m_hImageList, &width, &height);
        HDC screen = GetDC(NULL);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(NULL, screen);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all = {0, 0, width, height};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ImageList_Draw(m_images.m_hImageList, index, dc, 0, 0, ILD_NORMAL);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back(GetPixel(dc, x, y));
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        return pixels;
    }
    int RootCount() const
    {
        int count = 0;
        for (HTREEITEM item = m_tree.GetRootItem(); item; item = m_tree.GetNextSiblingItem(item))
            ++count;
        return count;
    }

    int ImageCount() const { return m_images.GetImageCount(); }
    // The pixels of one image of the list, drawn over white.
    std::vector<DWORD> ImagePixels(int image) const
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = 16;
        info.bmiHeader.biHeight = -16;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void *bits = nullptr;
        HDC dc = CreateCompatibleDC(NULL);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all = {0, 0, 16, 16};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ImageList_Draw(m_images.GetSafeHandle(), image, dc, 0, 0, ILD_NORMAL);
        GdiFlush();
        std::vector<DWORD> pixels(static_cast<DWORD *>(bits), static_cast<DWORD *>(bits) + 256);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        return pixels;
    }

    CItemTree m_tree;
    CImageList m_images;
    std::unique_ptr<CHostDialog> m_host;
    std::unique_ptr<CConnectionTree> m_connections;
    LONG m_baseline = 0;
};

TEST_F(ConnectionTreeTest, ConnectionsOfOneProcessGoUnderItsNodeByProtocolWithTheirTexts)
{
    const DWORD self = GetCurrentProcessId();
    SessionRecord listening = Connection(self, 0x10, PROTO_TCP, DIR_LISTEN);
    SessionRecord web = Connection(self, 0x11, PROTO_HTTP, DIR_OUTBOUND);
    strcpy(web.Detail, "www.example.test");
    SessionRecord datagram = Connection(self, 0x12, PROTO_UDP, DIR_OUTBOUND);
    m_connections->ShowConnection(listening);
    m_connections->ShowConnection(web);
    m_connections->ShowConnection(datagram);
    m_connections->ShowConnection(web); // an update finds its node

    ASSERT_EQ(1, RootCount());
    HTREEITEM process = m_tree.GetRootItem();
    EXPECT_EQ(self, m_tree.GetItemData(process));
    EXPECT_EQ(IMAGE_FIRST_PROGRAM, Image(process)) << "the program's icon follows the four images";
    EXPECT_EQ(5, m_images.GetImageCount());
    EXPECT_EQ("connection_tree_tests.exe", Text(process)) << "no description: the file's title";
    HTREEITEM tcp = m_connections->FindChild(process, 1);
    HTREEITEM udp = m_connections->FindChild(process, 0);
    ASSERT_TRUE(tcp && udp);
    EXPECT_EQ("TCP", Text(tcp));
    EXPECT_EQ(IMAGE_TCP_GROUP, Image(tcp));
    EXPECT_EQ("UDP", Text(udp));
    EXPECT_EQ(IMAGE_UDP_GROUP, Image(udp));
    HTREEITEM listenNode = m_connections->FindChild(tcp, 0x10);
    HTREEITEM webNode = m_connections->FindChild(tcp, 0x11);
    HTREEITEM udpNode = m_connections->FindChild(udp, 0x12);
    ASSERT_TRUE(listenNode && webNode && udpNode);
    EXPECT_EQ("Listening on port 1100", Text(listenNode));
    EXPECT_EQ(IMAGE_LISTENING, Image(listenNode));
    EXPECT_EQ("1100 -> www.example.test:53, sent 12 B, received 34 B", Text(webNode));
    EXPECT_EQ(IMAGE_CONNECTION, Image(webNode));
    EXPECT_EQ("1100 -> 192.168.1.2:53, sent 12 B, received 34 B", Text(udpNode));
    EXPECT_EQ(m_tree.GetNextSiblingItem(listenNode), webNode) << "appended at the end";

    for (HTREEITEM item : {process, tcp, udp, listenNode, webNode, udpNode})
        EXPECT_EQ(process, m_connections->ProcessNodeOf(item));
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    EXPECT_STREQ(path, m_connections->ProgramOf(process));

    m_tree.Expand(process, TVE_EXPAND);
    m_tree.Expand(tcp, TVE_EXPAND);
    m_tree.Expand(udp, TVE_EXPAND);
    m_host->Show();
    PumpFor(100);
    SaveTestScreen(m_host->Handle(), "one-process");
}

TEST_F(ConnectionTreeTest, ProgramFileThatCannotBeReadGivesItsNameWithoutExtensionAndTheStandInIcon)
{
    SessionRecord record = Connection(GetCurrentProcessId(), 0x40, PROTO_TCP, DIR_OUTBOUND);
    strcpy(record.Path, "C:\\No such folder\\wsclient.exe");
    m_connections->ShowConnection(record);
    HTREEITEM process = m_tree.GetRootItem();
    ASSERT_TRUE(process);
    EXPECT_EQ("wsclient", Text(process));
    EXPECT_EQ(IMAGE_FIRST_PROGRAM, Image(process));
    EXPECT_EQ(5, m_images.GetImageCount()) << "icon 301 stands in";
}

// A path that another process reported is opened for its description and
// icon only when it is a full path on this computer: the program file
// beside the test, named without its folder, is not read.
TEST_F(ConnectionTreeTest, AProgramPathThatIsNotALocalFullPathIsNeverOpened)
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof self);
    struct Case {
        std::string path;
        const char *text;
        bool ownIcon;
    } cases[] = {
        {self, "connection_tree_tests.exe", true}, // read: no description, the file's title
        {"connection_tree_tests.exe", "connection_tree_tests", false},
        {"\\\\127.0.0.1\\share\\wsclient.exe", "wsclient", false},
    };
    const HICON standIn = LoadIcon(GetModuleHandle(NULL), MAKEINTRESOURCE(301));
    ASSERT_TRUE(standIn);
    DWORD processId = 5000;
    for (const Case &c : cases) {
        SessionRecord record = Connection(++processId, 0x60, PROTO_TCP, DIR_OUTBOUND);
        strcpy(record.Path, c.path.c_str());
        m_connections->ShowConnection(record);
        HTREEITEM process = m_connections->FindChild(TVI_ROOT, processId);
        ASSERT_TRUE(process) << c.path;
        EXPECT_EQ(c.text, Text(process)) << c.path;
        const int standInIndex = m_images.Add(standIn);
        const bool same = ImagePixels(Image(process)) == ImagePixels(standInIndex);
        EXPECT_EQ(c.ownIcon, !same) << c.path;
    }
}

TEST_F(ConnectionTreeTest, RefusedFormatLeavesTheConnectionTextEmpty)
{
    m_connections->SetFormats("%s", "%u %u %u %u %u %u");
    m_connections->ShowConnection(Connection(GetCurrentProcessId(), 0x50, PROTO_TCP, DIR_LISTEN));
    m_connections->ShowConnection(Connection(GetCurrentProcessId(), 0x51, PROTO_TCP, DIR_OUTBOUND));
    HTREEITEM tcp = m_connections->FindChild(m_tree.GetRootItem(), 1);
    ASSERT_TRUE(tcp);
    EXPECT_EQ("", Text(m_connections->FindChild(tcp, 0x50)));
    EXPECT_EQ("", Text(m_connections->FindChild(tcp, 0x51)));
}

TEST_F(ConnectionTreeTest, RemovingTheLastConnectionTakesItsGroupAndProcessAlong)
{
    const DWORD self = GetCurrentProcessId();
    SessionRecord first = Connection(self, 0x20, PROTO_TCP, DIR_OUTBOUND);
    SessionRecord second = Connection(self, 0x21, PROTO_TCP, DIR_OUTBOUND);
    m_connections->ShowConnection(first);
    m_connections->ShowConnection(second);

    m_connections->RemoveConnection(first);
    ASSERT_EQ(1, RootCount());
    HTREEITEM tcp = m_connections->FindChild(m_tree.GetRootItem(), 1);
    ASSERT_TRUE(tcp);
    EXPECT_FALSE(m_connections->FindChild(tcp, 0x20));
    EXPECT_TRUE(m_connections->FindChild(tcp, 0x21));

    SessionRecord unknown = Connection(self, 0x99, PROTO_TCP, DIR_OUTBOUND);
    m_connections->RemoveConnection(unknown);
    EXPECT_TRUE(m_connections->FindChild(tcp, 0x21)) << "a missing level changes nothing";

    m_connections->RemoveConnection(second);
    EXPECT_EQ(0, RootCount());
    EXPECT_EQ(0, CTItemBase::LiveCount() - m_baseline) << "every node's object freed";
}

TEST_F(ConnectionTreeTest, NodesOfEndedProcessesGoWithTheirWholeSubtree)
{
    const DWORD ended = EndedProcessId();
    ASSERT_NE(0u, ended);

    m_connections->ShowConnection(Connection(GetCurrentProcessId(), 0x30, PROTO_TCP, DIR_OUTBOUND));
    m_connections->ShowConnection(Connection(ended, 0x31, PROTO_TCP, DIR_OUTBOUND));
    m_connections->ShowConnection(Connection(ended, 0x32, PROTO_UDP, DIR_LISTEN));
    ASSERT_EQ(2, RootCount());

    m_connections->RemoveEndedProcesses();
    ASSERT_EQ(1, RootCount());
    EXPECT_EQ(GetCurrentProcessId(), m_tree.GetItemData(m_tree.GetRootItem()));
    EXPECT_EQ(3, CTItemBase::LiveCount() - m_baseline) << "the ended process's five nodes freed";
}

TEST_F(ConnectionTreeTest, AConnectionShownAgainShowsItsNewCountsInItsOneNode)
{
    SessionRecord record = Connection(GetCurrentProcessId(), 0x60, PROTO_UDP, DIR_OUTBOUND);
    m_connections->ShowConnection(record);
    const HTREEITEM udp = m_connections->FindChild(m_tree.GetRootItem(), 0);
    ASSERT_TRUE(udp);
    const HTREEITEM node = m_connections->FindChild(udp, 0x60);
    ASSERT_TRUE(node);
    m_connections->ShowConnection(record);
    EXPECT_EQ("1100 -> 192.168.1.2:53, sent 12 B, received 34 B", Text(node));
    record.BytesSent = 2048;
    record.BytesReceived = 3072;
    m_connections->ShowConnection(record);
    EXPECT_EQ(node, m_connections->FindChild(udp, 0x60));
    EXPECT_EQ(nullptr, m_tree.GetNextSiblingItem(node));
    EXPECT_EQ("1100 -> 192.168.1.2:53, sent 2.000 K, received 3.000 K", Text(node));
}

// Deleted nodes give their handles to the next ones made; a node found
// later must be one that is in the tree.
TEST_F(ConnectionTreeTest, NodesMadeAfterAWholeSubtreeWentAreEachFoundOnceUnderTheirOwnParents)
{
    const DWORD ended = EndedProcessId();
    ASSERT_NE(0u, ended);
    const DWORD self = GetCurrentProcessId();
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        for (DWORD socket = 0x50; socket < 0x58; ++socket)
            m_connections->ShowConnection(Connection(ended, socket, socket % 2 ? PROTO_UDP : PROTO_TCP, DIR_OUTBOUND));
        m_connections->RemoveEndedProcesses();
        ASSERT_EQ(0, RootCount());
        // The same sockets, now of this process, and shown twice as a pass would.
        for (int pass = 0; pass < 2; ++pass) {
            for (DWORD socket = 0x50; socket < 0x58; ++socket)
                m_connections->ShowConnection(Connection(self, socket, socket % 2 ? PROTO_UDP : PROTO_TCP, DIR_OUTBOUND));
        }
        ASSERT_EQ(1, RootCount());
        const HTREEITEM process = m_tree.GetRootItem();
        EXPECT_EQ(self, m_tree.GetItemData(process));
        int connections = 0;
        for (HTREEITEM group = m_tree.GetChildItem(process); group; group = m_tree.GetNextSiblingItem(group)) {
            EXPECT_EQ(group, m_connections->FindChild(process, m_tree.GetItemData(group)));
            for (HTREEITEM item = m_tree.GetChildItem(group); item; item = m_tree.GetNextSiblingItem(item)) {
                EXPECT_EQ(item, m_connections->FindChild(group, m_tree.GetItemData(item)));
                ++connections;
            }
        }
        EXPECT_EQ(8, connections);
        EXPECT_EQ(1 + 2 + 8, CTItemBase::LiveCount() - m_baseline);
        for (DWORD socket = 0x50; socket < 0x58; ++socket)
            m_connections->RemoveConnection(Connection(self, socket, socket % 2 ? PROTO_UDP : PROTO_TCP, DIR_OUTBOUND));
        ASSERT_EQ(0, RootCount());
        EXPECT_FALSE(m_connections->FindChild(TVI_ROOT, self));
    }
}

TEST_F(ConnectionTreeTest, OneProcessOpeningAndClosingASocketAgainAndAgainKeepsOneIcon)
{
    for (DWORD round = 0; round < 200; ++round) {
        SessionRecord datagram = Connection(GetCurrentProcessId(), 0x1000 + round, PROTO_UDP, DIR_OUTBOUND);
        m_connections->ShowConnection(datagram);
        ASSERT_EQ(IMAGE_FIRST_PROGRAM + 1, ImageCount()) << round;
        m_connections->RemoveConnection(datagram);
        ASSERT_EQ(IMAGE_FIRST_PROGRAM, ImageCount()) << "the icon goes with its last node, round " << round;
    }
    EXPECT_EQ(0u, m_connections->ProgramIcons().ProgramCount());
}

TEST_F(ConnectionTreeTest, ProcessesOfOneProgramShareItsIconAndTheLastOneTakesItAlong)
{
    const DWORD self = GetCurrentProcessId();
    SessionRecord first = Connection(self, 0x60, PROTO_TCP, DIR_OUTBOUND);
    SessionRecord second = Connection(self + 4, 0x61, PROTO_TCP, DIR_OUTBOUND);
    CharUpperA(second.Path); // Windows names files without regard to case
    m_connections->ShowConnection(first);
    m_connections->ShowConnection(second);
    ASSERT_EQ(2, RootCount());
    EXPECT_EQ(IMAGE_FIRST_PROGRAM + 1, ImageCount()) << "one icon for both";
    HTREEITEM secondNode = m_connections->FindChild(TVI_ROOT, self + 4);
    EXPECT_EQ(IMAGE_FIRST_PROGRAM, Image(m_tree.GetRootItem()));
    EXPECT_EQ(IMAGE_FIRST_PROGRAM, Image(secondNode));

    m_connections->RemoveConnection(first);
    EXPECT_EQ(IMAGE_FIRST_PROGRAM + 1, ImageCount()) << "still used by the other process";
    m_connections->RemoveConnection(second);
    EXPECT_EQ(IMAGE_FIRST_PROGRAM, ImageCount());
}

TEST_F(ConnectionTreeTest, AnIconThatGoesMovesTheLaterProgramsNodesToTheirIconsNewPlace)
{
    const DWORD self = GetCurrentProcessId();
    SessionRecord own = Connection(self, 0x70, PROTO_TCP, DIR_OUTBOUND);
    SessionRecord other = Connection(self + 4, 0x71, PROTO_TCP, DIR_OUTBOUND);
    strcpy(other.Path, "C:\\No such folder\\wsclient.exe");
    m_connections->ShowConnection(own);
    m_connections->ShowConnection(other);
    ASSERT_EQ(IMAGE_FIRST_PROGRAM + 2, ImageCount());
    const std::vector<DWORD> ownIcon = ImagePixels(IMAGE_FIRST_PROGRAM);
    const std::vector<DWORD> standIn = ImagePixels(IMAGE_FIRST_PROGRAM + 1);
    ASSERT_NE(ownIcon, standIn) << "the program's own icon and the stand-in differ";

    m_connections->RemoveConnection(own);
    ASSERT_EQ(IMAGE_FIRST_PROGRAM + 1, ImageCount());
    HTREEITEM otherNode = m_connections->FindChild(TVI_ROOT, self + 4);
    ASSERT_TRUE(otherNode);
    EXPECT_EQ(IMAGE_FIRST_PROGRAM, Image(otherNode));
    EXPECT_EQ(standIn, ImagePixels(IMAGE_FIRST_PROGRAM)) << "the node still shows the stand-in";
    m_tree.Expand(otherNode, TVE_EXPAND);
    m_host->Show();
    PumpFor(100);
    SaveTestScreen(m_host->Handle(), "icon-moved");

    // A new program after that takes the next place; clearing takes all.
    m_connections->ShowConnection(own);
    EXPECT_EQ(IMAGE_FIRST_PROGRAM + 1, Image(m_connections->FindChild(TVI_ROOT, self)));
    EXPECT_EQ(ownIcon, ImagePixels(IMAGE_FIRST_PROGRAM + 1));
    m_connections->Clear();
    EXPECT_EQ(IMAGE_FIRST_PROGRAM, ImageCount());
    EXPECT_EQ(0u, m_connections->ProgramIcons().ProgramCount());
}

TEST_F(ConnectionTreeTest, EndedProcessesGiveTheirIconsBack)
{
    const DWORD ended = EndedProcessId();
    ASSERT_NE(0u, ended);
    SessionRecord gone = Connection(ended, 0x80, PROTO_TCP, DIR_OUTBOUND);
    strcpy(gone.Path, "C:\\No such folder\\ended.exe");
    m_connections->ShowConnection(Connection(GetCurrentProcessId(), 0x81, PROTO_TCP, DIR_OUTBOUND));
    m_connections->ShowConnection(gone);
    ASSERT_EQ(IMAGE_FIRST_PROGRAM + 2, ImageCount());

    m_connections->RemoveEndedProcesses();
    EXPECT_EQ(IMAGE_FIRST_PROGRAM + 1, ImageCount());
    EXPECT_EQ(IMAGE_FIRST_PROGRAM, Image(m_tree.GetRootItem()));
}

// Nodes of running and of ended processes, in turn, told apart in one pass
// over the tree: only the running ones stay, in their order.
TEST_F(ConnectionTreeTest, OnePassKeepsTheNodesOfEveryRunningProcessAndOnlyThose)
{
    std::vector<PROCESS_INFORMATION> children;
    auto start = [&](bool keepRunning) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION child = {};
        char command[] = "cmd.exe /c exit 0";
        EXPECT_TRUE(CreateProcessA(NULL, command, NULL, NULL, FALSE,
                                   CREATE_NO_WINDOW | (keepRunning ? CREATE_SUSPENDED : 0), NULL, NULL, &startup,
                                   &child));
        if (!keepRunning)
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(child.hProcess, 10000));
        children.push_back(child);
        return child.dwProcessId;
    };
    const bool kRunning[] = {false, true, false, true, true, false, false, true};
    std::vector<DWORD> expected;
    DWORD socket = 0x40;
    for (bool running : kRunning) {
        const DWORD processId = start(running);
        m_connections->ShowConnection(Connection(processId, ++socket, PROTO_TCP, DIR_OUTBOUND));
        if (running)
            expected.push_back(processId);
    }
    m_connections->ShowConnection(Connection(GetCurrentProcessId(), ++socket, PROTO_UDP, DIR_LISTEN));
    expected.push_back(GetCurrentProcessId());
    ASSERT_EQ(9, RootCount());
    m_host->Show();
    PumpFor(100);
    SaveTestScreen(m_host->Handle(), "before-the-check");

    m_connections->RemoveEndedProcesses();
    std::vector<DWORD> kept;
    for (HTREEITEM item = m_tree.GetRootItem(); item; item = m_tree.GetNextSiblingItem(item))
        kept.push_back(static_cast<DWORD>(m_tree.GetItemData(item)));
    EXPECT_EQ(expected, kept);
    EXPECT_EQ(15, CTItemBase::LiveCount() - m_baseline) << "five processes of three nodes each";
    PumpFor(100);
    SaveTestScreen(m_host->Handle(), "after-the-check");

    for (PROCESS_INFORMATION &child : children) {
        TerminateProcess(child.hProcess, 0);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
}

} // namespace
