// The engine end to end, without the console's windows: this test program
// is the console (real rule databases, the rule image, the poller), a client
// program connects on loopback through the catalog router and QFW.DLL, and
// a hidden window on a thread of its own answers each question as the
// program page would.
#include <winsock2.h>
#include <gtest/gtest.h>
#include <string>
#include "InProcessProvider.h"
#include "LoopbackClient.h"
#include "ProviderTestSupport.h"
#include "ProgramsRuleLib.h"
#include "PublisherFixture.h"
#include "SessionMonitor.h"

namespace {

// The program page's part in a question: it takes the record, writes the
// user's answer and releases the waiting provider.
class CAnsweringPage {
public:
    explicit CAnsweringPage(BYTE answer) : m_answer(answer)
    {
        m_ready = CreateEventA(NULL, TRUE, FALSE, NULL);
        m_thread = CreateThread(NULL, 0, PageThread, this, 0, &m_threadId);
        WaitForSingleObject(m_ready, 60000);
    }
    ~CAnsweringPage()
    {
        PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
        WaitForSingleObject(m_thread, 60000);
        CloseHandle(m_thread);
        CloseHandle(m_ready);
    }
    CAnsweringPage(const CAnsweringPage &) = delete;
    CAnsweringPage &operator=(const CAnsweringPage &) = delete;

    HWND Window() const { return m_window; }
    LONG Answered() const { return InterlockedCompareExchange(&m_answered, 0, 0); }

private:
    static DWORD WINAPI PageThread(LPVOID self)
    {
        CAnsweringPage *page = static_cast<CAnsweringPage *>(self);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleA(NULL);
        windowClass.lpszClassName = "QfwTestAnsweringPage";
        RegisterClassA(&windowClass);
        page->m_window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_OVERLAPPED, 0, 0,
                                         10, 10, NULL, NULL, windowClass.hInstance, NULL);
        SetWindowLongPtrA(page->m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(page));
        MSG msg;
        PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE); // the thread's queue exists from here
        SetEvent(page->m_ready);
        while (GetMessageA(&msg, NULL, 0, 0) > 0)
            DispatchMessageA(&msg);
        DestroyWindow(page->m_window);
        return 0;
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        CAnsweringPage *page =
            reinterpret_cast<CAnsweringPage *>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (page && message == WM_SESSION_QUERY && wParam == SESSION_SOURCE_TABLE)
            page->Answer(static_cast<DWORD>(lParam));
        return DefWindowProcA(window, message, wParam, lParam);
    }

    void Answer(DWORD index)
    {
        SessionRecord &record = CSessionMonitor::GetSessionTable()[index];
        if (record.State < SESSION_ASKING)
            return;
        record.State = SESSION_SHOWN;
        record.Verdict = m_answer;
        record.State = SESSION_OPEN;
        InterlockedIncrement(&m_answered);
    }

    BYTE m_answer;
    HANDLE m_ready;
    HANDLE m_thread;
    DWORD m_threadId = 0;
    HWND m_window = NULL;
    mutable volatile LONG m_answered = 0;
};

class EngineEndToEnd : public CPublisherFixture {
protected:
    void SetUp() override
    {
        CPublisherFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(m_provider.Load());
        UseEmptyDatabases();
    }

    void TearDown() override
    {
        CSessionMonitor::Stop();
        m_provider.StandDown();
        CPublisherFixture::TearDown();
        m_provider.Unload();
    }

    // The console as it runs once its start-up is done.
    void StartConsole(CAnsweringPage &page)
    {
        BuildPublisher();
        ASSERT_NE(nullptr, m_publisher->GetHeader());
        m_provider.SetWorkMode(WORK_MODE_NORMAL);
        ASSERT_TRUE(CSessionMonitor::Start(m_provider.Entry(), page.Window(), NULL));
    }

    static std::string ClientPath() { return TestFolder() + "wsclient.exe"; }

    static std::string SendLine(const CListener &listener)
    {
        return "send 127.0.0.1 " + std::to_string(listener.Port()) + " --line hello";
    }

    // The client gets a rule for the internet zone that lets it connect out
    // over TCP when its action is pass; the page would answer deny.
    void ConnectUnderRule(BYTE internetAction, int exitCode, const char *received)
    {
        DWORD id = StoreRule(ClientPath().c_str(), internetAction, internetAction, ACTION_DENY, 0);
        {
            CProgramsRuleLib store;
            ASSERT_TRUE(store.Open(RulesPath().c_str()));
            NetRuleSettings settings;
            settings.ID = id;
            settings.TcpAccess = 1;
            ASSERT_TRUE(store.SetInetSettings(id, settings));
        }
        CAnsweringPage page(ACTION_DENY);
        StartConsole(page);
        CListener listener;
        std::string output;
        EXPECT_EQ(exitCode, RunClient(SendLine(listener), output)) << output;
        EXPECT_EQ(0, page.Answered());
        EXPECT_EQ(received, listener.Received());
    }

    CInProcessProvider m_provider;
};

TEST_F(EngineEndToEnd, AnAnswerOfPassLetsTheConnectionThrough)
{
    CAnsweringPage page(ACTION_PASS);
    StartConsole(page);
    CListener listener;
    std::string output;
    EXPECT_EQ(0, RunClient(SendLine(listener), output)) << output;
    EXPECT_EQ(1, page.Answered());
    EXPECT_EQ("hello\r\n", listener.Received());
}

TEST_F(EngineEndToEnd, AnAnswerOfDenyRefusesTheConnection)
{
    CAnsweringPage page(ACTION_DENY);
    StartConsole(page);
    CListener listener;
    std::string output;
    EXPECT_EQ(1, RunClient(SendLine(listener), output));
    EXPECT_NE(std::string::npos, output.find("error 10061")) << output;
    EXPECT_EQ(1, page.Answered());
    EXPECT_EQ("", listener.Received());
}

TEST_F(EngineEndToEnd, AProgramWithAPassRuleIsLetThroughUnasked)
{
    ConnectUnderRule(ACTION_PASS, 0, "hello\r\n");
}

TEST_F(EngineEndToEnd, AProgramWithADenyRuleIsRefusedUnasked)
{
    ConnectUnderRule(ACTION_DENY, 1, "");
}

} // namespace
